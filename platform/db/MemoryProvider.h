#pragma once

// Providers held in memory, for tests and tools: each named provider
// serves one table (columns with key flags, rows with UTF-16 texts as on
// the wire). A data request's where text may be empty, "1=2", or
// equality terms joined by "and" (COLUMN='text' or COLUMN=number, a
// "table." prefix allowed); the order-by list names columns, each with an
// optional DESC. Applying a delta finds rows by key and checks that a
// changed or deleted row still holds its original values, so a change made
// meanwhile becomes a reconcile error, never a lost update.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/db/ProviderConnection.h"

namespace corvane {

class MemoryProvider : public ProviderConnection {
public:
    struct Table {
        std::vector<ColumnDef> columns;
        std::vector<RowValues> rows;
    };
    // A refusal a test forces for a delta row: error code and message.
    struct Refusal {
        int code = 0;
        std::u16string message;
    };
    using RefuseHook = std::function<std::optional<Refusal>(const DeltaRow&)>;

    void addProvider(std::string name, Table table);
    Table& table(const std::string& provider);
    void setRefuseHook(RefuseHook hook) { refuse_ = std::move(hook); }
    // How many packets were served (for tests of fetching on demand).
    int packetsServed() const { return packetsServed_; }

    Variant dataRequest(const std::string& provider, const Variant& request) override;
    DataPacket getRecords(const std::string& provider, int count, bool reset) override;
    ApplyResult applyUpdates(const std::string& provider, const Delta& delta, int maxErrors) override;

private:
    struct Entry {
        Table table;
        std::u16string where;
        std::string orderBy;
        std::vector<std::size_t> cursorRows;
        std::size_t cursor = 0;
        bool queried = false;
    };
    Entry& entry(const std::string& provider);
    void runQuery(Entry& entry);

    std::map<std::string, Entry> providers_;
    RefuseHook refuse_;
    int packetsServed_ = 0;
};

}  // namespace corvane
