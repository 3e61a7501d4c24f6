#pragma once

// A client data set: records fetched in packets from a provider of the
// application server (or loaded from a packet, or created empty), a change
// log with the original values, ApplyUpdates with reconcile errors,
// indexes, hashed Locate, nested data sets and master/detail links.
//
// The provider is reached through a ProviderConnection: set the remote
// server (the application server's dispatch object) and the provider
// name, or hand in a connection directly.

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/core/DataPacket.h"
#include "platform/core/Dispatch.h"
#include "platform/core/Exceptions.h"
#include "platform/db/DataSet.h"
#include "platform/db/ProviderConnection.h"

namespace corvane {

class DataSource;

// A change the server refused, as the reconcile handler sees it.
class EReconcileError : public EDatabaseError {
public:
    EReconcileError(const std::string& message, std::string context, int errorCode, int previousError)
        : EDatabaseError(message), context_(std::move(context)), errorCode_(errorCode), previousError_(previousError) {}
    const char* className() const override { return "EReconcileError"; }
    const std::string& context() const { return context_; }
    int errorCode() const { return errorCode_; }
    // The code of this record's refusal in the apply before (0: none).
    int previousError() const { return previousError_; }

private:
    std::string context_;
    int errorCode_;
    int previousError_;
};

enum IndexOption : unsigned {
    ixDescending = 1u << 0,
    ixCaseInsensitive = 1u << 1,
};

struct IndexDef {
    std::string name;
    std::string fields;          // ';'-separated
    unsigned options = 0;
    std::string descFields;      // fields sorted descending
    std::string caseInsFields;   // texts compared without regard to case
};

class IndexDefs {
public:
    IndexDef& add(std::string name, std::string fields, unsigned options = 0, std::string descFields = {});
    IndexDef* find(std::string_view name);
    const IndexDef* find(std::string_view name) const;
    const std::vector<IndexDef>& items() const { return items_; }
    int count() const { return static_cast<int>(items_.size()); }
    void clear() { items_.clear(); }

private:
    std::vector<IndexDef> items_;
};

class ClientDataSet : public DataSet {
public:
    explicit ClientDataSet(std::string name = {});
    ~ClientDataSet() override;

    // ---- provider
    const std::string& providerName() const { return providerName_; }
    void setProviderName(std::string name) { providerName_ = std::move(name); }
    // The application server's object; its AS_* members serve the provider.
    const DispatchRef& remoteServer() const { return remoteServer_; }
    void setRemoteServer(DispatchRef server);
    const std::shared_ptr<ProviderConnection>& providerConnection() const { return connection_; }
    void setProviderConnection(std::shared_ptr<ProviderConnection> connection);

    // Rows per packet; -1 fetches everything at once.
    int packetRecords() const { return packetRecords_; }
    void setPacketRecords(int count) { packetRecords_ = count; }
    // Navigating past the last fetched row fetches the next packet.
    bool fetchOnDemand() const { return fetchOnDemand_; }
    void setFetchOnDemand(bool on) { fetchOnDemand_ = on; }

    // Sends the request ([where as UTF-16, order by]) to the provider; the
    // next open runs it.
    Variant dataRequest(const Variant& request);
    // Fetches the next packet; the number of rows that arrived.
    int getNextPacket();
    // False once the provider said it has no further rows.
    bool moreToFetch() const { return active() && !endOfData_; }

    // Opens the data set with the rows of a packet (no provider needed).
    void setData(const DataPacket& packet);
    // Adds the rows of a packet as fetched rows.
    void appendData(const DataPacket& packet);
    // The records shown, as a packet (texts in UTF-16).
    DataPacket data() const;
    // Opens an empty data set with the persistent fields as columns.
    void createDataSet();

    // ---- change log
    int changeCount() const;
    // The pending changes as a delta (texts in UTF-16).
    Delta delta() const;
    // Sends the changes; returns the number of refused changes. Refused
    // changes go through OnReconcileError (default action Skip: the change
    // stays pending). Accepted changes leave the log, unless the server
    // rolled everything back because more than maxErrors were refused.
    int applyUpdates(int maxErrors);
    void cancelUpdates();
    void mergeChangeLog();
    // Undoes the pending change of the current record.
    void revertRecord();
    void setOnReconcileError(ReconcileErrorEvent h) { events_.assign(evReconcileError, std::move(h)); }

    // ---- indexes
    const std::string& indexFieldNames() const { return indexFieldNames_; }
    void setIndexFieldNames(std::string names);
    const std::string& indexName() const { return indexName_; }
    void setIndexName(std::string name);
    IndexDefs& indexDefs() { return indexDefs_; }
    void addIndex(std::string name, std::string fields, unsigned options = 0, std::string descFields = {});

    using DataSet::locate;
    bool locate(std::string_view fieldNames, const Variant& values, LocateOptions options) override;
    Variant lookup(std::string_view fieldNames, const Variant& values, std::string_view resultField) override;

    // ---- nested data sets and master/detail
    // A nested data set shows the rows held in a data-set field of the
    // master's current record; its rows go with that record.
    Field* dataSetField() const;
    void setDataSetField(Field* field);
    // A linked detail shows its rows whose index fields (or, without an
    // index, fields of the same names) equal the master's MasterFields.
    DataSource* masterSource() const;
    void setMasterSource(DataSource* source);
    const std::string& masterFields() const { return masterFields_; }
    void setMasterFields(std::string names);
    const std::vector<ClientDataSet*>& nestedDataSets() const { return nested_; }

protected:
    void internalOpen() override;
    void internalClose() override;
    bool fetchMore() override;
    void rebuildView() override;
    bool ordered() const override { return !sortKeys_.empty(); }
    int orderedPosition(const Record& record) const override;
    void recordPosted(Record& record, const RowValues* before, bool inserted) override;
    void recordRemoved(Record& record) override;
    void currentRecordChanged() override;
    void initNewRecord(Record& record) override;

private:
    struct SortKey {
        int slot;
        bool descending;
        bool caseInsensitive;
        bool text;
    };
    struct HashIndex;
    class MasterLink;

    ProviderConnection& connection();
    void loadPacket(const DataPacket& packet);
    std::shared_ptr<Record> recordFromWire(const RowValues& row, const std::vector<ColumnDef>& columns) const;
    void appendRows(const std::vector<RowValues>& rows);
    void updateSortKeys();
    bool less(const Record& a, const Record& b) const;
    void sortView(std::vector<Record*>& rows) const;
    void clearHashIndexes();
    HashIndex& hashIndex(const std::vector<Field*>& fields, bool caseInsensitive);
    bool inRange(const Record& record) const;
    void masterChanged();
    void bindToMaster();
    void revert(Record& record);
    void accept(Record& record);
    void collectDelta(Delta& delta, std::vector<Record*>& records) const;
    void afterLogChange();

    std::string providerName_;
    DispatchRef remoteServer_;
    std::shared_ptr<ProviderConnection> connection_;
    int packetRecords_ = -1;
    bool fetchOnDemand_ = true;
    bool endOfData_ = true;
    bool created_ = false;
    std::unique_ptr<DataPacket> pendingData_;

    std::string indexFieldNames_;
    std::string indexName_;
    IndexDefs indexDefs_;
    std::vector<SortKey> sortKeys_;
    std::vector<std::unique_ptr<HashIndex>> hashIndexes_;
    std::string lastLocateFields_;
    std::vector<Field*> lastLocateList_;
    std::vector<Variant> locateWanted_;
    std::string locateKey_;

    ClientDataSet* nestedMaster_ = nullptr;
    std::string nestedFieldName_;
    bool noMasterRecord_ = false;
    std::vector<ClientDataSet*> nested_;
    std::string masterFields_;
    std::unique_ptr<MasterLink> masterLink_;
    std::vector<Variant> range_;  // the master's values while linked
    std::vector<int> rangeSlots_;

    int evReconcileError;
};

}  // namespace corvane
