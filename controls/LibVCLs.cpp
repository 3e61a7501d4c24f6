#include "controls/LibVCLs.h"

#include <algorithm>

#include "platform/core/AsciiText.h"
#include "platform/ui/ClassInfo.h"

namespace corvane {

using ui::TypeKind;

namespace {

const ui::PropInfo* propOf(const ui::Component* object, std::string_view name) {
    return object && !name.empty() ? object->findProp(name) : nullptr;
}

bool isOrdinal(TypeKind kind) {
    return kind == TypeKind::Integer || kind == TypeKind::Char || kind == TypeKind::Enumeration || kind == TypeKind::Set;
}

std::vector<std::string> splitAt(const std::string& list, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = list.find(separator, start);
        parts.push_back(list.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// Calls fn for every component of owner bound to the field (any case).
template <class Fn>
void forBoundComponents(ui::Component* owner, const std::string& field, Fn&& fn) {
    for (int i = 0; i < owner->componentCount(); ++i) {
        ui::Component* c = owner->component(i);
        if (c->propKind("DataField") == TypeKind::String && ui::sameText(c->prop("DataField").toString(), field)) fn(*c);
    }
}

}  // namespace

std::string GetStrPropByName(const ui::Component* object, std::string_view name) {
    const ui::PropInfo* p = propOf(object, name);
    if (!p || (p->kind != TypeKind::String && p->kind != TypeKind::Char)) return {};
    return object->prop(name).toString();
}

void SetStrPropByName(ui::Component* object, std::string_view name, const std::string& text) {
    const ui::PropInfo* p = propOf(object, name);
    if (p && p->kind == TypeKind::String) object->setProp(name, Variant(text));
}

std::int64_t GetOrdPropByName(const ui::Component* object, std::string_view name) {
    const ui::PropInfo* p = propOf(object, name);
    if (!p || !isOrdinal(p->kind)) return 0;
    return object->prop(name).toInt();
}

void SetOrdPropByName(ui::Component* object, std::string_view name, std::int64_t value) {
    const ui::PropInfo* p = propOf(object, name);
    if (p && isOrdinal(p->kind)) object->setProp(name, Variant(static_cast<long long>(value)));
}

ui::Component* GetObjectPropByName(const ui::Component* object, std::string_view name) {
    return object && !name.empty() ? object->objectProp(name) : nullptr;
}

void SetObjectPropByName(ui::Component* object, std::string_view name, ui::Component* value) {
    if (object && !name.empty()) object->setObjectProp(name, value);
}

DataSource* GetDataSourcePropByName(const ui::Component* object, std::string_view name) {
    return object && !name.empty() ? object->dataSourceProp(name) : nullptr;
}

void SetDataSourcePropByName(ui::Component* object, std::string_view name, DataSource* value) {
    if (object && !name.empty()) object->setDataSourceProp(name, value);
}

ui::MethodRef GetMethodPropByName(const ui::Component* object, std::string_view name) {
    return object && !name.empty() ? object->methodProp(name) : ui::MethodRef();
}

void SetMethodPropByName(ui::Component* object, std::string_view name, const ui::MethodRef& handler) {
    if (object && !name.empty()) object->setMethodProp(name, handler);
}

bool HasPropByName(const ui::Component* object, std::string_view name) {
    return object && !name.empty() && object->hasProp(name);
}

int GetPropKindByName(const ui::Component* object, std::string_view name) {
    return object && !name.empty() ? static_cast<int>(object->propKind(name)) : 0;
}

const std::vector<std::string>& dataSetEventNames() {
    static const std::vector<std::string> names{"AfterEdit",  "AfterInsert",  "AfterOpen",  "AfterPost",
                                                "BeforeEdit", "BeforeInsert", "BeforeOpen", "BeforePost",
                                                "BeforeScroll", "AfterScroll"};
    return names;
}

SavedEvents SaveDataSetEvents(DataSet* dataSet) { return SaveNamedEvents(dataSet, dataSetEventNames()); }

void RestoreDataSetEvents(DataSet* dataSet, const SavedEvents& saved) { RestoreNamedEvents(dataSet, saved); }

SavedEvents SaveNamedEvents(DataSet* dataSet, const std::vector<std::string>& names) {
    SavedEvents saved;
    if (!dataSet) return saved;
    for (const std::string& name : names) {
        if (!dataSet->events().has(name)) continue;
        saved.entries.push_back({name, dataSet->events().get(name), false});
        dataSet->events().set(name, EventHandler());
    }
    return saved;
}

void RestoreNamedEvents(DataSet* dataSet, const SavedEvents& saved) {
    if (!dataSet) return;
    for (const auto& entry : saved.entries)
        if (!entry.onDataSource && dataSet->events().has(entry.name)) dataSet->events().set(entry.name, entry.handler);
}

SavedEvents SaveSourceEvents(DataSource* source) {
    SavedEvents saved;
    if (!source) return saved;
    saved = SaveDataSetEvents(source->dataSet());
    for (const char* name : {"OnDataChange", "OnStateChange"}) {
        saved.entries.push_back({name, source->events().get(name), true});
        source->events().set(name, EventHandler());
    }
    return saved;
}

void RestoreSourceEvents(DataSource* source, const SavedEvents& saved) {
    if (!source) return;
    RestoreNamedEvents(source->dataSet(), saved);
    for (const auto& entry : saved.entries)
        if (entry.onDataSource) source->events().set(entry.name, entry.handler);
}

bool ForceFieldText(Field* field, const std::string& text, bool asEditText) {
    if (!field) return false;
    struct ReadOnlyLifted {
        Field& field;
        bool was;
        ~ReadOnlyLifted() { field.setReadOnly(was); }
    } lifted{*field, field->readOnly()};
    field->setReadOnly(false);
    if (asEditText && field->isNumeric()) {
        field->setText(text);
    } else if (field->dataType() == FieldType::String) {
        field->setAsString(cutGbk(text, field->size()));
    } else {
        field->setAsString(text);
    }
    return true;
}

void ColorFieldControls(ui::Component* owner, const std::string& fields, char separator, ui::Color color) {
    if (!owner) return;
    const bool keyColour = color == ui::rgb(0, 200, 200);
    for (const std::string& part : splitAt(fields, separator)) {
        const std::string name = trimmedCopy(part);
        if (name.empty()) break;
        forBoundComponents(owner, name, [&](ui::Component& c) {
            const bool keepsItsColour =
                c.isA("TDBComboBox") || c.isA("TDBRadioGroup") || c.isA("TDBCheckBox") || c.isA("TFDbCheckBox");
            if (!keepsItsColour || keyColour) c.setProp("Color", Variant(static_cast<long long>(color)));
        });
    }
}

void EnableFieldControls(ui::Component* form, const std::string& fields, char separator, bool enabled) {
    if (!form) return;
    for (const std::string& part : splitAt(fields, separator)) {
        const std::string entry = trimmedCopy(part);
        const std::string name = trimmedCopy(entry.substr(0, entry.find(' ')));
        if (name.empty()) continue;
        forBoundComponents(form, name, [&](ui::Component& c) { c.setProp("Enabled", Variant(enabled)); });
    }
}

void FitGridColumns(ui::DBGrid* grid) {
    if (!grid) return;
    ui::GridRowSource* rows = grid->rowSource();
    if (!rows || !rows->isActive() || rows->fieldCount() == 0) return;
    const int visible = grid->visibleColumnCount();
    if (visible == 0) return;
    int sum = grid->horzScrollBarHeight() + 2;
    for (const auto& column : grid->columns())
        if (column.visible) sum += column.width + 1;
    const bool wasEnabled = grid->enabled();
    grid->setEnabled(false);
    if (sum < grid->clientWidth()) {
        const int extra = (grid->clientWidth() - sum) / visible;
        for (std::size_t i = 0; i < grid->columns().size(); ++i)
            if (grid->columns()[i].visible) grid->setColumnWidth(static_cast<int>(i), grid->columns()[i].width + extra);
    } else if (ui::Control* parent = grid->parent()) {
        parent->setWidth(sum);
    }
    grid->setEnabled(wasEnabled);
}

void CopySelectedChecks(std::vector<std::string>& target, const CheckItems& source) {
    for (int i = 0; i < source.count(); ++i) {
        if (!source.checked(i)) continue;
        std::string text = source.itemText(i);
        if (std::find(target.begin(), target.end(), text) == target.end()) target.push_back(std::move(text));
    }
}

bool IsBrowsingWithData(const DataSet* dataSet) {
    try {
        return dataSet && dataSet->active() && dataSet->state() == DataSetState::Browse &&
               !(dataSet->bof() && dataSet->eof());
    } catch (...) {
        return false;
    }
}

}  // namespace corvane
