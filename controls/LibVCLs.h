#pragma once

// Helpers around components and data sets: published properties by name
// (a missing object, name or property is never an error), suspending and
// restoring the event handlers of data sets and data sources, writing a
// field regardless of its read-only flag, colouring or enabling the
// controls bound to a list of fields, fitting grid columns, and copying
// checked items.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/ui/Component.h"
#include "platform/ui/Control.h"
#include "platform/ui/Grids.h"

namespace corvane {

// ---- published properties by name
std::string GetStrPropByName(const ui::Component* object, std::string_view name);
void SetStrPropByName(ui::Component* object, std::string_view name, const std::string& text);
// Ordinal properties (integers, enumerations, sets as bit masks); 0 when missing.
std::int64_t GetOrdPropByName(const ui::Component* object, std::string_view name);
void SetOrdPropByName(ui::Component* object, std::string_view name, std::int64_t value);
// Object properties; none when missing.
ui::Component* GetObjectPropByName(const ui::Component* object, std::string_view name);
void SetObjectPropByName(ui::Component* object, std::string_view name, ui::Component* value);
DataSource* GetDataSourcePropByName(const ui::Component* object, std::string_view name);
void SetDataSourcePropByName(ui::Component* object, std::string_view name, DataSource* value);
// Event handlers; empty when missing.
ui::MethodRef GetMethodPropByName(const ui::Component* object, std::string_view name);
void SetMethodPropByName(ui::Component* object, std::string_view name, const ui::MethodRef& handler);
bool HasPropByName(const ui::Component* object, std::string_view name);
// The property's kind (ui::TypeKind as a number), 0 when missing.
int GetPropKindByName(const ui::Component* object, std::string_view name);

// ---- event suspension
// Handlers taken off a data set (and its data source), to be put back.
struct SavedEvents {
    struct Entry {
        std::string name;
        EventHandler handler;
        bool onDataSource = false;  // "OnDataChange" / "OnStateChange" of the data source
    };
    std::vector<Entry> entries;
};

// The ten data-set handlers the suspension covers, in their order.
const std::vector<std::string>& dataSetEventNames();

// Records the data set's ten handlers and the data source's OnDataChange
// and OnStateChange, then clears all twelve.
SavedEvents SaveSourceEvents(DataSource* source);
void RestoreSourceEvents(DataSource* source, const SavedEvents& saved);
SavedEvents SaveDataSetEvents(DataSet* dataSet);
void RestoreDataSetEvents(DataSet* dataSet, const SavedEvents& saved);
// For each name that is an event of the data set: record and clear it.
SavedEvents SaveNamedEvents(DataSet* dataSet, const std::vector<std::string>& names);
// Puts back every recorded handler whose event still exists.
void RestoreNamedEvents(DataSet* dataSet, const SavedEvents& saved);

// Holds a data set's named events off for a scope (also on error).
class ScopedNamedEvents {
public:
    ScopedNamedEvents(DataSet* dataSet, const std::vector<std::string>& names)
        : dataSet_(dataSet), saved_(SaveNamedEvents(dataSet, names)) {}
    ~ScopedNamedEvents() { RestoreNamedEvents(dataSet_, saved_); }
    ScopedNamedEvents(const ScopedNamedEvents&) = delete;
    ScopedNamedEvents& operator=(const ScopedNamedEvents&) = delete;

private:
    DataSet* dataSet_;
    SavedEvents saved_;
};

// ---- fields and the controls bound to them
// Writes text to a field even when it is read-only (the flag comes back
// afterwards, also on error). Numeric fields with asEditText take the text
// as typed text; every other field takes it as its value, a text field's
// text first cut to the field's size in GBK bytes without splitting a
// double-byte character (numbers are never cut). False without a field.
bool ForceFieldText(Field* field, const std::string& text, bool asEditText);

// For every field name of the list (split at separator, trimmed; an empty
// name ends the list), every component of owner whose "DataField" equals
// it (any case) gets its "Color"; data-aware combo boxes, data radio groups
// and data check boxes only when the colour is RGB(0, 200, 200).
void ColorFieldControls(ui::Component* owner, const std::string& fields, char separator, ui::Color color);
// For every entry of the list (the part before its first blank, trimmed),
// every component of form whose "DataField" equals it gets "Enabled".
void EnableFieldControls(ui::Component* form, const std::string& fields, char separator, bool enabled);

// Widens the visible columns of an active grid to fill its client width,
// or widens the grid's parent when the columns are already wider.
void FitGridColumns(ui::DBGrid* grid);

// Adds each checked item of source to target unless target has it.
class CheckItems {
public:
    virtual ~CheckItems() = default;
    virtual int count() const = 0;
    virtual std::string itemText(int index) const = 0;
    virtual bool checked(int index) const = 0;
};
void CopySelectedChecks(std::vector<std::string>& target, const CheckItems& source);

// True when the data set exists, is open, browsing, and not both at its
// beginning and its end; an error while asking counts as false.
bool IsBrowsingWithData(const DataSet* dataSet);

}  // namespace corvane
