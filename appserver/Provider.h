#pragma once

// A data-set provider: turns a data request [where, order by] into one
// read-only statement on top of its base SELECT, keeps the statement open
// as a cursor on a read connection of its own (so later packets continue
// where the last one stopped and never re-run the query), and resolves
// deltas into its table inside one transaction.

#include <memory>
#include <string>
#include <vector>

#include "appserver/db/Database.h"
#include "platform/core/DataPacket.h"

namespace corvane::appserver {

class Session;

enum class ProviderKind { Main, ConSave, Color };

class Provider {
public:
    Provider(Session& session, ProviderKind kind);
    ~Provider();

    // Request: [where (text), order by (text)]; "All" or empty = no condition.
    void dataRequest(const Variant& request);
    // Count -1 = all remaining rows; reset starts over with a fresh query.
    DataPacket getRecords(int count, bool reset);
    ApplyResult applyUpdates(const Delta& delta, int maxErrors);
    // Rows the current request selects (without the row limit).
    std::int64_t recordCount();
    void close();

private:
    std::string buildSelect(bool count) const;
    std::vector<Variant> parameters() const;
    StatementGuard guard() const;
    void open();
    void applyRow(const Delta& delta, const DeltaRow& row, const std::vector<int>& tableColumn,
                  const std::vector<int>& keyColumns, int flagColumn);

    Session& session_;
    ProviderKind kind_;
    std::string where_;    // UTF-8
    std::string orderBy_;
    std::unique_ptr<Database> readDb_;
    std::unique_ptr<corvane::appserver::Statement> cursor_;
    std::vector<ColumnDef> columns_;
    bool hasRow_ = false;
    bool exhausted_ = true;
    bool opened_ = false;
};

}  // namespace corvane::appserver
