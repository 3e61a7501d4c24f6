#include "platform/db/Field.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/core/AsciiText.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSet.h"
#include "platform/db/EditMask.h"
#include "platform/db/NumberFormat.h"

namespace corvane {
namespace {

bool isDoubleByteLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

std::string twoDigits(int n) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

std::string dateText(double days) {
    CalendarDate d = decodeDate(days);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", d.year, d.month, d.day);
    return buffer;
}

std::string timeText(double days) {
    ClockTime t = decodeTime(days);
    return twoDigits(t.hour) + ":" + twoDigits(t.minute) + ":" + twoDigits(t.second);
}

// Reads "yyyy/mm/dd", "yyyy-mm-dd" or "yyyymmdd", with an optional time.
bool parseDateTime(std::string_view text, FieldType type, double& days) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    std::string t(text);
    double date = 0, time = 0;
    if (type == FieldType::Time) {
        if (std::sscanf(t.c_str(), "%d:%d:%d", &h, &mi, &s) < 2) return false;
        if (!tryEncodeTime(h, mi, s, 0, time)) return false;
        days = time;
        return true;
    }
    int n = std::sscanf(t.c_str(), "%d%*[/-]%d%*[/-]%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    if (n < 3) {
        if (t.size() >= 8 && std::sscanf(t.c_str(), "%4d%2d%2d", &y, &mo, &d) == 3) n = 3;
        else return false;
    }
    if (!tryEncodeDate(y, mo, d, date)) return false;
    if (n >= 5 && !tryEncodeTime(h, mi, s, 0, time)) return false;
    days = date + time;
    return true;
}

[[noreturn]] void convertError(std::string_view text, const char* kind) {
    throw EConvertError("'" + std::string(text) + "' is not a valid " + kind);
}

}  // namespace

std::string cutGbk(std::string_view text, int size) {
    if (size <= 0 || static_cast<int>(text.size()) <= size) return std::string(text);
    std::size_t i = 0;
    std::size_t limit = static_cast<std::size_t>(size);
    while (i < limit) {
        if (isDoubleByteLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
            if (i + 2 > limit) break;
            i += 2;
        } else {
            ++i;
        }
    }
    return std::string(text.substr(0, i));
}

Field::Field(DataSet& owner, std::string name, FieldType type, int size, FieldKind kind)
    : dataSet_(&owner), name_(std::move(name)), type_(type), size_(size), kind_(kind) {
    evValidate = events_.declare<FieldNotifyEvent>("OnValidate");
    evChange = events_.declare<FieldNotifyEvent>("OnChange");
    evGetText = events_.declare<FieldGetTextEvent>("OnGetText");
    evSetText = events_.declare<FieldSetTextEvent>("OnSetText");
}

bool Field::isNumeric() const {
    switch (type_) {
    case FieldType::SmallInt: case FieldType::Integer: case FieldType::LargeInt:
    case FieldType::Float: case FieldType::Currency: case FieldType::BCD:
        return true;
    default:
        return false;
    }
}

int Field::index() const {
    const auto& list = dataSet_->fields();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == this) return static_cast<int>(i);
    return -1;
}

void Field::setIndex(int index) { dataSet_->moveField(*this, index); }

void Field::setVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    dataSet_->notify(DataEvent::LayoutChange);
}

void Field::setDisplayLabel(std::string label) {
    if (displayLabel_ == label) return;
    displayLabel_ = std::move(label);
    dataSet_->notify(DataEvent::LayoutChange);
}

int Field::displayWidth() const {
    if (displayWidth_ >= 0) return displayWidth_;
    return isText() && size_ > 0 ? size_ : 10;
}

void Field::setDisplayWidth(int width) {
    if (displayWidth_ == width) return;
    displayWidth_ = width;
    dataSet_->notify(DataEvent::LayoutChange);
}

void Field::setDisplayFormat(std::string format) {
    if (displayFormat_ == format) return;
    displayFormat_ = std::move(format);
    dataSet_->notify(DataEvent::LayoutChange);
}

ColumnDef Field::columnDef() const {
    ColumnDef def;
    def.name = name_;
    def.type = type_;
    def.size = size_;
    def.precision = precision_;
    def.scale = scale_;
    if (readOnly_) def.flags |= cfReadOnly;
    if (required_) def.flags |= cfRequired;
    return def;
}

Variant Field::coerce(const Variant& input) const {
    const Variant& v = input.deref();
    if (v.isNullOrEmpty()) return Variant::null();
    switch (type_) {
    case FieldType::String:
        return Variant(cutGbk(v.toString(), size_));
    case FieldType::Memo:
        return Variant(v.toString());
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt:
        if (v.isString()) {
            std::string text = trimmedCopy(v.toString());
            if (text.empty()) return Variant::null();
            try {
                return Variant(static_cast<long long>(Variant(text).toInt()));
            } catch (const EVariantError&) {
                convertError(text, "integer value");
            }
        }
        return Variant(static_cast<long long>(v.toInt()));
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD:
        if (v.isString()) {
            std::string text = trimmedCopy(v.toString());
            if (text.empty()) return Variant::null();
            try {
                return Variant(Variant(text).toDouble());
            } catch (const EVariantError&) {
                convertError(text, "floating point value");
            }
        }
        return Variant(v.toDouble());
    case FieldType::Boolean:
        if (v.isString()) {
            std::string text = trimmedCopy(v.toString());
            if (text.empty()) return Variant::null();
            try {
                return Variant(Variant(text).toBool());
            } catch (const EVariantError&) {
                convertError(text, "boolean value");
            }
        }
        return Variant(v.toBool());
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        if (v.isString()) {
            std::string text = trimmedCopy(v.toString());
            if (text.empty()) return Variant::null();
            double days = 0;
            if (!parseDateTime(text, type_, days)) convertError(text, "date and time");
            return Variant::date(days);
        }
        return Variant::date(v.toDouble());
    case FieldType::DataSet:
        return v;
    }
    return v;
}

std::string Field::textOf(const Variant& stored) const {
    if (stored.isNullOrEmpty()) return {};
    switch (type_) {
    case FieldType::Date: return dateText(stored.toDouble());
    case FieldType::Time: return timeText(stored.toDouble());
    case FieldType::DateTime: {
        double days = stored.toDouble();
        std::string text = dateText(days);
        if (days != std::floor(days)) text += " " + timeText(days);
        return text;
    }
    case FieldType::DataSet: return "(DataSet)";
    default: return stored.toString();
    }
}

Variant Field::value() const { return dataSet_->fieldValue(*this); }
bool Field::isNull() const { return dataSet_->fieldValue(*this).isNullOrEmpty(); }
std::string Field::asString() const { return textOf(dataSet_->fieldValue(*this)); }
std::int64_t Field::asInteger() const {
    const Variant& v = dataSet_->fieldValue(*this);
    return v.isNullOrEmpty() ? 0 : v.toInt();
}
double Field::asFloat() const {
    const Variant& v = dataSet_->fieldValue(*this);
    return v.isNullOrEmpty() ? 0 : v.toDouble();
}
bool Field::asBoolean() const {
    const Variant& v = dataSet_->fieldValue(*this);
    return v.isNullOrEmpty() ? false : v.toBool();
}
Variant Field::oldValue() const { return dataSet_->originalValue(*this); }

void Field::setValue(const Variant& value) { dataSet_->setFieldValue(*this, coerce(value)); }

void Field::setAsString(std::string_view text) { setValue(Variant(text)); }

std::string Field::formattedText(bool display) const {
    const Variant& v = dataSet_->fieldValue(*this);
    if (v.isNullOrEmpty()) return {};
    if (isNumeric()) {
        const std::string& format = display || editFormat_.empty() ? displayFormat_ : editFormat_;
        if (!format.empty()) return FormatFloat(format, v.toDouble());
    }
    if (type_ == FieldType::Boolean) return v.toBool() ? "True" : "False";
    return textOf(v);
}

std::string Field::text() const {
    if (const auto* h = events_.handler<FieldGetTextEvent>(evGetText)) {
        std::string text;
        (*h)(const_cast<Field&>(*this), text, false);
        return text;
    }
    return formattedText(false);
}

std::string Field::displayText() const {
    if (const auto* h = events_.handler<FieldGetTextEvent>(evGetText)) {
        std::string text;
        (*h)(const_cast<Field&>(*this), text, true);
        return text;
    }
    return formattedText(true);
}

void Field::setText(std::string_view text) {
    if (dataSet_->validateWithMask() && !editMask_.empty() && !EditMask(editMask_).accepts(text))
        throw EDatabaseError("Invalid input value for field '" + displayLabel() + "'");
    if (const auto* h = events_.handler<FieldSetTextEvent>(evSetText)) {
        FieldSetTextEvent handler = *h;  // the handler may replace itself
        handler(*this, std::string(text));
        return;
    }
    if (isNumeric()) {
        // Thousands separators of a displayed number are not part of it.
        std::string plain;
        for (char c : text)
            if (c != ',') plain += c;
        setValue(Variant(plain));
        return;
    }
    setValue(Variant(text));
}

void Field::runValidate() {
    if (const auto* h = events_.handler<FieldNotifyEvent>(evValidate)) {
        FieldNotifyEvent handler = *h;
        handler(*this);
    }
}

void Field::runChange() {
    if (const auto* h = events_.handler<FieldNotifyEvent>(evChange)) {
        FieldNotifyEvent handler = *h;
        handler(*this);
    }
}

}  // namespace corvane
