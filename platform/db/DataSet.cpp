#include "platform/db/DataSet.h"

#include <algorithm>
#include <cctype>

#include "platform/core/AsciiText.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSource.h"
#include "platform/db/GbkText.h"

namespace corvane {
namespace {

const Variant& nullValue() {
    static const Variant value = Variant::null();
    return value;
}

enum class TypeGroup { Text, Number, Boolean, Date, Nested };

TypeGroup groupOf(FieldType type) {
    switch (type) {
    case FieldType::String: case FieldType::Memo: return TypeGroup::Text;
    case FieldType::Boolean: return TypeGroup::Boolean;
    case FieldType::Date: case FieldType::Time: case FieldType::DateTime: return TypeGroup::Date;
    case FieldType::DataSet: return TypeGroup::Nested;
    default: return TypeGroup::Number;
    }
}

bool textEquals(std::string_view a, std::string_view b, bool caseInsensitive) {
    if (a.size() != b.size()) return false;
    if (!caseInsensitive) return a == b;
    return compareGbkIgnoreCase(a, b) == 0;
}

}  // namespace

int RecordStore::changeCount() const {
    int count = static_cast<int>(deleted.size());
    for (const auto& row : rows) {
        if (row->status != UpdateStatus::Unmodified) ++count;
        for (const auto& detail : row->details) count += detail->changeCount();
    }
    return count;
}

const char* dataSetStateName(DataSetState state) {
    switch (state) {
    case DataSetState::Inactive: return "Inactive";
    case DataSetState::Browse: return "Browse";
    case DataSetState::Edit: return "Edit";
    case DataSetState::Insert: return "Insert";
    case DataSetState::CalcFields: return "CalcFields";
    }
    return "?";
}

DataSet::DataSet(std::string name) : name_(std::move(name)) {
    evBeforeOpen = events_.declare<DataSetNotifyEvent>("BeforeOpen");
    evAfterOpen = events_.declare<DataSetNotifyEvent>("AfterOpen");
    evBeforeClose = events_.declare<DataSetNotifyEvent>("BeforeClose");
    evAfterClose = events_.declare<DataSetNotifyEvent>("AfterClose");
    evBeforeEdit = events_.declare<DataSetNotifyEvent>("BeforeEdit");
    evAfterEdit = events_.declare<DataSetNotifyEvent>("AfterEdit");
    evBeforeInsert = events_.declare<DataSetNotifyEvent>("BeforeInsert");
    evAfterInsert = events_.declare<DataSetNotifyEvent>("AfterInsert");
    evBeforePost = events_.declare<DataSetNotifyEvent>("BeforePost");
    evAfterPost = events_.declare<DataSetNotifyEvent>("AfterPost");
    evBeforeCancel = events_.declare<DataSetNotifyEvent>("BeforeCancel");
    evAfterCancel = events_.declare<DataSetNotifyEvent>("AfterCancel");
    evBeforeDelete = events_.declare<DataSetNotifyEvent>("BeforeDelete");
    evAfterDelete = events_.declare<DataSetNotifyEvent>("AfterDelete");
    evBeforeScroll = events_.declare<DataSetNotifyEvent>("BeforeScroll");
    evAfterScroll = events_.declare<DataSetNotifyEvent>("AfterScroll");
    evNewRecord = events_.declare<DataSetNotifyEvent>("OnNewRecord");
    evCalcFields = events_.declare<DataSetNotifyEvent>("OnCalcFields");
}

DataSet::~DataSet() {
    for (DataSource* source : dataSources_) source->dataSet_ = nullptr;
}

// ------------------------------------------------------------------ fields

Field& DataSet::addField(std::string name, FieldType type, int size, FieldKind kind) {
    if (active()) throw EDatabaseError("Cannot add field '" + name + "' to an open dataset");
    if (findField(name)) throw EDatabaseError("Duplicate field name '" + name + "'");
    ownedFields_.push_back(std::make_unique<Field>(*this, std::move(name), type, size, kind));
    fields_.push_back(ownedFields_.back().get());
    return *ownedFields_.back();
}

void DataSet::removeField(Field& field) {
    if (active()) throw EDatabaseError("Cannot remove field '" + field.fieldName() + "' from an open dataset");
    std::erase(fields_, &field);
    std::erase_if(ownedFields_, [&](const auto& owned) { return owned.get() == &field; });
}

Field* DataSet::findField(std::string_view name) const {
    for (Field* field : fields_)
        if (sameName(field->fieldName(), name)) return field;
    return nullptr;
}

Field& DataSet::fieldByName(std::string_view name) const {
    if (Field* field = findField(name)) return *field;
    throw EDatabaseError(name_ + ": Field '" + std::string(name) + "' not found");
}

std::vector<Field*> DataSet::fieldList(std::string_view names) const {
    std::vector<Field*> list;
    std::size_t start = 0;
    while (start <= names.size()) {
        std::size_t end = names.find(';', start);
        if (end == std::string_view::npos) end = names.size();
        std::string name = trimmedCopy(names.substr(start, end - start));
        if (!name.empty()) list.push_back(&fieldByName(name));
        start = end + 1;
    }
    return list;
}

void DataSet::moveField(Field& field, int index) {
    auto it = std::find(fields_.begin(), fields_.end(), &field);
    if (it == fields_.end()) return;
    index = std::clamp(index, 0, fieldCount() - 1);
    if (it - fields_.begin() == index) return;
    fields_.erase(it);
    fields_.insert(fields_.begin() + index, &field);
    notify(DataEvent::LayoutChange);
}

void DataSet::bindFields(const std::vector<ColumnDef>& columns) {
    columns_ = columns;
    bool persistent = std::any_of(fields_.begin(), fields_.end(),
                                  [](Field* f) { return f->fieldKind() == FieldKind::Data; });
    defaultFields_ = !persistent;
    if (!persistent) {
        std::vector<Field*> extra = fields_;
        fields_.clear();
        for (const ColumnDef& column : columns) {
            ownedFields_.push_back(
                std::make_unique<Field>(*this, column.name, column.type, column.size, FieldKind::Data));
            Field& field = *ownedFields_.back();
            field.setPrecision(column.precision);
            field.setScale(column.scale);
            field.required_ = column.has(cfRequired);
            fields_.push_back(&field);
        }
        fields_.insert(fields_.end(), extra.begin(), extra.end());
    }
    for (Field* field : fields_) field->slot_ = -1;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        Field* field = findField(columns[c].name);
        if (!field || field->fieldKind() != FieldKind::Data)
            throw EDatabaseError(name_ + ": no field for column '" + columns[c].name + "'");
        if (groupOf(field->dataType()) != groupOf(columns[c].type))
            throw EDatabaseError(name_ + ": type mismatch for field '" + field->fieldName() + "'");
        field->slot_ = static_cast<int>(c);
    }
    int slot = static_cast<int>(columns.size());
    hasCalculated_ = false;
    for (Field* field : fields_) {
        if (field->fieldKind() != FieldKind::Data) {
            field->slot_ = slot++;
            hasCalculated_ = true;
        } else if (field->slot_ < 0) {
            throw EDatabaseError(name_ + ": Field '" + field->fieldName() + "' not found");
        }
    }
    slotCount_ = slot;
}

std::shared_ptr<Record> DataSet::newRecord() const {
    auto record = std::make_shared<Record>();
    record->values.assign(static_cast<std::size_t>(slotCount_), Variant::null());
    for (const ColumnDef& column : columns_)
        if (column.type == FieldType::DataSet) record->details.push_back(std::make_shared<RecordStore>());
    return record;
}

// ------------------------------------------------------------------ values

Record* DataSet::currentRecord() const {
    if (cursor_ < 0 || cursor_ >= static_cast<int>(view_.size())) return nullptr;
    return view_[static_cast<std::size_t>(cursor_)];
}

Record* DataSet::activeRecord() const { return override_ ? override_ : currentRecord(); }

const Variant& DataSet::fieldValue(const Field& field) const {
    if (validatingField_ == &field) return *validatingValue_;
    Record* record = activeRecord();
    if (!record || field.slot_ < 0 || field.slot_ >= static_cast<int>(record->values.size())) return nullValue();
    return record->values[static_cast<std::size_t>(field.slot_)];
}

Variant DataSet::originalValue(const Field& field) const {
    Record* record = activeRecord();
    if (!record || field.slot_ < 0) return Variant::null();
    auto slot = static_cast<std::size_t>(field.slot_);
    if (record->status == UpdateStatus::Inserted) return Variant::null();
    if (!record->original.empty() && slot < record->original.size()) return record->original[slot];
    if (state_ == DataSetState::Edit && record == currentRecord() && slot < savedValues_.size())
        return savedValues_[slot];
    return slot < record->values.size() ? record->values[slot] : Variant::null();
}

void DataSet::setFieldValue(Field& field, const Variant& value) {
    Record* record = activeRecord();
    if (field.fieldKind() != FieldKind::Data && state_ == DataSetState::CalcFields) {
        if (record && field.slot_ >= 0) record->values[static_cast<std::size_t>(field.slot_)] = value;
        return;
    }
    if (!isEditing()) throw EDatabaseError(name_ + ": Dataset not in edit or insert mode");
    if (field.readOnly() || field.fieldKind() != FieldKind::Data) throw EDatabaseError("Field '" + field.displayLabel() + "' cannot be modified");
    if (!record || field.slot_ < 0) throw EDatabaseError("Field '" + field.fieldName() + "' has no value here");
    validatingField_ = &field;
    validatingValue_ = &value;
    try {
        field.runValidate();
    } catch (...) {
        validatingField_ = nullptr;
        validatingValue_ = nullptr;
        throw;
    }
    validatingField_ = nullptr;
    validatingValue_ = nullptr;
    record->values[static_cast<std::size_t>(field.slot_)] = value;
    modified_ = true;
    field.runChange();
    if (hasCalculated_) calculateFields(*record);
    notify(DataEvent::FieldChange, &field);
}

void DataSet::calculateFields(Record& record) {
    if (!hasCalculated_) return;
    ActiveOverride guard(*this, &record);
    DataSetState saved = state_;
    state_ = DataSetState::CalcFields;
    try {
        for (Field* field : fields_) {
            if (field->fieldKind() == FieldKind::Data) continue;
            record.values[static_cast<std::size_t>(field->slot_)] = Variant::null();
            if (field->fieldKind() == FieldKind::Lookup) computeLookup(*field, record);
        }
        fire(evCalcFields);
    } catch (...) {
        state_ = saved;
        throw;
    }
    state_ = saved;
}

void DataSet::computeLookup(Field& field, Record& record) {
    DataSet* source = field.lookupDataSet();
    if (!source || !source->active() || field.keyFields().empty()) return;
    std::vector<Field*> keys = fieldList(field.keyFields());
    std::vector<Variant> values;
    for (Field* key : keys) values.push_back(key->value());
    Variant wanted = values.size() == 1 ? values[0] : Variant::arrayOf(values);
    record.values[static_cast<std::size_t>(field.slot_)] =
        field.coerce(source->lookup(field.lookupKeyFields(), wanted, field.lookupResultField()));
}

// ------------------------------------------------------------------ state

void DataSet::checkActive() const {
    if (!active()) throw EDatabaseError(name_ + ": Cannot perform this operation on a closed dataset");
}

void DataSet::fire(int slot) {
    if (const auto* handler = events_.handler<DataSetNotifyEvent>(slot)) {
        DataSetNotifyEvent copy = *handler;  // a handler may replace itself
        copy(*this);
    }
}

void DataSet::setState(DataSetState state) {
    if (state_ == state) return;
    state_ = state;
    notify(DataEvent::StateChange);
}

void DataSet::internalOpen() {
    std::vector<ColumnDef> columns;
    for (Field* field : fields_)
        if (field->fieldKind() == FieldKind::Data) columns.push_back(field->columnDef());
    bindFields(columns);
    if (!store_) store_ = std::make_shared<RecordStore>();
}

void DataSet::rebuildView() {
    view_.clear();
    if (store_) {
        view_.reserve(store_->rows.size());
        for (const auto& row : store_->rows) view_.push_back(row.get());
    }
    renumberView();
}

void DataSet::renumberView(std::size_t from) {
    for (std::size_t i = from; i < view_.size(); ++i) view_[i]->viewPos = static_cast<int>(i);
}

void DataSet::resetPosition() {
    cursor_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
}

void DataSet::open() {
    if (active()) return;
    fire(evBeforeOpen);
    try {
        internalOpen();
        rebuildView();
    } catch (...) {
        view_.clear();
        store_.reset();
        internalClose();
        throw;
    }
    resetPosition();
    modified_ = false;
    setState(DataSetState::Browse);
    fire(evAfterOpen);
    notify(DataEvent::DataSetChange);
    currentRecordChanged();
    fire(evAfterScroll);
}

void DataSet::close() {
    if (!active()) return;
    if (isEditing()) cancel();
    fire(evBeforeClose);
    internalClose();
    for (Record* record : view_) record->viewPos = -1;
    view_.clear();
    store_.reset();
    cursor_ = -1;
    bof_ = eof_ = true;
    pendingInsert_.reset();
    if (defaultFields_) {
        std::vector<Field*> keep;
        for (Field* field : fields_) {
            if (field->fieldKind() == FieldKind::Data) {
                std::erase_if(ownedFields_, [&](const auto& owned) { return owned.get() == field; });
            } else {
                keep.push_back(field);
            }
        }
        fields_ = keep;
        defaultFields_ = false;
    }
    setState(DataSetState::Inactive);
    fire(evAfterClose);
    notify(DataEvent::DataSetChange);
    currentRecordChanged();
}

void DataSet::edit() {
    checkActive();
    if (isEditing()) return;
    if (view_.empty()) {
        insert();
        return;
    }
    if (readOnly_) throw EDatabaseError(name_ + ": Cannot modify a read-only dataset");
    fire(evBeforeEdit);
    savedValues_ = currentRecord()->values;
    modified_ = false;
    setState(DataSetState::Edit);
    fire(evAfterEdit);
}

void DataSet::insert() { beginInsert(false); }
void DataSet::append() { beginInsert(true); }

void DataSet::beginInsert(bool atEnd) {
    checkActive();
    if (readOnly_) throw EDatabaseError(name_ + ": Cannot modify a read-only dataset");
    checkBrowseMode();
    auto record = newRecord();
    record->status = UpdateStatus::Inserted;
    initNewRecord(*record);
    fire(evBeforeInsert);
    fire(evBeforeScroll);
    int savedCursor = cursor_;
    bool savedBof = bof_, savedEof = eof_;
    int position = atEnd || cursor_ < 0 ? static_cast<int>(view_.size()) : cursor_;
    insertIntoView(record.get(), position);
    pendingInsert_ = record;
    cursor_ = position;
    bof_ = eof_ = false;
    setState(DataSetState::Insert);
    try {
        fire(evNewRecord);
        if (hasCalculated_) calculateFields(*record);
    } catch (...) {
        removeFromView(position);
        pendingInsert_.reset();
        cursor_ = savedCursor;
        bof_ = savedBof;
        eof_ = savedEof;
        modified_ = false;
        setState(DataSetState::Browse);
        throw;
    }
    modified_ = false;
    fire(evAfterInsert);
    notify(DataEvent::DataSetChange);
    currentRecordChanged();
    fire(evAfterScroll);
}

void DataSet::checkRequiredFields() {
    for (Field* field : fields_) {
        if (field->fieldKind() == FieldKind::Data && field->required() && field->isNull())
            throw EDatabaseError("Field '" + field->displayLabel() + "' must have a value");
    }
}

void DataSet::post() {
    checkActive();
    if (!isEditing()) return;
    updateRecord();
    fire(evBeforePost);
    checkRequiredFields();
    Record* record = currentRecord();
    bool inserting = state_ == DataSetState::Insert;
    if (inserting) {
        auto& rows = store_->rows;
        auto position = rows.end();
        if (cursor_ + 1 < static_cast<int>(view_.size())) {
            Record* nextRecord = view_[static_cast<std::size_t>(cursor_ + 1)];
            position = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.get() == nextRecord; });
        }
        rows.insert(position, pendingInsert_);
        pendingInsert_.reset();
        recordPosted(*record, nullptr, true);
    } else if (modified_) {
        if (record->status == UpdateStatus::Unmodified) {
            record->original.assign(savedValues_.begin(), savedValues_.begin() + static_cast<std::ptrdiff_t>(columns_.size()));
            record->status = UpdateStatus::Modified;
        }
        recordPosted(*record, &savedValues_, false);
    }
    if (ordered()) {
        removeFromView(cursor_);
        cursor_ = orderedPosition(*record);
        insertIntoView(record, cursor_);
    }
    savedValues_.clear();
    modified_ = false;
    setState(DataSetState::Browse);
    fire(evAfterPost);
    notify(DataEvent::DataSetChange);
}

void DataSet::cancel() {
    if (!isEditing()) return;
    fire(evBeforeCancel);
    if (state_ == DataSetState::Insert) {
        removeFromView(cursor_);
        pendingInsert_.reset();
        if (cursor_ >= static_cast<int>(view_.size())) cursor_ = static_cast<int>(view_.size()) - 1;
        if (view_.empty()) bof_ = eof_ = true;
    } else if (Record* record = currentRecord()) {
        record->values = savedValues_;
    }
    savedValues_.clear();
    modified_ = false;
    setState(DataSetState::Browse);
    fire(evAfterCancel);
    notify(DataEvent::DataSetChange);
    currentRecordChanged();
}

void DataSet::deleteRecord() {
    checkActive();
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    if (view_.empty()) throw EDatabaseError(name_ + ": Cannot perform this operation on an empty dataset");
    if (readOnly_) throw EDatabaseError(name_ + ": Cannot modify a read-only dataset");
    fire(evBeforeDelete);
    fire(evBeforeScroll);
    Record* record = currentRecord();
    if (state_ == DataSetState::Edit) {
        record->values = savedValues_;
        savedValues_.clear();
    }
    recordRemoved(*record);
    removeFromView(cursor_);
    record->viewPos = -1;
    auto& rows = store_->rows;
    auto it = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.get() == record; });
    if (it != rows.end()) {
        std::shared_ptr<Record> owned = *it;
        rows.erase(it);
        if (owned->status != UpdateStatus::Inserted) {
            if (owned->status == UpdateStatus::Unmodified)
                owned->original.assign(owned->values.begin(),
                                       owned->values.begin() + static_cast<std::ptrdiff_t>(columns_.size()));
            owned->status = UpdateStatus::Deleted;
            store_->deleted.push_back(std::move(owned));
        }
    }
    if (cursor_ >= static_cast<int>(view_.size())) cursor_ = static_cast<int>(view_.size()) - 1;
    bof_ = eof_ = view_.empty();
    modified_ = false;
    setState(DataSetState::Browse);
    fire(evAfterDelete);
    notify(DataEvent::DataSetChange);
    currentRecordChanged();
    fire(evAfterScroll);
}

void DataSet::checkBrowseMode() {
    checkActive();
    if (!isEditing()) return;
    updateRecord();
    if (modified_) post();
    else cancel();
}

void DataSet::updateRecord() {
    std::vector<DataSource*> sources = dataSources_;
    for (DataSource* source : sources) source->updateData();
}

UpdateStatus DataSet::updateStatus() const {
    Record* record = currentRecord();
    return record ? record->status : UpdateStatus::Unmodified;
}

// ------------------------------------------------------------------ view

void DataSet::removeFromView(int position) {
    view_.erase(view_.begin() + position);
    renumberView(static_cast<std::size_t>(position));
}

void DataSet::insertIntoView(Record* record, int position) {
    view_.insert(view_.begin() + position, record);
    renumberView(static_cast<std::size_t>(position));
}

// ------------------------------------------------------------------ navigation

int DataSet::recNo() const {
    if (!active() || cursor_ < 0) return 0;
    return cursor_ + 1;
}

void DataSet::scrollTo(int position) {
    checkBrowseMode();
    fire(evBeforeScroll);
    int before = cursor_;
    cursor_ = std::clamp(position, 0, static_cast<int>(view_.size()) - 1);
    bof_ = eof_ = false;
    if (cursor_ != before) {
        notify(DataEvent::DataSetScroll);
        currentRecordChanged();
    }
    fire(evAfterScroll);
}

void DataSet::setRecNo(int recNo) {
    checkActive();
    if (view_.empty()) return;
    scrollTo(recNo - 1);
}

void DataSet::first() {
    checkBrowseMode();
    fire(evBeforeScroll);
    int before = cursor_;
    cursor_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    if (before != cursor_) {
        notify(DataEvent::DataSetScroll);
        currentRecordChanged();
    }
    fire(evAfterScroll);
}

void DataSet::last() {
    checkBrowseMode();
    fire(evBeforeScroll);
    while (fetchMore()) {
    }
    int before = cursor_;
    cursor_ = static_cast<int>(view_.size()) - 1;
    eof_ = true;
    bof_ = view_.empty();
    if (before != cursor_) {
        notify(DataEvent::DataSetScroll);
        currentRecordChanged();
    }
    fire(evAfterScroll);
}

int DataSet::moveBy(int distance) {
    checkBrowseMode();
    if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
    fire(evBeforeScroll);
    int before = cursor_;
    long target = static_cast<long>(cursor_) + distance;
    if (distance > 0) {
        while (target >= static_cast<long>(view_.size()) && fetchMore()) {
        }
        if (target >= static_cast<long>(view_.size())) {
            target = static_cast<long>(view_.size()) - 1;
            eof_ = true;
        } else {
            eof_ = false;
        }
        bof_ = false;
    } else {
        if (target < 0) {
            target = 0;
            bof_ = true;
        } else {
            bof_ = false;
        }
        eof_ = false;
    }
    cursor_ = static_cast<int>(target);
    if (cursor_ != before) {
        notify(DataEvent::DataSetScroll);
        currentRecordChanged();
    }
    fire(evAfterScroll);
    return cursor_ - before;
}

Bookmark DataSet::bookmark() const {
    Record* record = currentRecord();
    if (!record || state_ == DataSetState::Insert) return {};
    return Bookmark(record->weak_from_this());
}

bool DataSet::bookmarkValid(const Bookmark& bookmark) const {
    auto record = bookmark.record_.lock();
    if (!record || record->viewPos < 0 || record->viewPos >= static_cast<int>(view_.size())) return false;
    return view_[static_cast<std::size_t>(record->viewPos)] == record.get();
}

void DataSet::gotoBookmark(const Bookmark& bookmark) {
    checkActive();
    if (!bookmarkValid(bookmark)) throw EDatabaseError(name_ + ": Record not found");
    scrollTo(bookmark.record_.lock()->viewPos);
}

// ------------------------------------------------------------------ locate

bool DataSet::locateValues(const std::vector<Field*>& fields, const Variant& values, std::vector<Variant>& out) {
    out.clear();
    const Variant& v = values.deref();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        Variant wanted;
        if (fields.size() == 1 && !v.isArray()) wanted = v;
        else if (v.isArray() && static_cast<int>(i) < v.length()) wanted = v[v.lowBound() + static_cast<int>(i)];
        else wanted = Variant::null();
        try {
            out.push_back(fields[i]->coerce(wanted));
        } catch (const Exception&) {
            return false;
        }
    }
    return true;
}

int DataSet::findMatch(const std::vector<Field*>& fields, const std::vector<Variant>& values,
                       LocateOptions options, int from) const {
    for (int pos = from; pos < static_cast<int>(view_.size()); ++pos) {
        const Record& record = *view_[static_cast<std::size_t>(pos)];
        bool match = true;
        for (std::size_t i = 0; i < fields.size() && match; ++i) {
            const Variant& stored = record.values[static_cast<std::size_t>(fields[i]->slot_)];
            const Variant& wanted = values[i];
            if (wanted.isNullOrEmpty() || stored.isNullOrEmpty()) {
                match = wanted.isNullOrEmpty() && stored.isNullOrEmpty();
            } else if (fields[i]->isText()) {
                const std::string& s = stored.asString();
                const std::string& w = wanted.asString();
                if (options.partialKey && w.size() <= s.size())
                    match = isCharacterBoundary(s, w.size()) &&
                            textEquals(std::string_view(s).substr(0, w.size()), w, options.caseInsensitive);
                else
                    match = textEquals(s, w, options.caseInsensitive);
            } else if (groupOf(fields[i]->dataType()) == TypeGroup::Boolean) {
                match = stored.toBool() == wanted.toBool();
            } else {
                match = stored.toDouble() == wanted.toDouble();
            }
        }
        if (match) return pos;
    }
    return -1;
}

bool DataSet::locate(std::string_view fieldNames, const Variant& values, LocateOptions options) {
    checkBrowseMode();
    std::vector<Field*> fields = fieldList(fieldNames);
    std::vector<Variant> wanted;
    if (!locateValues(fields, values, wanted)) return false;
    int position = findMatch(fields, wanted, options);
    if (position < 0) return false;
    scrollTo(position);
    return true;
}

Variant DataSet::lookup(std::string_view fieldNames, const Variant& values, std::string_view resultField) {
    checkActive();
    std::vector<Field*> fields = fieldList(fieldNames);
    Field& result = fieldByName(resultField);
    std::vector<Variant> wanted;
    if (!locateValues(fields, values, wanted)) return Variant::null();
    int position = findMatch(fields, wanted, {});
    if (position < 0) return Variant::null();
    return view_[static_cast<std::size_t>(position)]->values[static_cast<std::size_t>(result.slot_)];
}

// ------------------------------------------------------------------ controls

void DataSet::setEvent(std::string_view name, DataSetNotifyEvent handler) {
    if (!events_.set(name, std::move(handler))) throw EDatabaseError(name_ + ": no event '" + std::string(name) + "'");
}

void DataSet::disableControls() {
    if (disableCount_++ == 0) pendingChange_ = false;
}

void DataSet::enableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ == 0 && pendingChange_) {
        pendingChange_ = false;
        notify(DataEvent::DataSetChange);
    }
}

void DataSet::notify(DataEvent event, Field* field) {
    if (disableCount_ > 0) {
        pendingChange_ = true;
        return;
    }
    std::vector<DataSource*> sources = dataSources_;
    for (DataSource* source : sources) source->dataEvent(event, field);
}

}  // namespace corvane
