// The SQLite implementation of the database interface. One object is one
// connection, used by one thread at a time. Files run in WAL mode, so
// cursors on separate read connections never block writers and a writer
// killed mid-transaction leaves nothing behind.

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>

#include "appserver/db/Database.h"
#include "platform/core/AsciiText.h"
#include "platform/core/CodePage.h"

namespace corvane::appserver {

namespace {

bool isInternalTable(const char* name) {
    if (!name) return false;
    std::string u = upperAscii(name);
    return u.rfind("CV_", 0) == 0 || u.rfind("SQLITE_", 0) == 0;
}

// The guard of one prepare call, reached from the authorizer callback.
struct AuthorizerContext {
    const StatementGuard* guard = nullptr;
    std::string refusal;
};

bool allowedInternal(const StatementGuard& guard, const char* table) {
    std::string u = upperAscii(table);
    return std::any_of(guard.allowedInternal.begin(), guard.allowedInternal.end(),
                       [&](const std::string& t) { return upperAscii(t) == u; });
}

int authorize(void* user, int action, const char* a, const char* b, const char*, const char*) {
    auto* ctx = static_cast<AuthorizerContext*>(user);
    const StatementGuard& guard = *ctx->guard;
    auto deny = [&](std::string why) {
        if (ctx->refusal.empty()) ctx->refusal = std::move(why);
        return SQLITE_DENY;
    };
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_FUNCTION: {
        std::string f = upperAscii(b ? b : "");
        if (f == "LOAD_EXTENSION" || f == "READFILE" || f == "WRITEFILE" || f == "EDIT")
            return deny("function " + f + " is not allowed");
        return SQLITE_OK;
    }
    case SQLITE_READ:
        if (isInternalTable(a) && !allowedInternal(guard, a))
            return deny(std::string("table ") + a + " is not accessible");
        return SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        if (guard.use == StatementUse::ClientRead) return deny("only reading statements are allowed here");
        if (isInternalTable(a) && !allowedInternal(guard, a))
            return deny(std::string("table ") + a + " is not accessible");
        return SQLITE_OK;
    default:
        return deny("statement kind not allowed (schema changes, pragmas, transactions, attached databases)");
    }
}

bool blankOrEmpty(const char* tail) {
    if (!tail) return true;
    for (; *tail; ++tail)
        if (!std::isspace(static_cast<unsigned char>(*tail))) return false;
    return true;
}

std::string firstWord(std::string_view sql) {
    std::size_t i = 0;
    while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
    std::size_t j = i;
    while (j < sql.size() && std::isalpha(static_cast<unsigned char>(sql[j]))) ++j;
    return upperAscii(sql.substr(i, j - i));
}

// A prepared statement kept for reuse by its SQL text; `inUse` is set
// while a Statement object holds it.
struct CachedStatement {
    sqlite3_stmt* stmt = nullptr;
    bool inUse = false;
};

class SqliteStatement final : public Statement {
public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* stmt, CachedStatement* cached = nullptr)
        : db_(db), stmt_(stmt), cached_(cached) {}
    ~SqliteStatement() override {
        if (cached_) {
            sqlite3_reset(stmt_);
            sqlite3_clear_bindings(stmt_);
            cached_->inUse = false;
        } else {
            sqlite3_finalize(stmt_);
        }
    }

    int parameterCount() const override { return sqlite3_bind_parameter_count(stmt_); }

    void bind(int index, const Variant& value) override {
        const Variant& v = value.deref();
        int rc = SQLITE_OK;
        switch (v.type()) {
        case VarType::Empty:
        case VarType::Null: rc = sqlite3_bind_null(stmt_, index); break;
        case VarType::Integer: rc = sqlite3_bind_int64(stmt_, index, v.toInt()); break;
        case VarType::Float: rc = sqlite3_bind_double(stmt_, index, v.toDouble()); break;
        case VarType::Boolean: rc = sqlite3_bind_int(stmt_, index, v.toBool() ? 1 : 0); break;
        case VarType::Date: rc = sqlite3_bind_double(stmt_, index, v.toDate().days); break;
        case VarType::String: {
            std::string text = gbkToUtf8(v.asString());
            rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
        case VarType::WideString: {
            std::string text = utf16ToUtf8(v.asWide());
            rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            break;
        }
        default: throw ESqlError(std::string("a ") + varTypeName(v.type()) + " cannot be a statement parameter");
        }
        if (rc != SQLITE_OK) throw ESqlError(sqlite3_errmsg(db_));
    }

    bool step() override {
        int rc = sqlite3_step(stmt_);
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        std::string message = sqlite3_errmsg(db_);
        int primary = rc & 0xff;
        sqlite3_reset(stmt_);
        if (primary == SQLITE_CONSTRAINT) throw ESqlConstraint(message);
        throw ESqlError(message);
    }

    int columnCount() const override { return sqlite3_column_count(stmt_); }

    ColumnInfo column(int i) const override {
        ColumnInfo c;
        auto text = [](const char* s) { return s ? std::string(s) : std::string(); };
        c.name = text(sqlite3_column_name(stmt_, i));
        c.declaredType = text(sqlite3_column_decltype(stmt_, i));
        c.originTable = text(sqlite3_column_table_name(stmt_, i));
        c.originColumn = text(sqlite3_column_origin_name(stmt_, i));
        return c;
    }

    Variant value(int i) const override {
        switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER: return Variant(static_cast<long long>(sqlite3_column_int64(stmt_, i)));
        case SQLITE_FLOAT: return Variant(sqlite3_column_double(stmt_, i));
        case SQLITE_TEXT: {
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
            return Variant(utf8ToUtf16(std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)))));
        }
        case SQLITE_BLOB: {
            const char* p = static_cast<const char*>(sqlite3_column_blob(stmt_, i));
            return Variant(std::string(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i))));
        }
        default: return Variant::null();
        }
    }

    bool isNull(int i) const override { return sqlite3_column_type(stmt_, i) == SQLITE_NULL; }

    ValueKind kind(int i) const override {
        switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER: return ValueKind::Integer;
        case SQLITE_FLOAT: return ValueKind::Float;
        case SQLITE_TEXT: return ValueKind::Text;
        case SQLITE_BLOB: return ValueKind::Blob;
        default: return ValueKind::Null;
        }
    }
    std::int64_t integerValue(int i) const override { return sqlite3_column_int64(stmt_, i); }
    double floatValue(int i) const override { return sqlite3_column_double(stmt_, i); }
    std::string_view textValue(int i) const override {
        const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
        return p ? std::string_view(p, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i))) : std::string_view();
    }

    void reset() override { sqlite3_reset(stmt_); }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_;
    CachedStatement* cached_;
};

class SqliteDatabase final : public Database {
public:
    SqliteDatabase(const std::string& path, bool readOnly) {
        int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        flags |= SQLITE_OPEN_NOMUTEX;
        if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
            std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw ESqlError("cannot open database " + path + ": " + message);
        }
        sqlite3_extended_result_codes(db_, 1);
        sqlite3_busy_timeout(db_, 30000);
        if (!readOnly) {
            executeScript("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;");
        }
    }
    ~SqliteDatabase() override {
        for (auto& [sql, cached] : cache_) sqlite3_finalize(cached.stmt);
        sqlite3_close_v2(db_);
    }

    std::unique_ptr<Statement> prepare(std::string_view sql, const StatementGuard& guard) override {
        AuthorizerContext ctx{&guard, {}};
        bool client = guard.use != StatementUse::Internal;
        // The server's own statements are prepared once per connection.
        if (!client) {
            auto it = cache_.find(std::string(sql));
            if (it != cache_.end() && !it->second.inUse) {
                it->second.inUse = true;
                return std::make_unique<SqliteStatement>(db_, it->second.stmt, &it->second);
            }
        }
        if (client) {
            if (sql.find('\0') != std::string_view::npos) throw ESqlError("statement holds a NUL character");
            std::string word = firstWord(sql);
            if (guard.use == StatementUse::ClientRead && word != "SELECT" && word != "WITH")
                throw ESqlError("only a SELECT statement is allowed here");
            sqlite3_set_authorizer(db_, authorize, &ctx);
        }
        sqlite3_stmt* stmt = nullptr;
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db_, sql.data(), static_cast<int>(sql.size()), &stmt, &tail);
        if (client) sqlite3_set_authorizer(db_, nullptr, nullptr);
        if (rc != SQLITE_OK) {
            std::string message = ctx.refusal.empty() ? sqlite3_errmsg(db_) : ctx.refusal;
            sqlite3_finalize(stmt);
            throw ESqlError(message);
        }
        if (!stmt) throw ESqlError("empty statement");
        if (!client && cache_.size() < kMaxCachedStatements && !cache_.count(std::string(sql))) {
            CachedStatement& cached = cache_[std::string(sql)];
            cached.stmt = stmt;
            cached.inUse = true;
            return std::make_unique<SqliteStatement>(db_, stmt, &cached);
        }
        auto result = std::make_unique<SqliteStatement>(db_, stmt);
        if (client) {
            std::string_view rest = tail ? std::string_view(tail, static_cast<std::size_t>(sql.data() + sql.size() - tail)) : std::string_view();
            if (!blankOrEmpty(std::string(rest).c_str())) throw ESqlError("only one statement is allowed");
            if (guard.use == StatementUse::ClientRead && !sqlite3_stmt_readonly(stmt))
                throw ESqlError("only reading statements are allowed here");
        }
        return result;
    }

    void executeScript(std::string_view sql) override {
        char* error = nullptr;
        std::string text(sql);
        if (sqlite3_exec(db_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string message = error ? error : sqlite3_errmsg(db_);
            sqlite3_free(error);
            throw ESqlError(message);
        }
    }

    void beginWrite() override { run("BEGIN IMMEDIATE"); }
    void commit() override { run("COMMIT"); }
    void rollback() override {
        if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void savepoint(std::string_view name) override { run("SAVEPOINT " + std::string(name)); }
    void releaseSavepoint(std::string_view name) override { run("RELEASE " + std::string(name)); }
    void rollbackToSavepoint(std::string_view name) override {
        run("ROLLBACK TO " + std::string(name));
        run("RELEASE " + std::string(name));
    }
    bool inTransaction() const override { return !sqlite3_get_autocommit(db_); }
    std::int64_t changes() const override { return sqlite3_changes64(db_); }

    bool tableExists(std::string_view table) override {
        return !tableColumns(table).empty();
    }

    // Client statements cannot change the schema, so a table's columns are
    // read once per connection.
    std::vector<ColumnInfo> tableColumns(std::string_view table) override {
        std::string key(table);
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        auto known = columnCache_.find(key);
        if (known != columnCache_.end()) return known->second;
        std::vector<ColumnInfo> columns;
        auto stmt = prepare("SELECT name, type FROM pragma_table_info(?1)", StatementGuard{});
        stmt->bind(1, Variant(std::string(table)));
        while (stmt->step()) {
            ColumnInfo c;
            c.name = utf16ToUtf8(stmt->value(0).toWide());
            c.declaredType = utf16ToUtf8(stmt->value(1).toWide());
            c.originTable = std::string(table);
            c.originColumn = c.name;
            columns.push_back(std::move(c));
        }
        if (!columns.empty()) columnCache_[key] = columns;
        return columns;
    }

private:
    static constexpr std::size_t kMaxCachedStatements = 256;

    void run(const std::string& sql) {
        auto stmt = prepare(sql, StatementGuard{});
        while (stmt->step()) {
        }
    }

    sqlite3* db_ = nullptr;
    std::map<std::string, CachedStatement> cache_;
    std::map<std::string, std::vector<ColumnInfo>> columnCache_;
};

}  // namespace

std::unique_ptr<Database> openSqlite(const std::string& path, bool readOnly) {
    return std::make_unique<SqliteDatabase>(path, readOnly);
}

std::vector<std::vector<Variant>> queryAll(Database& db, std::string_view sql, const std::vector<Variant>& params,
                                           const StatementGuard& guard) {
    auto stmt = db.prepare(sql, guard);
    int n = std::min<int>(stmt->parameterCount(), static_cast<int>(params.size()));
    for (int i = 0; i < stmt->parameterCount(); ++i) stmt->bind(i + 1, i < n ? params[i] : Variant(u""));
    std::vector<std::vector<Variant>> rows;
    while (stmt->step()) {
        std::vector<Variant> row;
        row.reserve(stmt->columnCount());
        for (int i = 0; i < stmt->columnCount(); ++i) row.push_back(stmt->value(i));
        rows.push_back(std::move(row));
    }
    return rows;
}

std::int64_t execute(Database& db, std::string_view sql, const std::vector<Variant>& params,
                     const StatementGuard& guard) {
    auto stmt = db.prepare(sql, guard);
    int n = std::min<int>(stmt->parameterCount(), static_cast<int>(params.size()));
    for (int i = 0; i < stmt->parameterCount(); ++i) stmt->bind(i + 1, i < n ? params[i] : Variant(u""));
    while (stmt->step()) {
    }
    return db.changes();
}

WriteTransaction::~WriteTransaction() {
    if (!done_) db_.rollback();
}

void WriteTransaction::commit() {
    db_.commit();
    done_ = true;
}

}  // namespace corvane::appserver
