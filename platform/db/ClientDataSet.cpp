#include "platform/db/ClientDataSet.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_map>

#include "platform/core/CodePage.h"
#include "platform/db/DataSource.h"
#include "platform/db/DispatchProvider.h"
#include "platform/db/GbkText.h"

namespace corvane {
namespace {

bool isTextType(FieldType type) { return type == FieldType::String || type == FieldType::Memo; }

Variant fromWire(const Variant& value, const ColumnDef& column) {
    const Variant& v = value.deref();
    if (v.isNullOrEmpty()) return Variant::null();
    switch (column.type) {
    case FieldType::String:
    case FieldType::Memo: return Variant(v.toString());
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::LargeInt: return Variant(static_cast<long long>(v.toInt()));
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::BCD: return Variant(v.toDouble());
    case FieldType::Boolean: return Variant(v.toBool());
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: return v.type() == VarType::Date ? v : Variant::date(v.toDouble());
    case FieldType::DataSet: return Variant::null();
    }
    return v;
}

Variant toWire(const Variant& value, const ColumnDef& column) {
    if (value.isNullOrEmpty()) return Variant::null();
    if (isTextType(column.type)) return Variant(value.toWide());
    return value;
}

int compareValues(const Variant& a, const Variant& b, bool text, bool caseInsensitive) {
    bool an = a.isNullOrEmpty(), bn = b.isNullOrEmpty();
    if (an || bn) return (an ? 0 : 1) - (bn ? 0 : 1);
    if (text) {
        const std::string& x = a.asString();
        const std::string& y = b.asString();
        return caseInsensitive ? compareGbkIgnoreCase(x, y) : x.compare(y);
    }
    if (a.type() == VarType::Boolean || b.type() == VarType::Boolean) return int(a.toBool()) - int(b.toBool());
    double x = a.toDouble(), y = b.toDouble();
    return x < y ? -1 : (x > y ? 1 : 0);
}

bool sameStored(const Variant& a, const Variant& b) {
    if (a.isNullOrEmpty() || b.isNullOrEmpty()) return a.isNullOrEmpty() && b.isNullOrEmpty();
    if (a.isString() && b.isString()) return a.asString() == b.asString();
    if (a.isString() || b.isString()) return false;
    if (a.type() == VarType::Boolean || b.type() == VarType::Boolean) return a.toBool() == b.toBool();
    return a.toDouble() == b.toDouble();
}

// A hash key for the values of a row: each value tagged by its kind, texts
// with their length, numbers and dates by their double's bytes.
void appendKey(std::string& key, const Variant& value, bool text, bool caseInsensitive) {
    if (value.isNullOrEmpty()) {
        key += 'N';
        return;
    }
    if (text) {
        const std::string& s = value.asString();
        key += 'S';
        std::uint32_t n = static_cast<std::uint32_t>(s.size());
        key.append(reinterpret_cast<const char*>(&n), sizeof n);
        key += caseInsensitive ? upperGbk(s) : s;
        return;
    }
    if (value.type() == VarType::Boolean) {
        key += value.toBool() ? "B1" : "B0";
        return;
    }
    double d = value.toDouble();
    if (d == 0) d = 0;  // -0 and 0 are the same key
    key += 'D';
    key.append(reinterpret_cast<const char*>(&d), sizeof d);
}

void mergeStore(RecordStore& store) {
    store.deleted.clear();
    for (auto& row : store.rows) {
        row->status = UpdateStatus::Unmodified;
        row->original.clear();
        row->errorCode = 0;
        for (auto& detail : row->details) mergeStore(*detail);
    }
}

void revertStore(RecordStore& store, std::size_t columnCount) {
    std::erase_if(store.rows, [](const auto& row) { return row->status == UpdateStatus::Inserted; });
    for (auto& row : store.deleted) store.rows.push_back(row);
    store.deleted.clear();
    // Only fetched rows are left: back in the order they arrived.
    std::stable_sort(store.rows.begin(), store.rows.end(),
                     [](const auto& a, const auto& b) { return a->sequence < b->sequence; });
    for (auto& row : store.rows) {
        if (row->status != UpdateStatus::Unmodified && !row->original.empty())
            std::copy_n(row->original.begin(), std::min(columnCount, row->original.size()), row->values.begin());
        row->status = UpdateStatus::Unmodified;
        row->original.clear();
        row->errorCode = 0;
        for (auto& detail : row->details) revertStore(*detail, detail->rows.empty() ? 0 : detail->rows[0]->values.size());
    }
}

}  // namespace

// ------------------------------------------------------------------ IndexDefs

IndexDef& IndexDefs::add(std::string name, std::string fields, unsigned options, std::string descFields) {
    if (IndexDef* existing = find(name)) {
        existing->fields = std::move(fields);
        existing->options = options;
        existing->descFields = std::move(descFields);
        return *existing;
    }
    items_.push_back(IndexDef{std::move(name), std::move(fields), options, std::move(descFields), {}});
    return items_.back();
}

IndexDef* IndexDefs::find(std::string_view name) {
    for (IndexDef& def : items_)
        if (sameName(def.name, name)) return &def;
    return nullptr;
}

const IndexDef* IndexDefs::find(std::string_view name) const {
    return const_cast<IndexDefs*>(this)->find(name);
}

// ------------------------------------------------------------------ helpers

struct ClientDataSet::HashIndex {
    std::vector<int> slots;
    std::vector<bool> text;
    bool caseInsensitive = false;
    std::unordered_multimap<std::string, Record*> map;

    std::string keyOf(const RowValues& values) const {
        std::string key;
        for (std::size_t i = 0; i < slots.size(); ++i)
            appendKey(key, values[static_cast<std::size_t>(slots[i])], text[i], caseInsensitive);
        return key;
    }
    void add(Record& record) { map.emplace(keyOf(record.values), &record); }
    void remove(const RowValues& values, Record& record) {
        auto range = map.equal_range(keyOf(values));
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == &record) {
                map.erase(it);
                return;
            }
        }
    }
};

class ClientDataSet::MasterLink : public DataLink {
public:
    explicit MasterLink(ClientDataSet& detail) : detail_(detail) {}
    void activeChanged() override { detail_.masterChanged(); }
    void dataSetChanged() override { detail_.masterChanged(); }
    void dataSetScrolled() override { detail_.masterChanged(); }
    void recordChanged(Field* field) override {
        if (!field) detail_.masterChanged();
    }

private:
    ClientDataSet& detail_;
};

// ------------------------------------------------------------------ life

ClientDataSet::ClientDataSet(std::string name) : DataSet(std::move(name)) {
    evReconcileError = events_.declare<ReconcileErrorEvent>("OnReconcileError");
}

ClientDataSet::~ClientDataSet() {
    masterLink_.reset();
    for (ClientDataSet* detail : nested_) detail->nestedMaster_ = nullptr;
    if (nestedMaster_) std::erase(nestedMaster_->nested_, this);
}

void ClientDataSet::setProviderConnection(std::shared_ptr<ProviderConnection> connection) {
    connection_ = std::move(connection);
}

// The remote server's providers are reached through its AS_* members.
void ClientDataSet::setRemoteServer(DispatchRef server) {
    remoteServer_ = std::move(server);
    connection_ = remoteServer_ ? std::make_shared<DispatchProvider>(remoteServer_) : nullptr;
}

ProviderConnection& ClientDataSet::connection() {
    if (!connection_ || providerName_.empty())
        throw EDatabaseError(name() + ": Missing data provider or data packet");
    return *connection_;
}

Variant ClientDataSet::dataRequest(const Variant& request) {
    const Variant& r = request.deref();
    if (!r.isArray() || r.dimCount() != 1 || r.length() != 2)
        throw EDatabaseError(name() + ": a data request is [where, order by]");
    return connection().dataRequest(providerName_, request);
}

// ------------------------------------------------------------------ opening

std::shared_ptr<Record> ClientDataSet::recordFromWire(const RowValues& row, const std::vector<ColumnDef>& columns) const {
    auto record = std::make_shared<Record>();
    record->values.resize(std::max<std::size_t>(columns.size(), static_cast<std::size_t>(slotCount())), Variant::null());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const Variant& value = c < row.size() ? row[c].deref() : Variant::null();
        if (columns[c].type != FieldType::DataSet) {
            record->values[c] = fromWire(value, columns[c]);
            continue;
        }
        auto detail = std::make_shared<RecordStore>();
        if (value.isArray()) {
            for (int i = value.lowBound(); i <= value.highBound(); ++i) {
                const Variant& nestedRow = value[i].deref();
                RowValues values;
                if (nestedRow.isArray())
                    for (int j = nestedRow.lowBound(); j <= nestedRow.highBound(); ++j) values.push_back(nestedRow[j]);
                auto nestedRecord = std::make_shared<Record>();
                nestedRecord->values.resize(columns[c].nested.size(), Variant::null());
                for (std::size_t k = 0; k < columns[c].nested.size() && k < values.size(); ++k)
                    nestedRecord->values[k] = fromWire(values[k], columns[c].nested[k]);
                detail->rows.push_back(std::move(nestedRecord));
            }
        }
        record->details.push_back(std::move(detail));
    }
    return record;
}

void ClientDataSet::loadPacket(const DataPacket& packet) {
    bindFields(packet.columns);
    setStore(std::make_shared<RecordStore>());
    endOfData_ = packet.endOfData;
    updateSortKeys();
    store().rows.reserve(packet.rows.size() + packet.rows.size() / 4 + 64);
    for (const RowValues& row : packet.rows) {
        auto record = recordFromWire(row, columns());
        if (hasCalculatedFields()) calculateFields(*record);
        store().rows.push_back(std::move(record));
    }
}

void ClientDataSet::internalOpen() {
    clearHashIndexes();
    lastLocateFields_.clear();
    lastLocateList_.clear();
    if (nestedMaster_) {
        if (!nestedMaster_->active()) throw EDatabaseError(name() + ": master dataset is not open");
        Field& field = nestedMaster_->fieldByName(nestedFieldName_);
        int slot = slotOf(field);
        if (field.dataType() != FieldType::DataSet || slot < 0)
            throw EDatabaseError(name() + ": '" + nestedFieldName_ + "' is not a dataset field");
        bindFields(nestedMaster_->columns()[static_cast<std::size_t>(slot)].nested);
        updateSortKeys();
        endOfData_ = true;
        bindToMaster();
        return;
    }
    if (pendingData_) {
        loadPacket(*pendingData_);
        endOfData_ = true;
    } else if (created_) {
        DataSet::internalOpen();
        endOfData_ = true;
        updateSortKeys();
    } else {
        loadPacket(connection().getRecords(providerName_, packetRecords_, true));
    }
    if (masterSource()) masterChanged();
}

void ClientDataSet::internalClose() {
    for (ClientDataSet* detail : nested_) detail->close();
    clearHashIndexes();
    sortKeys_.clear();
    endOfData_ = true;
    lastLocateFields_.clear();
    lastLocateList_.clear();
    noMasterRecord_ = false;
}

void ClientDataSet::setData(const DataPacket& packet) {
    close();
    pendingData_ = std::make_unique<DataPacket>(packet);
    try {
        open();
    } catch (...) {
        pendingData_.reset();
        throw;
    }
    pendingData_.reset();
}

void ClientDataSet::createDataSet() {
    close();
    created_ = true;
    try {
        open();
    } catch (...) {
        created_ = false;
        throw;
    }
    created_ = false;
}

void ClientDataSet::appendRows(const std::vector<RowValues>& rows) {
    std::size_t firstNew = view().size();
    bool sorted = ordered();
    for (const RowValues& row : rows) {
        auto record = recordFromWire(row, columns());
        if (hasCalculatedFields()) calculateFields(*record);
        Record* raw = record.get();
        store().rows.push_back(std::move(record));
        for (auto& index : hashIndexes_) index->add(*raw);
        if (!inRange(*raw)) continue;
        if (sorted) {
            insertIntoView(raw, orderedPosition(*raw));
        } else {
            view().push_back(raw);
        }
    }
    if (!sorted) renumberView(firstNew);
}

void ClientDataSet::appendData(const DataPacket& packet) {
    checkActive();
    bool wasEof = eof();
    std::size_t before = view().size();
    appendRows(packet.rows);
    if (view().size() > before) {
        if (cursor() < 0) {
            setCursor(0);
            setEdges(true, false);
        } else if (wasEof) {
            setEdges(bof(), false);
        }
        notify(DataEvent::DataSetChange);
    }
}

int ClientDataSet::getNextPacket() {
    checkActive();
    if (endOfData_ || nestedMaster_) return 0;
    DataPacket packet = connection().getRecords(providerName_, packetRecords_, false);
    endOfData_ = packet.endOfData;
    appendData(packet);
    return static_cast<int>(packet.rows.size());
}

bool ClientDataSet::fetchMore() {
    if (!fetchOnDemand_ || endOfData_ || nestedMaster_ || !connection_) return false;
    return getNextPacket() > 0;
}

DataPacket ClientDataSet::data() const {
    DataPacket packet;
    packet.columns = columns();
    packet.endOfData = true;
    std::function<Variant(const RecordStore&, const std::vector<ColumnDef>&)> nestedRows;
    auto rowOf = [&](const Record& record, const std::vector<ColumnDef>& cols) {
        RowValues row;
        std::size_t detail = 0;
        for (std::size_t c = 0; c < cols.size(); ++c) {
            if (cols[c].type == FieldType::DataSet) row.push_back(nestedRows(*record.details[detail++], cols[c].nested));
            else row.push_back(toWire(record.values[c], cols[c]));
        }
        return row;
    };
    nestedRows = [&](const RecordStore& store, const std::vector<ColumnDef>& cols) {
        std::vector<Variant> rows;
        for (const auto& r : store.rows) rows.push_back(Variant::arrayOf(rowOf(*r, cols)));
        return Variant::arrayOf(std::move(rows));
    };
    for (int i = 0; i < recordCount(); ++i) packet.rows.push_back(rowOf(recordAt(i), columns()));
    return packet;
}

// ------------------------------------------------------------------ change log

int ClientDataSet::changeCount() const { return storePtr() ? storePtr()->changeCount() : 0; }

void ClientDataSet::collectDelta(Delta& delta, std::vector<Record*>& records) const {
    const auto& cols = columns();
    delta.columns = cols;
    // Nested rows as arrays of row arrays: current or as fetched.
    std::function<Variant(const RecordStore&, const std::vector<ColumnDef>&, bool)> nestedRows =
        [&](const RecordStore& store, const std::vector<ColumnDef>& nestedCols, bool original) {
            std::vector<const Record*> records;
            for (const auto& r : store.rows)
                if (!original || r->status != UpdateStatus::Inserted) records.push_back(r.get());
            if (original) {
                // As fetched: deleted rows back in their place, in arrival order.
                for (const auto& r : store.deleted) records.push_back(r.get());
                std::sort(records.begin(), records.end(),
                          [](const Record* a, const Record* b) { return a->sequence < b->sequence; });
            }
            std::vector<Variant> rows;
            for (const Record* r : records) {
                const RowValues& values = original && !r->original.empty() ? r->original : r->values;
                std::vector<Variant> row;
                for (std::size_t c = 0; c < nestedCols.size(); ++c) row.push_back(toWire(values[c], nestedCols[c]));
                rows.push_back(Variant::arrayOf(std::move(row)));
            }
            return Variant::arrayOf(std::move(rows));
        };
    auto wireRow = [&](const Record& record, const RowValues& values, bool original) {
        RowValues row;
        std::size_t detail = 0;
        for (std::size_t c = 0; c < cols.size(); ++c) {
            if (cols[c].type == FieldType::DataSet) row.push_back(nestedRows(*record.details[detail++], cols[c].nested, original));
            else row.push_back(toWire(values[c], cols[c]));
        }
        return row;
    };
    for (const auto& record : store().deleted) {
        delta.rows.push_back(DeltaRow{UpdateKind::Delete, wireRow(*record, record->original, true), {}, {}});
        records.push_back(record.get());
    }
    for (const auto& record : store().rows) {
        bool nestedChanged = false;
        for (const auto& detail : record->details) nestedChanged = nestedChanged || detail->changeCount() > 0;
        if (record->status != UpdateStatus::Modified && !(record->status == UpdateStatus::Unmodified && nestedChanged))
            continue;
        const RowValues& original = record->original.empty() ? record->values : record->original;
        DeltaRow row{UpdateKind::Modify, wireRow(*record, original, true), wireRow(*record, record->values, false), {}};
        std::size_t detail = 0;
        for (std::size_t c = 0; c < cols.size(); ++c) {
            if (cols[c].type == FieldType::DataSet) row.changed.push_back(record->details[detail++]->changeCount() > 0);
            else row.changed.push_back(!sameStored(original[c], record->values[c]));
        }
        delta.rows.push_back(std::move(row));
        records.push_back(record.get());
    }
    for (const auto& record : store().rows) {
        if (record->status != UpdateStatus::Inserted) continue;
        delta.rows.push_back(DeltaRow{UpdateKind::Insert, {}, wireRow(*record, record->values, false), {}});
        records.push_back(record.get());
    }
}

Delta ClientDataSet::delta() const {
    Delta result;
    std::vector<Record*> records;
    if (storePtr()) collectDelta(result, records);
    return result;
}

void ClientDataSet::accept(Record& record) {
    record.status = UpdateStatus::Unmodified;
    record.original.clear();
    record.errorCode = 0;
    for (auto& detail : record.details) mergeStore(*detail);
}

void ClientDataSet::revert(Record& record) {
    if (!record.original.empty())
        std::copy_n(record.original.begin(), std::min(columns().size(), record.original.size()), record.values.begin());
    record.original.clear();
    record.status = UpdateStatus::Unmodified;
    record.errorCode = 0;
    for (auto& detail : record.details) revertStore(*detail, detail->rows.empty() ? 0 : detail->rows[0]->values.size());
    if (hasCalculatedFields()) calculateFields(record);
}

void ClientDataSet::afterLogChange() {
    std::shared_ptr<Record> current = currentRecord() ? currentRecord()->shared_from_this() : nullptr;
    rebuildView();  // renumbers every record of the store
    clearHashIndexes();
    if (current && current->viewPos >= 0) setCursor(current->viewPos);
    else setCursor(std::min(cursor(), recordCount() - 1));
    if (cursor() < 0 && !isEmpty()) setCursor(0);
    setEdges(isEmpty(), isEmpty());
    notify(DataEvent::DataSetChange);
    currentRecordChanged();
}

int ClientDataSet::applyUpdates(int maxErrors) {
    checkBrowseMode();
    Delta delta;
    std::vector<Record*> records;
    collectDelta(delta, records);
    if (delta.rows.empty()) return 0;
    ApplyResult result = connection().applyUpdates(providerName_, delta, maxErrors);

    enum class Outcome { Accept, Keep, Revert };
    std::vector<Outcome> outcome(records.size(), result.rolledBack ? Outcome::Keep : Outcome::Accept);
    bool aborted = false;
    for (const ReconcileError& error : result.errors) {
        if (error.row < 0 || error.row >= static_cast<int>(records.size())) continue;
        auto row = static_cast<std::size_t>(error.row);
        Record& record = *records[row];
        outcome[row] = Outcome::Keep;
        int previous = record.errorCode;
        record.errorCode = error.errorCode;
        if (aborted) continue;
        ReconcileAction action = ReconcileAction::Skip;
        if (const auto* handler = events_.handler<ReconcileErrorEvent>(evReconcileError)) {
            if (record.viewPos >= 0 && record.viewPos < recordCount()) setCursor(record.viewPos);
            EReconcileError reconcile(utf16ToCodePage(error.message), utf16ToCodePage(error.context), error.errorCode,
                                      previous);
            ReconcileErrorEvent copy = *handler;
            copy(*this, reconcile, error.kind, action);
        }
        switch (action) {
        case ReconcileAction::Skip:
        case ReconcileAction::Correct: break;
        case ReconcileAction::Abort: aborted = true; break;
        case ReconcileAction::Merge: outcome[row] = Outcome::Accept; break;
        case ReconcileAction::Cancel:
        case ReconcileAction::Refresh: outcome[row] = Outcome::Revert; break;
        }
    }
    std::vector<std::shared_ptr<Record>> keepAlive;
    for (std::size_t i = 0; i < records.size(); ++i) {
        Record& record = *records[i];
        keepAlive.push_back(record.shared_from_this());
        if (outcome[i] == Outcome::Keep) continue;
        bool deleted = record.status == UpdateStatus::Deleted;
        bool inserted = record.status == UpdateStatus::Inserted;
        if (outcome[i] == Outcome::Accept) {
            if (deleted) std::erase(store().deleted, keepAlive.back());
            else accept(record);
        } else if (inserted) {
            std::erase(store().rows, keepAlive.back());
        } else {
            if (deleted) {
                // Back in its place among the rows that arrived with it.
                std::erase(store().deleted, keepAlive.back());
                auto& rows = store().rows;
                auto place = std::find_if(rows.begin(), rows.end(),
                                          [&](const auto& r) { return r->sequence > record.sequence; });
                rows.insert(place, keepAlive.back());
            }
            revert(record);
        }
    }
    afterLogChange();
    return result.errorCount;
}

void ClientDataSet::cancelUpdates() {
    checkActive();
    if (isEditing()) cancel();
    revertStore(store(), columns().size());
    if (hasCalculatedFields())
        for (auto& row : store().rows) calculateFields(*row);
    afterLogChange();
}

void ClientDataSet::mergeChangeLog() {
    checkActive();
    checkBrowseMode();
    mergeStore(store());
    afterLogChange();
}

void ClientDataSet::revertRecord() {
    checkActive();
    if (isEditing()) cancel();
    Record* record = currentRecord();
    if (!record || record->status == UpdateStatus::Unmodified) {
        if (record) {
            for (auto& detail : record->details) revertStore(*detail, detail->rows.empty() ? 0 : detail->rows[0]->values.size());
            afterLogChange();
        }
        return;
    }
    if (record->status == UpdateStatus::Inserted) {
        auto owned = record->shared_from_this();
        std::erase(store().rows, owned);
    } else {
        revert(*record);
    }
    afterLogChange();
}

// ------------------------------------------------------------------ indexes

void ClientDataSet::addIndex(std::string name, std::string fields, unsigned options, std::string descFields) {
    indexDefs_.add(std::move(name), std::move(fields), options, std::move(descFields));
}

void ClientDataSet::updateSortKeys() {
    sortKeys_.clear();
    std::string fieldNames;
    std::vector<Field*> desc, caseIns;
    bool allDesc = false, allCaseIns = false;
    if (!indexName_.empty()) {
        const IndexDef* def = indexDefs_.find(indexName_);
        if (!def) throw EDatabaseError(name() + ": Index '" + indexName_ + "' not found");
        fieldNames = def->fields;
        desc = fieldList(def->descFields);
        caseIns = fieldList(def->caseInsFields);
        allDesc = (def->options & ixDescending) != 0;
        allCaseIns = (def->options & ixCaseInsensitive) != 0;
    } else {
        fieldNames = indexFieldNames_;
    }
    for (Field* field : fieldList(fieldNames)) {
        if (field->dataType() == FieldType::DataSet)
            throw EDatabaseError(name() + ": cannot sort by dataset field '" + field->fieldName() + "'");
        bool d = allDesc || std::find(desc.begin(), desc.end(), field) != desc.end();
        bool ci = allCaseIns || std::find(caseIns.begin(), caseIns.end(), field) != caseIns.end();
        sortKeys_.push_back(SortKey{slotOf(*field), d, ci, field->isText()});
    }
}

bool ClientDataSet::less(const Record& a, const Record& b) const {
    for (const SortKey& key : sortKeys_) {
        auto slot = static_cast<std::size_t>(key.slot);
        int c = compareValues(a.values[slot], b.values[slot], key.text, key.caseInsensitive);
        if (c != 0) return key.descending ? c > 0 : c < 0;
    }
    return false;
}

int ClientDataSet::orderedPosition(const Record& record) const {
    const auto& rows = const_cast<ClientDataSet*>(this)->view();
    auto it = std::upper_bound(rows.begin(), rows.end(), &record,
                               [this](const Record* x, const Record* y) { return less(*x, *y); });
    return static_cast<int>(it - rows.begin());
}

void ClientDataSet::rebuildView() {
    auto& rows = view();
    rows.clear();
    if (!storePtr()) return;
    // Room for further packets, so that appending rarely moves the list.
    rows.reserve(store().rows.size() + store().rows.size() / 4 + 64);
    for (const auto& record : store().rows) {
        record->viewPos = -1;
        if (inRange(*record)) rows.push_back(record.get());
    }
    if (ordered()) sortView(rows);
    renumberView();
}

// Sorting reads each record's keys once into a flat table and sorts
// positions into it, so that comparisons touch contiguous memory instead
// of chasing every record's variants.
void ClientDataSet::sortView(std::vector<Record*>& rows) const {
    struct Cell {
        std::string_view text;
        double number = 0;
        bool null = true;
    };
    const std::size_t k = sortKeys_.size();
    std::vector<Cell> cells(rows.size() * k);
    // Key texts are copied side by side: comparing them then reads one
    // compact block instead of texts spread over every record.
    std::vector<std::size_t> offsets(cells.size(), 0);
    std::string arena;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t j = 0; j < k; ++j) {
            const Variant& v = rows[r]->values[static_cast<std::size_t>(sortKeys_[j].slot)];
            Cell& cell = cells[r * k + j];
            cell.null = v.isNullOrEmpty();
            if (cell.null) continue;
            if (sortKeys_[j].text) {
                const std::string& text = v.asString();
                offsets[r * k + j] = arena.size();
                arena += text;
                cell.number = static_cast<double>(text.size());  // its length until the arena stops growing
            } else {
                cell.number = v.type() == VarType::Boolean ? (v.toBool() ? 1 : 0) : v.toDouble();
            }
        }
    }
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].null || !sortKeys_[i % k].text) continue;
        cells[i].text = std::string_view(arena.data() + offsets[i], static_cast<std::size_t>(cells[i].number));
    }
    auto compareCells = [this, k](const Cell* a, const Cell* b) {
        for (std::size_t j = 0; j < k; ++j) {
            const SortKey& key = sortKeys_[j];
            int c;
            if (a[j].null || b[j].null) {
                c = (a[j].null ? 0 : 1) - (b[j].null ? 0 : 1);
            } else if (key.text && !key.caseInsensitive) {
                c = a[j].text.compare(b[j].text);
            } else if (key.text) {
                c = compareGbkIgnoreCase(a[j].text, b[j].text);
            } else {
                c = a[j].number < b[j].number ? -1 : (a[j].number > b[j].number ? 1 : 0);
            }
            if (c != 0) return key.descending ? c > 0 : c < 0;
        }
        return false;
    };
    if (k == 1 && sortKeys_[0].text && !sortKeys_[0].caseInsensitive) {
        // One text key, the usual grid sort: compare the texts directly.
        struct TextItem {
            std::string_view text;
            bool null;
            Record* record;
        };
        std::vector<TextItem> items(rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) items[r] = TextItem{cells[r].text, cells[r].null, rows[r]};
        bool descending = sortKeys_[0].descending;
        std::stable_sort(items.begin(), items.end(), [descending](const TextItem& a, const TextItem& b) {
            if (a.null || b.null) return descending ? (!a.null && b.null) : (a.null && !b.null);
            return descending ? b.text < a.text : a.text < b.text;
        });
        for (std::size_t r = 0; r < rows.size(); ++r) rows[r] = items[r].record;
        return;
    }
    struct Item {
        Record* record;
        const Cell* cells;
    };
    std::vector<Item> items(rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) items[r] = Item{rows[r], &cells[r * k]};
    std::stable_sort(items.begin(), items.end(),
                     [&](const Item& a, const Item& b) { return compareCells(a.cells, b.cells); });
    for (std::size_t r = 0; r < rows.size(); ++r) rows[r] = items[r].record;
}

void ClientDataSet::setIndexFieldNames(std::string names) {
    if (active()) checkBrowseMode();
    std::string savedName = std::move(indexName_);
    std::string savedFields = std::move(indexFieldNames_);
    indexFieldNames_ = std::move(names);
    indexName_.clear();
    if (!active()) return;
    try {
        updateSortKeys();
    } catch (...) {
        indexName_ = std::move(savedName);
        indexFieldNames_ = std::move(savedFields);
        updateSortKeys();
        throw;
    }
    afterLogChange();
}

void ClientDataSet::setIndexName(std::string name) {
    if (!name.empty() && !indexDefs_.find(name))
        throw EDatabaseError(this->name() + ": Index '" + name + "' not found");
    if (active()) checkBrowseMode();
    indexName_ = std::move(name);
    indexFieldNames_.clear();
    if (!active()) return;
    updateSortKeys();
    afterLogChange();
}

// ------------------------------------------------------------------ locate

void ClientDataSet::clearHashIndexes() { hashIndexes_.clear(); }

ClientDataSet::HashIndex& ClientDataSet::hashIndex(const std::vector<Field*>& fields, bool caseInsensitive) {
    std::vector<int> slots;
    for (Field* field : fields) slots.push_back(slotOf(*field));
    for (auto& index : hashIndexes_)
        if (index->slots == slots && index->caseInsensitive == caseInsensitive) return *index;
    auto index = std::make_unique<HashIndex>();
    index->slots = slots;
    for (Field* field : fields) index->text.push_back(field->isText());
    index->caseInsensitive = caseInsensitive;
    index->map.reserve(store().rows.size() * 2);
    for (const auto& record : store().rows) index->add(*record);
    hashIndexes_.push_back(std::move(index));
    return *hashIndexes_.back();
}

void ClientDataSet::recordPosted(Record& record, const RowValues* before, bool inserted) {
    for (auto& index : hashIndexes_) {
        if (!inserted && before) index->remove(*before, record);
        index->add(record);
    }
}

void ClientDataSet::recordRemoved(Record& record) {
    for (auto& index : hashIndexes_) index->remove(record.values, record);
}

bool ClientDataSet::locate(std::string_view fieldNames, const Variant& values, LocateOptions options) {
    checkBrowseMode();
    if (fieldNames != lastLocateFields_) {
        lastLocateList_ = fieldList(fieldNames);
        lastLocateFields_ = std::string(fieldNames);
    }
    const std::vector<Field*>& fields = lastLocateList_;
    bool hashable = !options.partialKey && !fields.empty();
    for (Field* field : fields)
        if (field->fieldKind() != FieldKind::Data || field->dataType() == FieldType::DataSet) hashable = false;
    if (!hashable) return DataSet::locate(fieldNames, values, options);
    std::vector<Variant>& wanted = locateWanted_;  // kept between calls: no allocation per locate
    if (!locateValues(fields, values, wanted)) return false;
    HashIndex& index = hashIndex(fields, options.caseInsensitive);
    std::string& key = locateKey_;
    key.clear();
    for (std::size_t i = 0; i < wanted.size(); ++i) appendKey(key, wanted[i], index.text[i], options.caseInsensitive);
    auto range = index.map.equal_range(key);
    int best = -1;
    for (auto it = range.first; it != range.second; ++it) {
        int pos = it->second->viewPos;
        if (pos >= 0 && (best < 0 || pos < best)) best = pos;
    }
    if (best < 0) return false;
    scrollTo(best);
    return true;
}

Variant ClientDataSet::lookup(std::string_view fieldNames, const Variant& values, std::string_view resultField) {
    checkActive();
    std::vector<Field*> fields = fieldList(fieldNames);
    Field& result = fieldByName(resultField);
    bool hashable = !fields.empty();
    for (Field* field : fields)
        if (field->fieldKind() != FieldKind::Data || field->dataType() == FieldType::DataSet) hashable = false;
    if (!hashable) return DataSet::lookup(fieldNames, values, resultField);
    std::vector<Variant> wanted;
    if (!locateValues(fields, values, wanted)) return Variant::null();
    HashIndex& index = hashIndex(fields, false);
    std::string key;
    for (std::size_t i = 0; i < wanted.size(); ++i) appendKey(key, wanted[i], index.text[i], false);
    auto range = index.map.equal_range(key);
    Record* best = nullptr;
    for (auto it = range.first; it != range.second; ++it)
        if (it->second->viewPos >= 0 && (!best || it->second->viewPos < best->viewPos)) best = it->second;
    if (!best) return Variant::null();
    return best->values[static_cast<std::size_t>(slotOf(result))];
}

// ------------------------------------------------------------------ nesting

void ClientDataSet::setDataSetField(Field* field) {
    if (active()) throw EDatabaseError(name() + ": Cannot change the dataset field of an open dataset");
    if (nestedMaster_) std::erase(nestedMaster_->nested_, this);
    nestedMaster_ = nullptr;
    nestedFieldName_.clear();
    if (!field) return;
    auto* master = dynamic_cast<ClientDataSet*>(&field->dataSet());
    if (!master || field->dataType() != FieldType::DataSet)
        throw EDatabaseError(name() + ": '" + field->fieldName() + "' is not a dataset field of a client dataset");
    nestedMaster_ = master;
    nestedFieldName_ = field->fieldName();
    master->nested_.push_back(this);
}

Field* ClientDataSet::dataSetField() const {
    return nestedMaster_ ? nestedMaster_->findField(nestedFieldName_) : nullptr;
}

void ClientDataSet::bindToMaster() {
    Field& field = nestedMaster_->fieldByName(nestedFieldName_);
    int slot = slotOf(field);
    std::size_t detailIndex = 0;
    for (int c = 0; c < slot; ++c)
        if (nestedMaster_->columns()[static_cast<std::size_t>(c)].type == FieldType::DataSet) ++detailIndex;
    Record* masterRecord = nestedMaster_->currentRecord();
    noMasterRecord_ = masterRecord == nullptr;
    if (masterRecord) setStore(masterRecord->details.at(detailIndex));
    else setStore(std::make_shared<RecordStore>());
    clearHashIndexes();
    for (auto& record : store().rows) {
        if (static_cast<int>(record->values.size()) < slotCount())
            record->values.resize(static_cast<std::size_t>(slotCount()), Variant::null());
        if (hasCalculatedFields()) calculateFields(*record);
    }
}

void ClientDataSet::currentRecordChanged() {
    for (ClientDataSet* detail : nested_) {
        if (!detail->active()) continue;
        if (detail->isEditing()) detail->cancel();
        for (Record* record : detail->view()) record->viewPos = -1;
        detail->bindToMaster();
        detail->rebuildView();
        detail->resetPosition();
        detail->notify(DataEvent::DataSetChange);
        detail->currentRecordChanged();
    }
}

void ClientDataSet::initNewRecord(Record& record) {
    if (nestedMaster_ && noMasterRecord_)
        throw EDatabaseError(name() + ": Cannot insert a nested record without a master record");
    for (std::size_t i = 0; i < rangeSlots_.size() && i < range_.size(); ++i)
        record.values[static_cast<std::size_t>(rangeSlots_[i])] = range_[i];
}

// ------------------------------------------------------------------ master/detail

DataSource* ClientDataSet::masterSource() const { return masterLink_ ? masterLink_->dataSource() : nullptr; }

void ClientDataSet::setMasterSource(DataSource* source) {
    if (masterSource() == source) return;
    if (!masterLink_) masterLink_ = std::make_unique<MasterLink>(*this);
    masterLink_->setDataSource(source);
    if (active()) masterChanged();
}

void ClientDataSet::setMasterFields(std::string names) {
    masterFields_ = std::move(names);
    if (active()) masterChanged();
}

bool ClientDataSet::inRange(const Record& record) const {
    for (std::size_t i = 0; i < rangeSlots_.size(); ++i)
        if (!sameStored(record.values[static_cast<std::size_t>(rangeSlots_[i])], range_[i])) return false;
    return true;
}

void ClientDataSet::masterChanged() {
    if (!active()) return;
    rangeSlots_.clear();
    range_.clear();
    // Through the link: it forgets a data source that goes away.
    DataSource* source = masterLink_ ? masterLink_->dataSource() : nullptr;
    DataSet* master = source ? source->dataSet() : nullptr;
    if (master && !masterFields_.empty()) {
        std::vector<Field*> masterList = master->active() ? master->fieldList(masterFields_) : std::vector<Field*>{};
        std::vector<Field*> own;
        if (!indexFieldNames_.empty()) {
            own = fieldList(indexFieldNames_);
        } else {
            for (Field* f : masterList) own.push_back(&fieldByName(f->fieldName()));
        }
        std::size_t n = master->active() ? std::min(own.size(), masterList.size()) : own.size();
        for (std::size_t i = 0; i < n; ++i) {
            rangeSlots_.push_back(slotOf(*own[i]));
            // A closed or empty master shows no detail rows: its values are
            // null, and a marker no stored value equals stands in for them.
            Variant value = master->active() && !master->isEmpty() ? own[i]->coerce(masterList[i]->value()) : Variant();
            range_.push_back(value.isNullOrEmpty() && !(master->active() && !master->isEmpty()) ? Variant(std::string("\x01"))
                                                                                                : value);
        }
    }
    if (isEditing()) cancel();
    for (Record* record : view()) record->viewPos = -1;
    rebuildView();
    resetPosition();
    notify(DataEvent::DataSetChange);
    currentRecordChanged();
}

}  // namespace corvane
