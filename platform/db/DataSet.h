#pragma once

// A data set: a list of records with a current record, the states
// Inactive, Browse, Edit, Insert (and CalcFields while calculated fields
// are computed), navigation, bookmarks, fields, events by name, and the
// data sources that show it. Records keep their original values while a
// change is pending, so client data sets can build their change log.
//
// An exception from a Before... event or from OnValidate cancels the
// operation it was raised in and nothing else: the state and the values
// stay as they were and the exception passes on (the silent abort EAbort
// therefore ends the operation quietly).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/DataPacket.h"
#include "platform/core/Variant.h"
#include "platform/db/EventTable.h"
#include "platform/db/Field.h"

namespace corvane {

class DataSource;
struct RecordStore;

enum class DataSetState : std::uint8_t { Inactive, Browse, Edit, Insert, CalcFields };

enum class UpdateStatus : std::uint8_t { Unmodified, Modified, Inserted, Deleted };

// A number that orders records by their arrival.
inline std::uint64_t nextRecordSequence() {
    static std::uint64_t last = 0;
    return ++last;
}

// One record. Data values come first (in column order), calculated and
// lookup values after them. Nested data-set columns keep their rows in
// details, one store per nested column.
struct Record : std::enable_shared_from_this<Record> {
    RowValues values;
    RowValues original;  // data values as fetched; set when a fetched record first changes
    UpdateStatus status = UpdateStatus::Unmodified;
    int errorCode = 0;   // the server's last refusal of this change (0: none)
    int viewPos = -1;    // position in its data set's current order, -1 when not shown
    std::uint64_t sequence = nextRecordSequence();  // arrival order, kept while rows move or go
    std::vector<std::shared_ptr<RecordStore>> details;
};

struct RecordStore {
    std::vector<std::shared_ptr<Record>> rows;     // in arrival order, inserted rows in place
    std::vector<std::shared_ptr<Record>> deleted;  // fetched rows deleted, still to be applied
    // Records with a pending change, counting nested ones.
    int changeCount() const;
};

// A position to return to; it stays valid while its record exists.
class Bookmark {
public:
    Bookmark() = default;
    bool empty() const { return record_.expired(); }
    friend bool operator==(const Bookmark& a, const Bookmark& b) {
        return !a.record_.owner_before(b.record_) && !b.record_.owner_before(a.record_);
    }

private:
    friend class DataSet;
    explicit Bookmark(std::weak_ptr<Record> record) : record_(std::move(record)) {}
    std::weak_ptr<Record> record_;
};

// What a data set tells its data sources.
enum class DataEvent : std::uint8_t {
    FieldChange,     // a field of the current record changed
    RecordChange,    // the current record's values changed as a whole
    DataSetChange,   // anything may have changed (open, post, delete, refresh)
    DataSetScroll,   // the current record moved
    LayoutChange,    // fields were shown, hidden or moved
    StateChange,     // Browse / Edit / Insert / Inactive
};

class DataSet {
public:
    explicit DataSet(std::string name = {});
    DataSet(const DataSet&) = delete;
    DataSet& operator=(const DataSet&) = delete;
    virtual ~DataSet();

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // ---- fields
    // A persistent field: created before the data set opens and bound to
    // the packet column of the same name when it opens.
    Field& addField(std::string name, FieldType type, int size = 0, FieldKind kind = FieldKind::Data);
    void removeField(Field& field);
    int fieldCount() const { return static_cast<int>(fields_.size()); }
    Field& field(int index) const { return *fields_.at(static_cast<std::size_t>(index)); }
    const std::vector<Field*>& fields() const { return fields_; }
    Field* findField(std::string_view name) const;       // without regard to case
    Field& fieldByName(std::string_view name) const;     // EDatabaseError naming it when missing
    // The fields named in a ';'-separated list; EDatabaseError when one is missing.
    std::vector<Field*> fieldList(std::string_view names) const;
    void moveField(Field& field, int index);

    // ---- state
    DataSetState state() const { return state_; }
    bool active() const { return state_ != DataSetState::Inactive; }
    bool isEditing() const { return state_ == DataSetState::Edit || state_ == DataSetState::Insert; }
    void open();
    void close();
    void setActive(bool active) { active ? open() : close(); }
    void edit();
    void insert();
    void append();
    void post();
    void cancel();
    void deleteRecord();
    // Posts or cancels a pending edit (posting when a field changed).
    void checkBrowseMode();
    bool modified() const { return modified_; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Typed texts are checked against their field's edit mask.
    bool validateWithMask() const { return validateWithMask_; }
    void setValidateWithMask(bool on) { validateWithMask_ = on; }

    // ---- navigation
    void first();
    void last();
    void next() { moveBy(1); }
    void prior() { moveBy(-1); }
    int moveBy(int distance);
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    // 1-based position of the current record; 0 when there is none.
    int recNo() const;
    void setRecNo(int recNo);
    int recordCount() const { return static_cast<int>(view_.size()); }
    bool isEmpty() const { return view_.empty(); }

    Bookmark bookmark() const;
    bool bookmarkValid(const Bookmark& bookmark) const;
    void gotoBookmark(const Bookmark& bookmark);

    // Data sources hear nothing while controls are disabled; enabling
    // them again (as often as they were disabled) sends one change.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return disableCount_ > 0; }

    // Has every data-aware control write its pending text to its field.
    void updateRecord();

    // The update status of the current record.
    UpdateStatus updateStatus() const;

    // ---- reading other records without moving (grids)
    // Values of the record at a 0-based position in the current order.
    const Record& recordAt(int position) const { return *view_.at(static_cast<std::size_t>(position)); }
    // Finds the first record whose fields (';'-separated) hold the values
    // (one value, or an array of one per field) and makes it current.
    struct LocateOptions {
        bool caseInsensitive = false;
        bool partialKey = false;  // texts match when they start with the value
    };
    virtual bool locate(std::string_view fieldNames, const Variant& values, LocateOptions options);
    bool locate(std::string_view fieldNames, const Variant& values) { return locate(fieldNames, values, {}); }
    // The value of resultField in the first record matching, null when none.
    virtual Variant lookup(std::string_view fieldNames, const Variant& values, std::string_view resultField);

    // Runs fn with the fields reading the record at position; no event runs.
    template <class Fn>
    auto withRecordAt(int position, Fn&& fn) const {
        ActiveOverride guard(*this, view_.at(static_cast<std::size_t>(position)));
        return fn();
    }

    // ---- events: "BeforeOpen", "AfterOpen", "BeforeClose", "AfterClose",
    // "BeforeEdit", "AfterEdit", "BeforeInsert", "AfterInsert",
    // "BeforePost", "AfterPost", "BeforeCancel", "AfterCancel",
    // "BeforeDelete", "AfterDelete", "BeforeScroll", "AfterScroll",
    // "OnNewRecord", "OnCalcFields" (and "OnReconcileError" for client
    // data sets).
    EventTable& events() { return events_; }
    const EventTable& events() const { return events_; }
    void setEvent(std::string_view name, DataSetNotifyEvent handler);
    void setBeforeOpen(DataSetNotifyEvent h) { events_.assign(evBeforeOpen, std::move(h)); }
    void setAfterOpen(DataSetNotifyEvent h) { events_.assign(evAfterOpen, std::move(h)); }
    void setBeforeEdit(DataSetNotifyEvent h) { events_.assign(evBeforeEdit, std::move(h)); }
    void setAfterEdit(DataSetNotifyEvent h) { events_.assign(evAfterEdit, std::move(h)); }
    void setBeforeInsert(DataSetNotifyEvent h) { events_.assign(evBeforeInsert, std::move(h)); }
    void setAfterInsert(DataSetNotifyEvent h) { events_.assign(evAfterInsert, std::move(h)); }
    void setBeforePost(DataSetNotifyEvent h) { events_.assign(evBeforePost, std::move(h)); }
    void setAfterPost(DataSetNotifyEvent h) { events_.assign(evAfterPost, std::move(h)); }
    void setBeforeCancel(DataSetNotifyEvent h) { events_.assign(evBeforeCancel, std::move(h)); }
    void setAfterCancel(DataSetNotifyEvent h) { events_.assign(evAfterCancel, std::move(h)); }
    void setBeforeDelete(DataSetNotifyEvent h) { events_.assign(evBeforeDelete, std::move(h)); }
    void setAfterDelete(DataSetNotifyEvent h) { events_.assign(evAfterDelete, std::move(h)); }
    void setBeforeScroll(DataSetNotifyEvent h) { events_.assign(evBeforeScroll, std::move(h)); }
    void setAfterScroll(DataSetNotifyEvent h) { events_.assign(evAfterScroll, std::move(h)); }
    void setOnNewRecord(DataSetNotifyEvent h) { events_.assign(evNewRecord, std::move(h)); }
    void setOnCalcFields(DataSetNotifyEvent h) { events_.assign(evCalcFields, std::move(h)); }

    // The data sources showing this data set (they register themselves).
    const std::vector<DataSource*>& dataSources() const { return dataSources_; }

    // ---- for fields
    const Variant& fieldValue(const Field& field) const;
    void setFieldValue(Field& field, const Variant& value);
    Variant originalValue(const Field& field) const;

protected:
    // The storage a data set opens: fields are bound, the store filled.
    // The default opens an empty store for the persistent fields.
    virtual void internalOpen();
    virtual void internalClose() {}
    // Asked when navigation runs past the last record; true when more
    // records arrived.
    virtual bool fetchMore() { return false; }
    // After the store's rows or a record changed: keep indexes up to date.
    virtual void recordPosted(Record& record, const RowValues* before, bool inserted) {
        (void)record; (void)before; (void)inserted;
    }
    virtual void recordRemoved(Record& record) { (void)record; }
    // True while the current order is an index: a posted record moves to
    // orderedPosition(), its place among the other records shown.
    virtual bool ordered() const { return false; }
    virtual int orderedPosition(const Record& record) const { (void)record; return 0; }
    // The detail data sets hear that the current record moved.
    virtual void currentRecordChanged() {}
    // A new record before OnNewRecord runs (a linked detail fills its link
    // fields); raising refuses the insert.
    virtual void initNewRecord(Record& record) { (void)record; }
    // Fills view() from the store in the current order.
    virtual void rebuildView();

    // Binds fields to columns: persistent fields by name (a column
    // without a field, or a data field without a column, raises
    // EDatabaseError naming it); without persistent fields one field is
    // made per column.
    void bindFields(const std::vector<ColumnDef>& columns);
    const std::vector<ColumnDef>& columns() const { return columns_; }
    int slotCount() const { return slotCount_; }
    // A fresh record with every slot null and empty nested stores.
    std::shared_ptr<Record> newRecord() const;
    // Computes calculated and lookup fields of a record.
    void calculateFields(Record& record);
    bool hasCalculatedFields() const { return hasCalculated_; }

    // The rows shown, in the current order; positions are kept in
    // Record::viewPos.
    std::vector<Record*>& view() { return view_; }
    void renumberView(std::size_t from = 0);
    void setStore(std::shared_ptr<RecordStore> store) { store_ = std::move(store); }
    RecordStore& store() { return *store_; }
    const RecordStore& store() const { return *store_; }
    const std::shared_ptr<RecordStore>& storePtr() const { return store_; }
    Record* currentRecord() const;
    int cursor() const { return cursor_; }
    void setCursor(int cursor) { cursor_ = cursor; }
    void resetPosition();
    void setEdges(bool bof, bool eof) { bof_ = bof; eof_ = eof; }
    static int slotOf(const Field& field) { return field.slot_; }
    void removeFromView(int position);
    void insertIntoView(Record* record, int position);

    void notify(DataEvent event, Field* field = nullptr);
    // The position of the first record matching, -1 when none (linear).
    int findMatch(const std::vector<Field*>& fields, const std::vector<Variant>& values,
                  LocateOptions options, int from = 0) const;
    // The wanted values of a locate, one per field, converted to the
    // fields' types; false when one cannot be converted (nothing matches).
    static bool locateValues(const std::vector<Field*>& fields, const Variant& values,
                             std::vector<Variant>& out);
    void fire(int slot);
    void checkActive() const;
    void scrollTo(int position);

    EventTable events_;
    int evBeforeOpen, evAfterOpen, evBeforeClose, evAfterClose, evBeforeEdit, evAfterEdit,
        evBeforeInsert, evAfterInsert, evBeforePost, evAfterPost, evBeforeCancel, evAfterCancel,
        evBeforeDelete, evAfterDelete, evBeforeScroll, evAfterScroll, evNewRecord, evCalcFields;

private:
    friend class DataSource;
    friend class Field;
    struct ActiveOverride {
        ActiveOverride(const DataSet& ds, Record* record) : ds_(ds), saved_(ds.override_) {
            ds_.override_ = record;
        }
        ~ActiveOverride() { ds_.override_ = saved_; }
        const DataSet& ds_;
        Record* saved_;
    };

    void setState(DataSetState state);
    void beginInsert(bool atEnd);
    void checkRequiredFields();
    Record* activeRecord() const;
    void computeLookup(Field& field, Record& record);

    std::string name_;
    std::vector<std::unique_ptr<Field>> ownedFields_;
    std::vector<Field*> fields_;  // in display order
    std::vector<ColumnDef> columns_;
    int slotCount_ = 0;
    bool hasCalculated_ = false;
    bool defaultFields_ = false;  // the data fields were made from the columns

    std::shared_ptr<RecordStore> store_;
    std::vector<Record*> view_;
    int cursor_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    DataSetState state_ = DataSetState::Inactive;
    bool modified_ = false;
    bool readOnly_ = false;
    bool validateWithMask_ = false;
    RowValues savedValues_;       // the current record's values when Edit began
    std::shared_ptr<Record> pendingInsert_;
    mutable Record* override_ = nullptr;
    const Field* validatingField_ = nullptr;
    const Variant* validatingValue_ = nullptr;

    int disableCount_ = 0;
    bool pendingChange_ = false;
    std::vector<DataSource*> dataSources_;
};

const char* dataSetStateName(DataSetState state);

}  // namespace corvane
