#pragma once

// The application server's view of a database: prepared statements with
// positional parameters and variant values, transactions, and the guard
// that client-supplied SQL must pass. SQLite implements it now; another
// engine implements the same two classes.
//
// Texts are UTF-8 in the database and UTF-16 in variants: value() returns
// text columns as UTF-16, bind() accepts UTF-16, GBK byte strings and
// numbers.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Exceptions.h"
#include "platform/core/Variant.h"

namespace corvane::appserver {

// A statement the guard refused or the engine could not run.
class ESqlError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
    const char* className() const override { return "ESqlError"; }
};

// The database is busy beyond the wait time, or a constraint failed: the
// statement did nothing.
class ESqlConstraint : public ESqlError {
public:
    using ESqlError::ESqlError;
    const char* className() const override { return "ESqlConstraint"; }
};

// What a statement may do. Internal statements are the server's own;
// client statements pass the guard: exactly one statement, no comments
// hiding a second one, no schema changes, no pragmas, no attached
// databases, and no access to the server's own tables (CV_...) except
// those listed in allowedInternal.
enum class StatementUse { Internal, ClientRead, ClientWrite };

struct StatementGuard {
    StatementUse use = StatementUse::Internal;
    std::vector<std::string> allowedInternal;
};

struct ColumnInfo {
    std::string name;          // as the statement names it
    std::string declaredType;  // e.g. VARCHAR(10), REAL; empty for expressions
    std::string originTable;   // table the column comes from; empty for expressions
    std::string originColumn;
};

class Statement {
public:
    virtual ~Statement() = default;
    virtual int parameterCount() const = 0;
    virtual void bind(int index, const Variant& value) = 0;  // index from 1
    // Runs to the next row; false when there is none (or for statements
    // without rows, once they ran).
    virtual bool step() = 0;
    virtual int columnCount() const = 0;
    virtual ColumnInfo column(int index) const = 0;  // index from 0
    virtual Variant value(int index) const = 0;      // null, int64, double or UTF-16
    // The current row's value without a variant (for streaming packets);
    // a text view stays valid until the next step.
    enum class ValueKind { Null, Integer, Float, Text, Blob };
    virtual ValueKind kind(int index) const = 0;
    virtual std::int64_t integerValue(int index) const = 0;
    virtual double floatValue(int index) const = 0;
    virtual std::string_view textValue(int index) const = 0;  // UTF-8
    virtual bool isNull(int index) const = 0;
    virtual void reset() = 0;  // keeps bindings
};

class Database {
public:
    virtual ~Database() = default;
    virtual std::unique_ptr<Statement> prepare(std::string_view sql, const StatementGuard& guard = {}) = 0;
    // Runs the server's own script (several statements, no parameters).
    virtual void executeScript(std::string_view sql) = 0;
    // Starts a write transaction (waits for other writers).
    virtual void beginWrite() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual void savepoint(std::string_view name) = 0;
    virtual void releaseSavepoint(std::string_view name) = 0;
    virtual void rollbackToSavepoint(std::string_view name) = 0;
    virtual bool inTransaction() const = 0;
    virtual std::int64_t changes() const = 0;
    virtual bool tableExists(std::string_view table) = 0;
    // The table's columns with their declared types, in order; empty when
    // the table does not exist.
    virtual std::vector<ColumnInfo> tableColumns(std::string_view table) = 0;
};

// Opens (creating when missing) an SQLite database file. readOnly opens a
// connection for cursors that never write.
std::unique_ptr<Database> openSqlite(const std::string& path, bool readOnly = false);

// Runs a statement with the given parameters and collects all its rows.
std::vector<std::vector<Variant>> queryAll(Database& db, std::string_view sql,
                                           const std::vector<Variant>& params = {},
                                           const StatementGuard& guard = {});
// Runs a statement without rows; returns the number of rows changed.
std::int64_t execute(Database& db, std::string_view sql, const std::vector<Variant>& params = {},
                     const StatementGuard& guard = {});

// Commits on commit(), rolls back when left without it.
class WriteTransaction {
public:
    explicit WriteTransaction(Database& db) : db_(db) { db_.beginWrite(); }
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    void commit();

private:
    Database& db_;
    bool done_ = false;
};

}  // namespace corvane::appserver
