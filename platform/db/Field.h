#pragma once

// A field of a data set: one column of its records, with its display
// settings (label, width, masks, formats), its flags and its events.
// Values inside the module are GBK texts, numbers, booleans and dates;
// a field reads and writes the data set's active record.
//
// Writing a value runs OnValidate with the proposed value in place (the
// handler reads it through the field); when the handler raises, the old
// value stays and the error passes on. Then OnChange runs.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/core/DataPacket.h"
#include "platform/core/Variant.h"
#include "platform/db/EventTable.h"

namespace corvane {

class DataSet;

enum class FieldKind : std::uint8_t { Data, Calculated, Lookup };

class Field {
public:
    Field(DataSet& owner, std::string name, FieldType type, int size, FieldKind kind);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;
    virtual ~Field() = default;

    DataSet& dataSet() const { return *dataSet_; }
    const std::string& fieldName() const { return name_; }
    FieldType dataType() const { return type_; }
    FieldKind fieldKind() const { return kind_; }
    bool isNumeric() const;
    bool isText() const { return type_ == FieldType::String || type_ == FieldType::Memo; }

    int size() const { return size_; }
    void setSize(int size) { size_ = size; }
    int precision() const { return precision_; }
    void setPrecision(int precision) { precision_ = precision; }
    int scale() const { return scale_; }
    void setScale(int scale) { scale_ = scale; }

    // Position among the data set's fields; setting it moves the field.
    int index() const;
    void setIndex(int index);

    bool visible() const { return visible_; }
    void setVisible(bool visible);
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool required() const { return required_; }
    void setRequired(bool required) { required_ = required; }
    // The field name until a label is set.
    const std::string& displayLabel() const { return displayLabel_.empty() ? name_ : displayLabel_; }
    void setDisplayLabel(std::string label);
    // Characters a grid shows; the text size (or 10 for other types) until set.
    int displayWidth() const;
    void setDisplayWidth(int width);
    const std::string& editMask() const { return editMask_; }
    void setEditMask(std::string mask) { editMask_ = std::move(mask); }
    const std::string& displayFormat() const { return displayFormat_; }
    void setDisplayFormat(std::string format);
    const std::string& editFormat() const { return editFormat_; }
    void setEditFormat(std::string format) { editFormat_ = std::move(format); }

    // Lookup fields: the value is LookupResultField of the record of
    // LookupDataSet whose LookupKeyFields equal this data set's KeyFields.
    DataSet* lookupDataSet() const { return lookupDataSet_; }
    void setLookupDataSet(DataSet* dataSet) { lookupDataSet_ = dataSet; }
    const std::string& keyFields() const { return keyFields_; }
    void setKeyFields(std::string names) { keyFields_ = std::move(names); }
    const std::string& lookupKeyFields() const { return lookupKeyFields_; }
    void setLookupKeyFields(std::string names) { lookupKeyFields_ = std::move(names); }
    const std::string& lookupResultField() const { return lookupResultField_; }
    void setLookupResultField(std::string name) { lookupResultField_ = std::move(name); }

    // Values of the active record.
    Variant value() const;
    void setValue(const Variant& value);
    bool isNull() const;
    void clear() { setValue(Variant::null()); }
    std::string asString() const;
    void setAsString(std::string_view text);
    std::int64_t asInteger() const;  // floats round to the nearest whole number
    void setAsInteger(std::int64_t value) { setValue(Variant(static_cast<long long>(value))); }
    double asFloat() const;
    void setAsFloat(double value) { setValue(Variant(value)); }
    bool asBoolean() const;
    void setAsBoolean(bool value) { setValue(Variant(value)); }
    // The value as fetched, before the pending change (the value itself
    // for a record without changes).
    Variant oldValue() const;

    // The text an editor shows (OnGetText with displayText false, else the
    // edit format) and the text a grid shows (OnGetText with displayText
    // true, else the display format).
    std::string text() const;
    std::string displayText() const;
    // Typed text: checked against the edit mask when the data set
    // validates with masks, then stored through OnSetText or converted to
    // the field's type (an unreadable number raises EConvertError).
    void setText(std::string_view text);

    // Events: "OnValidate", "OnChange", "OnGetText", "OnSetText".
    EventTable& events() { return events_; }
    const EventTable& events() const { return events_; }
    void setOnValidate(FieldNotifyEvent handler) { events_.assign(evValidate, std::move(handler)); }
    void setOnChange(FieldNotifyEvent handler) { events_.assign(evChange, std::move(handler)); }
    void setOnGetText(FieldGetTextEvent handler) { events_.assign(evGetText, std::move(handler)); }
    void setOnSetText(FieldSetTextEvent handler) { events_.assign(evSetText, std::move(handler)); }
    bool hasOnGetText() const { return events_.handler<FieldGetTextEvent>(evGetText) != nullptr; }
    bool hasOnSetText() const { return events_.handler<FieldSetTextEvent>(evSetText) != nullptr; }
    bool hasOnValidate() const { return events_.handler<FieldNotifyEvent>(evValidate) != nullptr; }
    bool hasOnChange() const { return events_.handler<FieldNotifyEvent>(evChange) != nullptr; }

    // The column description this field stands for in packets and deltas.
    ColumnDef columnDef() const;

    // Converts a value to what this field stores: GBK text cut to the
    // size (never inside a double-byte character), numbers, booleans,
    // dates; null stays null. Raises EConvertError for unreadable input.
    Variant coerce(const Variant& value) const;
    // The text of a stored value without events or formats.
    std::string textOf(const Variant& stored) const;

private:
    friend class DataSet;
    void runValidate();
    void runChange();
    std::string formattedText(bool display) const;

    DataSet* dataSet_;
    std::string name_;
    FieldType type_;
    int size_;
    int precision_ = 0;
    int scale_ = 0;
    FieldKind kind_;
    int slot_ = -1;  // where the value lives in a record; -1 while unbound
    bool visible_ = true;
    bool readOnly_ = false;
    bool required_ = false;
    std::string displayLabel_;
    int displayWidth_ = -1;
    std::string editMask_;
    std::string displayFormat_;
    std::string editFormat_;
    DataSet* lookupDataSet_ = nullptr;
    std::string keyFields_;
    std::string lookupKeyFields_;
    std::string lookupResultField_;

    EventTable events_;
    int evValidate, evChange, evGetText, evSetText;
};

// Cuts a GBK text to at most size bytes without splitting a double-byte
// character (the cut is one byte shorter when it would).
std::string cutGbk(std::string_view text, int size);

}  // namespace corvane
