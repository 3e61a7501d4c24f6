#include "host/MessageFormat.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

#include "config/LibStrs.h"

namespace corvane::host {

namespace {

struct Directive {
    std::optional<int> index;
    bool left = false;
    std::optional<int> width;
    std::optional<int> precision;
    char type = 0;
};

std::string pad(std::string text, const Directive& d) {
    if (!d.width || static_cast<int>(text.size()) >= *d.width) return text;
    std::string fill(static_cast<std::size_t>(*d.width) - text.size(), ' ');
    return d.left ? text + fill : fill + text;
}

std::optional<std::int64_t> asInteger(const Variant& value) {
    try {
        return value.toInt();
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<double> asDouble(const Variant& value) {
    try {
        return value.toDouble();
    } catch (...) {
        return std::nullopt;
    }
}

std::string thousands(const std::string& digits) {
    // digits: optional '-', integer part, optional fraction
    std::size_t start = digits[0] == '-' ? 1 : 0;
    std::size_t point = digits.find('.');
    std::size_t end = point == std::string::npos ? digits.size() : point;
    std::string grouped = digits.substr(0, start);
    for (std::size_t i = start; i < end; ++i) {
        if (i > start && (end - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return grouped + digits.substr(end);
}

// The directive applied to one argument; nullopt when the argument does
// not suit the directive.
std::optional<std::string> render(const Directive& d, const Variant& value) {
    char buffer[512];
    switch (d.type) {
    case 's': {
        std::string text;
        try {
            text = value.toString();
        } catch (...) {
            return std::nullopt;
        }
        if (d.precision && *d.precision < static_cast<int>(text.size()))
            text.resize(static_cast<std::size_t>(*d.precision));
        return pad(text, d);
    }
    case 'd':
    case 'u':
    case 'x': {
        auto number = asInteger(value);
        if (!number) return std::nullopt;
        int digits = d.precision ? std::min(*d.precision, 100) : 0;
        if (d.type == 'x')
            std::snprintf(buffer, sizeof buffer, "%.*llX", digits, static_cast<unsigned long long>(*number));
        else if (d.type == 'u')
            std::snprintf(buffer, sizeof buffer, "%.*llu", digits, static_cast<unsigned long long>(*number));
        else
            std::snprintf(buffer, sizeof buffer, "%.*lld", digits, static_cast<long long>(*number));
        return pad(buffer, d);
    }
    case 'f':
    case 'n':
    case 'm':
    case 'e':
    case 'g': {
        auto number = asDouble(value);
        if (!number) return std::nullopt;
        int precision = d.precision ? std::min(*d.precision, 100) : (d.type == 'g' ? 15 : 2);
        const char* spec = d.type == 'e' ? "%.*E" : d.type == 'g' ? "%.*G" : "%.*f";
        std::snprintf(buffer, sizeof buffer, spec, precision, *number);
        std::string text = buffer;
        if (d.type == 'n' || d.type == 'm') text = thousands(text);
        return pad(text, d);
    }
    default: return std::nullopt;
    }
}

// Reads a number or "*" (from the arguments) at pos.
std::optional<int> readCount(std::string_view text, std::size_t& pos, const std::vector<Variant>& args,
                             std::size_t& next, bool& ok) {
    if (pos < text.size() && text[pos] == '*') {
        ++pos;
        if (next >= args.size()) {
            ok = false;
            return std::nullopt;
        }
        auto n = asInteger(args[next++]);
        if (!n) ok = false;
        return n ? std::optional<int>(static_cast<int>(std::clamp<std::int64_t>(*n, 0, 1000))) : std::nullopt;
    }
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos]))) return std::nullopt;
    int n = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        n = std::min(n * 10 + (text[pos] - '0'), 1000);
        ++pos;
    }
    return n;
}

}  // namespace

std::string formatMessage(std::string_view text, const std::vector<Variant>& args) {
    std::string out;
    std::size_t next = 0;  // the next argument
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t percent = text.find('%', pos);
        if (percent == std::string_view::npos) {
            out.append(text.substr(pos));
            break;
        }
        out.append(text.substr(pos, percent - pos));
        if (percent + 1 < text.size() && text[percent + 1] == '%') {
            out += '%';
            pos = percent + 2;
            continue;
        }
        // Parse a directive; on any trouble copy it as it stands.
        std::size_t p = percent + 1;
        bool ok = true;
        Directive d;
        std::size_t savedNext = next;
        std::size_t digitsStart = p;
        while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) ++p;
        if (p < text.size() && text[p] == ':' && p > digitsStart) {
            d.index = std::stoi(std::string(text.substr(digitsStart, std::min<std::size_t>(p - digitsStart, 6))));
            next = static_cast<std::size_t>(*d.index);
            ++p;
        } else {
            p = digitsStart;
        }
        if (p < text.size() && text[p] == '-') {
            d.left = true;
            ++p;
        }
        d.width = readCount(text, p, args, next, ok);
        if (p < text.size() && text[p] == '.') {
            ++p;
            d.precision = readCount(text, p, args, next, ok);
            if (!d.precision) d.precision = 0;
        }
        std::optional<std::string> rendered;
        if (ok && p < text.size()) {
            d.type = static_cast<char>(std::tolower(static_cast<unsigned char>(text[p])));
            if (next < args.size()) rendered = render(d, args[next].deref());
        }
        if (rendered) {
            out += *rendered;
            ++next;
            pos = p + 1;
        } else {
            // Not a directive we can fill: keep the "%" and go on after it.
            next = savedNext;
            out += '%';
            pos = percent + 1;
        }
    }
    return out;
}

}  // namespace corvane::host
