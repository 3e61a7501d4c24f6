#include "platform/core/Variant.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "platform/core/AsciiText.h"
#include "platform/core/CodePage.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"

namespace corvane {

namespace {

[[noreturn]] void castError(VarType from, const char* to) {
    throw EVariantTypeCastError(std::string("Could not convert variant of type (") + varTypeName(from) +
                                ") into type (" + to + ")");
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
    return text;
}

bool parseInteger(std::string_view text, std::int64_t& out) {
    std::string s(trimmed(text));
    if (s.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(s.c_str(), &end, 10);
    if (errno != 0 || end != s.c_str() + s.size()) return false;
    out = v;
    return true;
}

bool parseFloat(std::string_view text, double& out) {
    std::string s(trimmed(text));
    if (s.empty()) return false;
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

std::int64_t roundToInt(double v, VarType from) {
    if (!std::isfinite(v) || std::fabs(v) >= 9.2e18) castError(from, "Int64");
    return std::llround(v);
}

// Shortest text of up to 15 significant digits, as a person reads numbers.
std::string floatText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    std::string s(buf);
    auto e = s.find('e');
    if (e == std::string::npos) return s;
    // "1e+20" -> "1E20", "1.5e-07" -> "1.5E-7"
    std::string mantissa = s.substr(0, e);
    int exponent = std::atoi(s.c_str() + e + 1);
    return mantissa + "E" + std::to_string(exponent);
}

std::string dateText(double days) {
    CalendarDate d = decodeDate(days);
    ClockTime t = decodeTime(days);
    char buf[64];
    if (days == std::floor(days)) {
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", d.year, d.month, d.day);
    } else if (std::fabs(days) < 1) {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    } else {
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %02d:%02d:%02d", d.year, d.month, d.day, t.hour,
                      t.minute, t.second);
    }
    return buf;
}

}  // namespace

const char* varTypeName(VarType type) {
    switch (type) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Integer: return "Int64";
    case VarType::Float: return "Double";
    case VarType::Boolean: return "Boolean";
    case VarType::Date: return "Date";
    case VarType::String: return "String";
    case VarType::WideString: return "OleStr";
    case VarType::Array: return "Array Variant";
    case VarType::Dispatch: return "Dispatch";
    case VarType::ByRef: return "ByRef Variant";
    }
    return "Unknown";
}

// ---------------------------------------------------------------- arrays

VarArray::VarArray(std::vector<Bounds> bounds) : bounds_(std::move(bounds)) {
    std::size_t n = 1;
    for (const Bounds& b : bounds_) n *= static_cast<std::size_t>(b.count());
    elements_.resize(n);
}

const VarArray::Bounds& VarArray::bounds(int dim) const {
    if (dim < 1 || dim > dimCount()) throw EVariantBadIndexError("Variant array dimension out of range");
    return bounds_[static_cast<std::size_t>(dim - 1)];
}

std::size_t VarArray::offset(int index) const {
    const Bounds& b = bounds(1);
    if (dimCount() != 1 || index < b.low || index > b.high)
        throw EVariantBadIndexError("Variant array index out of bounds");
    return static_cast<std::size_t>(index - b.low);
}

std::size_t VarArray::offset(int i, int j) const {
    if (dimCount() != 2) throw EVariantBadIndexError("Variant array index out of bounds");
    const Bounds& b1 = bounds_[0];
    const Bounds& b2 = bounds_[1];
    if (i < b1.low || i > b1.high || j < b2.low || j > b2.high)
        throw EVariantBadIndexError("Variant array index out of bounds");
    return static_cast<std::size_t>(i - b1.low) * static_cast<std::size_t>(b2.count()) +
           static_cast<std::size_t>(j - b2.low);
}

void VarArray::redim(int high) {
    if (dimCount() == 1) {
        bounds_[0].high = high;
        elements_.resize(static_cast<std::size_t>(bounds_[0].count()));
        return;
    }
    // Two dimensions, row-major: the last dimension changes every row.
    Bounds old = bounds_[1];
    Bounds grown{old.low, high};
    std::vector<Variant> copy(static_cast<std::size_t>(bounds_[0].count() * grown.count()));
    int keep = std::min(old.count(), grown.count());
    for (int r = 0; r < bounds_[0].count(); ++r)
        for (int c = 0; c < keep; ++c)
            copy[static_cast<std::size_t>(r * grown.count() + c)] =
                std::move(elements_[static_cast<std::size_t>(r * old.count() + c)]);
    bounds_[1] = grown;
    elements_ = std::move(copy);
}

Variant Variant::array(int low, int high) {
    Variant v;
    v.value_ = std::make_shared<VarArray>(std::vector<VarArray::Bounds>{{low, high}});
    return v;
}

Variant Variant::array2(int low1, int high1, int low2, int high2) {
    Variant v;
    v.value_ = std::make_shared<VarArray>(std::vector<VarArray::Bounds>{{low1, high1}, {low2, high2}});
    return v;
}

Variant Variant::arrayOf(std::initializer_list<Variant> items) {
    return arrayOf(std::vector<Variant>(items));
}

Variant Variant::arrayOf(std::vector<Variant> items) {
    Variant v = array(0, static_cast<int>(items.size()) - 1);
    std::get<std::shared_ptr<VarArray>>(v.value_)->elements() = std::move(items);
    return v;
}

Variant Variant::ref(std::shared_ptr<Variant> cell) {
    Variant v;
    v.value_ = std::move(cell);
    return v;
}

VarType Variant::type() const {
    return static_cast<VarType>(value_.index());
}

bool Variant::isNumeric() const {
    switch (type()) {
    case VarType::Integer:
    case VarType::Float:
    case VarType::Boolean:
    case VarType::Date: return true;
    default: return false;
    }
}

const VarArray& Variant::array() const {
    if (auto* p = std::get_if<std::shared_ptr<VarArray>>(&deref().value_)) return **p;
    throw EVariantError("Variant is not an array");
}

VarArray& Variant::mutableArray() {
    auto* p = std::get_if<std::shared_ptr<VarArray>>(&deref().value_);
    if (!p) throw EVariantError("Variant is not an array");
    if (p->use_count() > 1) *p = std::make_shared<VarArray>(**p);  // copy on write
    return **p;
}

int Variant::dimCount() const {
    const Variant& v = deref();
    return v.isArray() ? v.array().dimCount() : 0;
}

int Variant::lowBound(int dim) const { return array().bounds(dim).low; }
int Variant::highBound(int dim) const { return array().bounds(dim).high; }
const Variant& Variant::operator[](int index) const { return array().at(index); }
Variant& Variant::at(int index) { return mutableArray().at(index); }
const Variant& Variant::at(int i, int j) const { return array().at(i, j); }
Variant& Variant::at(int i, int j) { return mutableArray().at(i, j); }

const Variant& Variant::deref() const {
    if (auto* cell = std::get_if<std::shared_ptr<Variant>>(&value_)) return (*cell)->deref();
    return *this;
}

Variant& Variant::deref() {
    if (auto* cell = std::get_if<std::shared_ptr<Variant>>(&value_)) return (*cell)->deref();
    return *this;
}

void Variant::assignThrough(Variant value) {
    deref() = std::move(value);
}

// ----------------------------------------------------------- conversions

std::string Variant::toString() const {
    const Variant& v = deref();
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Null: return {};
    case VarType::Integer: return std::to_string(std::get<std::int64_t>(v.value_));
    case VarType::Float: return floatText(std::get<double>(v.value_));
    case VarType::Boolean: return std::get<bool>(v.value_) ? "True" : "False";
    case VarType::Date: return dateText(std::get<DateValue>(v.value_).days);
    case VarType::String: return std::get<std::string>(v.value_);
    case VarType::WideString: return utf16ToCodePage(std::get<std::u16string>(v.value_), CP_GBK);
    default: castError(v.type(), "String");
    }
}

std::u16string Variant::toWide() const {
    const Variant& v = deref();
    if (v.type() == VarType::WideString) return std::get<std::u16string>(v.value_);
    return codePageToUtf16(v.toString(), CP_GBK);
}

std::int64_t Variant::toInt() const {
    const Variant& v = deref();
    switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Integer: return std::get<std::int64_t>(v.value_);
    case VarType::Float: return roundToInt(std::get<double>(v.value_), v.type());
    case VarType::Boolean: return std::get<bool>(v.value_) ? -1 : 0;
    case VarType::Date: return roundToInt(std::get<DateValue>(v.value_).days, v.type());
    case VarType::String:
    case VarType::WideString: {
        std::string text = v.toString();
        std::int64_t i = 0;
        if (parseInteger(text, i)) return i;
        double d = 0;
        if (parseFloat(text, d)) return roundToInt(d, v.type());
        castError(v.type(), "Int64");
    }
    default: castError(v.type(), "Int64");
    }
}

double Variant::toDouble() const {
    const Variant& v = deref();
    switch (v.type()) {
    case VarType::Empty: return 0;
    case VarType::Integer: return static_cast<double>(std::get<std::int64_t>(v.value_));
    case VarType::Float: return std::get<double>(v.value_);
    case VarType::Boolean: return std::get<bool>(v.value_) ? -1 : 0;
    case VarType::Date: return std::get<DateValue>(v.value_).days;
    case VarType::String:
    case VarType::WideString: {
        double d = 0;
        if (parseFloat(v.toString(), d)) return d;
        castError(v.type(), "Double");
    }
    default: castError(v.type(), "Double");
    }
}

bool Variant::toBool() const {
    const Variant& v = deref();
    switch (v.type()) {
    case VarType::Empty: return false;
    case VarType::Boolean: return std::get<bool>(v.value_);
    case VarType::String:
    case VarType::WideString: {
        std::string text = lowerAscii(trimmed(v.toString()));
        if (text == "true") return true;
        if (text == "false") return false;
        double d = 0;
        if (parseFloat(text, d)) return d != 0;
        castError(v.type(), "Boolean");
    }
    case VarType::Integer:
    case VarType::Float:
    case VarType::Date: return v.toDouble() != 0;
    default: castError(v.type(), "Boolean");
    }
}

DateValue Variant::toDate() const {
    const Variant& v = deref();
    if (v.type() == VarType::Date) return std::get<DateValue>(v.value_);
    if (v.type() == VarType::Empty) return {};
    if (v.isString()) castError(v.type(), "Date");
    return DateValue{v.toDouble()};
}

const std::string& Variant::asString() const {
    const Variant& v = deref();
    if (auto* s = std::get_if<std::string>(&v.value_)) return *s;
    castError(v.type(), "String");
}

const std::u16string& Variant::asWide() const {
    const Variant& v = deref();
    if (auto* s = std::get_if<std::u16string>(&v.value_)) return *s;
    castError(v.type(), "OleStr");
}

const DispatchRef& Variant::asDispatch() const {
    const Variant& v = deref();
    if (auto* d = std::get_if<DispatchRef>(&v.value_)) return *d;
    castError(v.type(), "Dispatch");
}

bool operator==(const Variant& a, const Variant& b) {
    const Variant& x = a.deref();
    const Variant& y = b.deref();
    if (x.value_.index() != y.value_.index()) return false;
    if (auto* p = std::get_if<std::shared_ptr<VarArray>>(&x.value_))
        return **p == *std::get<std::shared_ptr<VarArray>>(y.value_);
    return x.value_ == y.value_;
}

}  // namespace corvane
