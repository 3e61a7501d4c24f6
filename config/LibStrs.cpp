#include "config/LibStrs.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/core/AsciiText.h"
#include "platform/core/CodePage.h"
#include "platform/core/DateTime.h"
#include "platform/os/FileSystem.h"
#include "platform/os/Registry.h"

namespace corvane {

namespace {

std::string format(const char* fmt, auto... args) {
    char buf[128];
    int n = std::snprintf(buf, sizeof buf, fmt, args...);
    return n < 0 ? std::string() : std::string(buf, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buf - 1));
}

// Strict decimal integer with an optional sign; false for anything else.
bool readInteger(std::string_view text, std::int64_t& value) {
    if (text.empty()) return false;
    std::string s(text);
    std::size_t start = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (start == s.size()) return false;
    for (std::size_t i = start; i < s.size(); ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    errno = 0;
    long long v = std::strtoll(s.c_str(), nullptr, 10);
    if (errno == ERANGE) return false;
    value = v;
    return true;
}

int readIntOr(std::string_view text, int fallback) {
    std::int64_t v = 0;
    if (!readInteger(TrimStr(text), v) || v < INT32_MIN || v > INT32_MAX) return fallback;
    return static_cast<int>(v);
}

std::string padded(std::string_view text, std::initializer_list<int> args, bool left) {
    if (args.size() == 0) return std::string(text);
    int width = *args.begin();
    char pad = args.size() > 1 ? static_cast<char>(*(args.begin() + 1)) : ' ';
    if (width <= static_cast<int>(text.size())) return std::string(text);
    std::string fill(static_cast<std::size_t>(width) - text.size(), pad);
    return left ? fill + std::string(text) : std::string(text) + fill;
}

// The era year (year - 1911) for types 4 and 5, the year itself otherwise.
int writtenYear(int type, int year) {
    return type == 4 || type == 5 ? year - 1911 : year;
}

std::string separatorChar(std::string_view separator) {
    return separator.empty() ? std::string() : std::string(1, separator.front());
}

// The 15-significant-digit decimal form of value as digits and a decimal
// exponent: value = 0.d1d2...d15 * 10^(exponent).
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

DecimalDigits decimalDigits(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    DecimalDigits d;
    const char* p = buf;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') d.digits.push_back(*p);
    d.exponent = (*p == 'e' ? std::atoi(p + 1) : 0) + 1;
    return d;
}

double normalised(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    return std::strtod(buf, nullptr);
}

std::string alertLogFolder() {
    std::string folder = GetTessaroPath();
    if (folder.empty()) folder = executableFolder();
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    return folder + "Log";
}

// A source tag as a file name may hold it: path and drive separators and
// the characters Windows forbids become "_".
std::string safeFileNamePart(std::string_view source) {
    std::string safe(source);
    for (char& c : safe)
        if (std::strchr(":/\\*?\"<>|", c) != nullptr && c != '\0') c = '_';
    return safe;
}

std::string periodStamp(std::string_view period, const CalendarDate& today) {
    if (period == "M") return format("%04d%02d", today.year, today.month);
    if (period == "Y") return format("%04d", today.year);
    return format("%04d%02d%02d", today.year, today.month, today.day);
}

template <typename Convert>
Variant walkStrings(const Variant& value, Convert convert, bool nested) {
    const Variant& v = value.deref();
    if (v.isString()) return convert(v);
    if (!v.isArray()) return v;
    const VarArray& source = v.array();
    Variant result = v.dimCount() == 1
                         ? Variant::array(source.bounds(1).low, source.bounds(1).high)
                         : Variant::array2(source.bounds(1).low, source.bounds(1).high, source.bounds(2).low,
                                           source.bounds(2).high);
    std::vector<Variant>& out = result.mutableArray().elements();
    const std::vector<Variant>& in = source.elements();
    for (std::size_t i = 0; i < in.size(); ++i) {
        const Variant& element = in[i].deref();
        if (element.isString())
            out[i] = convert(element);
        else if (element.isArray() && nested && v.dimCount() == 1)
            out[i] = walkStrings(element, convert, nested);
        else
            out[i] = element;
    }
    return result;
}

}  // namespace

// ------------------------------------------------------------------ text

std::string LPadStr(std::string_view text, std::initializer_list<int> args) {
    return padded(text, args, true);
}

std::string RPadStr(std::string_view text, std::initializer_list<int> args) {
    return padded(text, args, false);
}

std::string GetToken(std::string_view text, std::string_view separator, int n) {
    if (n < 1) return {};
    if (separator.empty()) return n == 1 ? std::string(text) : std::string();
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) return {};
        start = at + separator.size();
    }
    std::size_t end = text.find(separator, start);
    return std::string(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

int TokenCount(std::string_view text, std::string_view separator) {
    if (text.empty()) return 0;
    if (separator.empty()) return 1;
    // Occurrences are counted by blotting out the first byte of the first
    // one and searching again. The blot never equals the separator's first
    // byte, so every round removes one of those bytes and the count ends.
    const char blot = separator.front() == '#' ? '*' : '#';
    std::string work(text);
    int count = 1;
    std::size_t from = 0;
    for (std::size_t at; (at = work.find(separator, from)) != std::string::npos;) {
        work[at] = blot;
        ++count;
        // The blot can only complete an occurrence that overlaps it.
        from = at >= separator.size() ? at - separator.size() + 1 : 0;
    }
    return count;
}

std::string CutToken(std::string& text, std::string_view separator) {
    std::size_t at = separator.empty() ? std::string::npos : text.find(separator);
    if (at == std::string::npos) {
        std::string head = std::move(text);
        text.clear();
        return head;
    }
    std::string head = text.substr(0, at);
    text.erase(0, at + separator.size());
    return head;
}

std::string IntToZeroStr(int width, std::int64_t value) {
    // At least one digit: C's "%.0d" would print nothing for zero.
    return format("%.*lld", std::max(width, 1), static_cast<long long>(value));
}

std::string ReplaceStr(std::string_view text, std::string_view oldText, std::string_view newText, bool trim) {
    std::string result(text);
    if (!oldText.empty() && !equalsIgnoringAsciiCase(oldText, newText)) {
        // When the replacement holds the searched text, searching again from
        // the start would never end: then each occurrence is replaced once.
        const bool once = newText.find(oldText) != std::string_view::npos;
        std::size_t from = 0;
        for (std::size_t at; (at = result.find(oldText, from)) != std::string::npos;) {
            result.replace(at, oldText.size(), newText);
            if (once)
                from = at + newText.size();
            else  // a new occurrence can only start where it touches the replacement
                from = at >= oldText.size() ? at - oldText.size() + 1 : 0;
        }
    }
    return trim ? TrimStr(result) : result;
}

std::string QuotedStr(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += '\'';
    }
    return quoted + "'";
}

std::string TrimStr(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return std::string(text);
}

std::string ButtonCaption(std::string_view buttonName) {
    static constexpr std::pair<std::string_view, std::string_view> kCaptions[] = {
        {"Yes", "是(&Y)"},       {"No", "否(&N)"},      {"OK", "确定"},
        {"Cancel", "取消"},      {"Abort", "中断(&A)"}, {"Retry", "重试(&R)"},
        {"Ignore", "忽略(&I)"},  {"All", "全部(&A)"},   {"NoToAll", "全否(&o)"},
        {"YesToAll", "全是(&A)"}, {"Help", "帮助(&H)"},
    };
    for (const auto& [name, caption] : kCaptions)
        if (name == buttonName) return std::string(caption);
    return std::string(buttonName);
}

// ---------------------------------------------------------------- dates

std::string DateToFmtStr(int type, std::string_view separator, double date) {
    if (date == 0) return {};
    CalendarDate d = decodeDate(date);
    std::string sep = separatorChar(separator);
    const char* s = sep.c_str();
    switch (type) {
    case 1: return format("%.4d%s%.2d%s%.2d", d.year, s, d.month, s, d.day);
    case 2: return format("%.2d%s%.2d%s%.4d", d.month, s, d.day, s, d.year);
    case 3: return format("%.2d%s%.2d%s%.4d", d.day, s, d.month, s, d.year);
    case 4: return format("%.2d%s%.2d%s%.2d", writtenYear(type, d.year), s, d.month, s, d.day);
    case 5: return format("%.3d%s%.2d%s%.2d", writtenYear(type, d.year), s, d.month, s, d.day);
    default: return {};
    }
}

std::string DateTimeToFmtStr(int type, std::string_view separator, double date) {
    ClockTime t = decodeTime(date);
    return DateToFmtStr(type, separator, date) +
           format(" %.2d:%.2d:%.2d:%.3d", t.hour, t.minute, t.second, t.millisecond);
}

double FmtStrToDate(std::string_view text, int type, std::string_view separator) {
    std::string rest = TrimStr(text);
    if (rest.empty()) return 0;
    int f[3];
    for (int& field : f) field = readIntOr(CutToken(rest, separator), -1);
    if (f[0] <= 0 || f[1] <= 0 || f[2] <= 0 || type <= 0 || type > 5) return 0;
    int year = 0, month = 0, day = 0;
    switch (type) {
    case 1: year = f[0], month = f[1], day = f[2]; break;
    case 2: month = f[0], day = f[1], year = f[2]; break;
    case 3: day = f[0], month = f[1], year = f[2]; break;
    default: year = f[0] + 1911, month = f[1], day = f[2]; break;
    }
    double first = 0;
    if (!tryEncodeDate(year, month, 1, first)) return 0;
    // A day past the end of its month carries into the next ones.
    return first + (day - 1);
}

std::string FmtStrToStr8(std::string_view text, int type, std::string_view separator) {
    std::string rest = TrimStr(text);
    if (rest.empty()) return "0";
    int f[3];
    if (separator.empty()) {
        auto slice = [&](std::size_t pos, std::size_t len) {
            return pos < rest.size() ? std::string_view(rest).substr(pos, len) : std::string_view();
        };
        f[0] = readIntOr(slice(0, 4), 0);
        f[1] = readIntOr(slice(4, 2), 0);
        f[2] = readIntOr(slice(6, 2), 0);
    } else {
        for (int& field : f) field = readIntOr(CutToken(rest, separator), 0);
    }
    if (f[0] <= 0 || f[1] <= 0 || f[2] <= 0) return "0";
    int year = f[0], month = f[1], day = f[2];
    switch (type) {
    case 2: year = f[2], month = f[0], day = f[1]; break;
    case 3: year = f[2], month = f[1], day = f[0]; break;
    case 4:
    case 5: year = f[0] + 1911; break;
    default: break;
    }
    return IntToZeroStr(4, year) + IntToZeroStr(2, month) + IntToZeroStr(2, day);
}

double Str8ToDate(std::string_view text) {
    if (text.size() != 8) return 0;
    int year = readIntOr(text.substr(0, 4), 0);
    int month = readIntOr(text.substr(4, 2), 0);
    int day = readIntOr(text.substr(6, 2), 0);
    double date = 0;
    if (year == 0 || month == 0 || day == 0 || !tryEncodeDate(year, month, day, date)) return 0;
    return date;
}

double Str17ToDateTime(std::string_view text) {
    auto field = [&](std::size_t pos, std::size_t len) {
        return pos < text.size() ? readIntOr(text.substr(pos, len), 0) : 0;
    };
    int year = field(0, 4), month = field(4, 2), day = field(6, 2);
    double time = 0;
    if (!tryEncodeTime(field(8, 2), field(10, 2), field(12, 2), field(14, 3), time)) return 0;
    if (year == 0 || month == 0 || day == 0) return time;
    double date = 0;
    if (!tryEncodeDate(year, month, day, date)) return 0;
    return date + time;
}

bool IsValidDateStr(std::string_view text) {
    if (text.empty()) return true;
    if (text.size() != 8) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    int year = readIntOr(text.substr(0, 4), 0);
    int month = readIntOr(text.substr(4, 2), 0);
    int day = readIntOr(text.substr(6, 2), 0);
    return isValidCalendarDate(year, month, day) && text >= "17530101" && text <= "99991231";
}

// ------------------------------------------------------------ durations

Variant AddTimeStr(std::string_view a, std::string_view b, int sign) {
    Variant result = Variant::arrayOf({0, "000:00:00"});
    auto wellFormed = [](const std::string& t) {
        if (t.size() < 8 || TokenCount(t, ":") != 3) return false;
        for (char c : t)
            if (!(c >= '0' && c <= '9') && c != ':') return false;
        return true;
    };
    auto seconds = [](const std::string& t, std::int64_t& total) {
        std::int64_t h, m, s;
        if (!readInteger(GetToken(t, ":", 1), h) || !readInteger(GetToken(t, ":", 2), m) ||
            !readInteger(GetToken(t, ":", 3), s))
            return false;
        total = 3600 * h + 60 * m + s;
        return true;
    };
    std::string ta = TrimStr(a), tb = TrimStr(b);
    if (!wellFormed(ta) || !wellFormed(tb) || (sign != 1 && sign != -1)) return result;
    std::int64_t sa = 0, sb = 0;
    if (!seconds(ta, sa) || !seconds(tb, sb)) return result;
    std::int64_t total = sa + sign * sb;
    return Variant::arrayOf({total, SecondsToTimeStr(total)});
}

std::string SecondsToTimeStr(std::int64_t seconds) {
    if (seconds == 0) return "0000:00:00";
    std::uint64_t magnitude = seconds < 0 ? 0 - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
    return format("%s%.4llu:%.2llu:%.2llu", seconds < 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 3600),
                  static_cast<unsigned long long>(magnitude / 60 % 60),
                  static_cast<unsigned long long>(magnitude % 60));
}

// ----------------------------------------------------- numbers, variants

double RoundFloat(int decimals, double value) {
    if (!std::isfinite(value)) return value;
    decimals = std::max(decimals, 0);
    DecimalDigits d = decimalDigits(value);
    // Digits kept before the rounding position.
    long long keep = static_cast<long long>(d.exponent) + decimals;
    if (keep >= static_cast<long long>(d.digits.size())) {
        double v = normalised(value);
        return v == 0 ? 0.0 : v;
    }
    if (keep < 0) return 0.0;
    std::string digits = d.digits.substr(0, static_cast<std::size_t>(keep));
    int exponent = d.exponent;
    if (d.digits[static_cast<std::size_t>(keep)] >= '5') {  // half away from zero
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0 && digits[static_cast<std::size_t>(i)] == '9'; --i) digits[static_cast<std::size_t>(i)] = '0';
        if (i >= 0)
            ++digits[static_cast<std::size_t>(i)];
        else {
            digits.insert(digits.begin(), '1');
            ++exponent;
        }
    }
    if (digits.find_first_not_of('0') == std::string::npos) return 0.0;
    std::string text = std::string(d.negative ? "-" : "") + "0." + digits + "e" + std::to_string(exponent);
    return std::strtod(text.c_str(), nullptr);
}

int CompareFloat(double a, double b) {
    double x = normalised(a), y = normalised(b);
    if (std::fabs(x - y) < 1e-10) return 0;
    return x < y ? -1 : 1;
}

Variant IIF(bool condition, const Variant& whenTrue, const Variant& whenFalse) {
    return condition ? whenTrue : whenFalse;
}

bool VarIsNullOrEmpty(const Variant& value) {
    return value.deref().isNullOrEmpty();
}

bool IsLocalHost(std::string_view address) {
    return address == "127.0.0.1";
}

// ------------------------------------------------------------ code pages

std::string WideToCodePage(std::u16string_view text, int codePage) {
    return utf16ToCodePage(text, codePage);
}

std::u16string CodePageToWide(std::string_view bytes, int codePage) {
    return codePageToUtf16(bytes, codePage);
}

Variant VarCodePageToWide(const Variant& value, int codePage) {
    try {
        return walkStrings(
            value,
            [codePage](const Variant& s) -> Variant {
                if (s.type() == VarType::WideString)  // a UTF-16 text goes through the system code page first
                    return CodePageToWide(WideToCodePage(s.asWide(), CP_GBK), codePage);
                return CodePageToWide(s.asString(), codePage);
            },
            true);
    } catch (const std::exception& e) {
        WriteAlertLog("libstrs", std::string("LINE[115] ") + e.what(), "D");
        return value;
    }
}

Variant VarWideToCodePage(const Variant& value, int codePage) {
    try {
        return walkStrings(
            value,
            [codePage](const Variant& s) -> Variant {
                if (s.type() == VarType::String)  // a byte text goes through the system code page first
                    return WideToCodePage(CodePageToWide(s.asString(), CP_GBK), codePage);
                return WideToCodePage(s.asWide(), codePage);
            },
            true);
    } catch (const std::exception& e) {
        WriteAlertLog("libstrs", std::string("LINE[2735] ") + e.what(), "D");
        return value;
    }
}

// ------------------------------------------------------------- alert log

namespace {

std::string alertLogFile(std::string_view source, std::string_view period, double now) {
    std::string name = "Alert_" + safeFileNamePart(source) + "_" + periodStamp(period, decodeDate(now));
    if (source.find('.') == std::string_view::npos) name += ".log";
    return alertLogFolder() + "\\" + name;
}

}  // namespace

std::string AlertLogFileName(std::string_view source, std::string_view period) {
    return alertLogFile(source, period, nowDateTime());
}

bool WriteAlertLog(std::string_view source, std::string_view message, std::string_view period) {
    try {
        // One clock reading for the file name and the line, so that a line
        // written at midnight lands in the file of its own date.
        const double now = nowDateTime();
        if (!forceDirectories(alertLogFolder())) return false;
        ClockTime t = decodeTime(now);
        std::string line = "[" + DateToFmtStr(1, "/", std::floor(now)) +
                           format(" %.2d:%.2d:%.2d:%.3d] ", t.hour, t.minute, t.second, t.millisecond);
        line.append(message);
        line += "\r\n";
        return appendToFile(alertLogFile(source, period, now), line);
    } catch (...) {
        return false;
    }
}

std::string GetTessaroPath() {
    auto key = RegistryKey::openReadOnly(kLocalMachine, "Software\\QVX\\Tessaro");
    if (!key) return {};
    std::string path = key->readString("ClientPath");
    return path.empty() ? key->readString("ServerPath") : path;
}

}  // namespace corvane
