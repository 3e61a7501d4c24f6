#include "appserver/Provider.h"

#include <algorithm>
#include <cctype>

#include "appserver/Session.h"
#include "appserver/SqlDialect.h"
#include "platform/core/AsciiText.h"
#include "platform/core/CodePage.h"
#include "platform/wire/PacketCodec.h"

namespace corvane::appserver {

namespace {

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string item(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        item.erase(0, item.find_first_not_of(" \t"));
        item.erase(item.find_last_not_of(" \t") + 1);
        std::size_t dot = item.rfind('.');
        if (dot != std::string::npos) item = item.substr(dot + 1);
        if (!item.empty()) items.push_back(item);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return items;
}

struct TypeAndSize {
    FieldType type;
    int size;
};

TypeAndSize fieldTypeOf(std::string_view declared) {
    std::string d = upperAscii(declared);
    auto sizeIn = [&]() {
        std::size_t open = d.find('(');
        if (open == std::string::npos) return 0;
        return std::atoi(d.c_str() + open + 1);
    };
    if (d.find("CHAR") != std::string::npos) return {FieldType::String, sizeIn()};
    if (d.find("TEXT") != std::string::npos || d.find("CLOB") != std::string::npos) return {FieldType::Memo, 0};
    if (d.find("INT") != std::string::npos) return {FieldType::Integer, 0};
    if (d.find("REAL") != std::string::npos || d.find("FLOA") != std::string::npos ||
        d.find("DOUB") != std::string::npos || d.find("NUM") != std::string::npos || d.find("DEC") != std::string::npos)
        return {FieldType::Float, 0};
    return {FieldType::String, 0};
}

int findColumn(const std::vector<ColumnInfo>& columns, std::string_view name) {
    std::string u = upperAscii(name);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (upperAscii(columns[i].name) == u) return static_cast<int>(i);
    return -1;
}

int findDeltaColumn(const std::vector<ColumnDef>& columns, std::string_view name) {
    std::string u = upperAscii(name);
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (upperAscii(columns[i].name) == u) return static_cast<int>(i);
    return -1;
}

// One row's failure, reported back as a reconcile error.
struct RowFailure {
    int code;
    std::string message;  // UTF-8
};

constexpr int kChangedMeanwhile = 1;
constexpr int kDeletedMeanwhile = 2;
constexpr int kConstraint = 3;
constexpr int kMalformedRow = 4;
constexpr int kDatabaseError = 5;

}  // namespace

Provider::Provider(Session& session, ProviderKind kind) : session_(session), kind_(kind) {}
Provider::~Provider() = default;

void Provider::close() {
    cursor_.reset();
    opened_ = false;
    hasRow_ = false;
    exhausted_ = true;
}

void Provider::dataRequest(const Variant& request) {
    const Variant& r = request.deref();
    std::string where, order;
    if (r.isArray()) {
        if (r.dimCount() != 1 || r.length() < 1 || r.length() > 2)
            throw EOleError("a data request is an array of [condition, sort order]");
        const auto& items = r.array().elements();
        if (items[0].isArray() || (items.size() > 1 && items[1].isArray()))
            throw EOleError("a data request is an array of [condition, sort order]");
        where = utf16ToUtf8(items[0].toWide());
        if (items.size() > 1) order = utf16ToUtf8(items[1].toWide());
    } else if (!r.isNullOrEmpty()) {
        throw EOleError("a data request is an array of [condition, sort order]");
    }
    auto trim = [](std::string s) {
        s.erase(0, s.find_first_not_of(" \t\r\n"));
        s.erase(s.find_last_not_of(" \t\r\n") + 1);
        return s;
    };
    where = trim(where);
    order = trim(order);
    if (upperAscii(where) == "ALL") where.clear();
    if (std::string why = checkWhereText(where); !why.empty()) throw EOleError(why);
    if (!order.empty())
        if (std::string why = checkOrderByText(order); !why.empty()) throw EOleError(why);
    close();
    where_ = std::move(where);
    orderBy_ = std::move(order);
}

std::string Provider::buildSelect(bool count) const {
    std::string base;
    switch (kind_) {
    case ProviderKind::Main:
    case ProviderKind::Color:
        if (session_.program.mainSelect.empty()) throw EOleError("the program has no main SELECT");
        base = session_.program.mainSelect;
        break;
    case ProviderKind::ConSave:
        base = "SELECT NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, VCONDITION, ActivePage FROM CV_SCHEMES "
               "WHERE CREATOR = ?1 AND PROGRAMME = ?2";
        break;
    }
    std::string inner = base;
    if (!where_.empty()) {
        bool hasWhere = upperAscii(base).find(" WHERE ") != std::string::npos;
        inner += (hasWhere ? " AND (" : " WHERE (") + where_ + ")";
    }
    std::string sql;
    if (count) {
        sql = "SELECT COUNT(*) FROM (" + inner + ")";
    } else {
        sql = "SELECT * FROM (" + inner + ")";
        if (!orderBy_.empty()) {
            // The outer select sees the column names, not the table names.
            std::string order;
            std::size_t start = 0;
            while (start <= orderBy_.size()) {
                std::size_t comma = orderBy_.find(',', start);
                std::string item = orderBy_.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                item.erase(0, item.find_first_not_of(" \t"));
                std::size_t blank = item.find_first_of(" \t");
                std::string column = item.substr(0, blank);
                std::string direction = blank == std::string::npos ? "" : item.substr(blank);
                std::size_t dot = column.find('.');
                if (dot != std::string::npos) column = column.substr(dot + 1);
                if (!order.empty()) order += ", ";
                order += "\"" + column + "\"" + direction;
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
            sql += " ORDER BY " + order;
        }
        if (kind_ == ProviderKind::Main && session_.topRow > 0) sql += " LIMIT " + std::to_string(session_.topRow);
    }
    return translateSqlServerDialect(sql);
}

std::vector<Variant> Provider::parameters() const {
    if (kind_ == ProviderKind::ConSave)
        return {Variant(utf8ToUtf16(session_.schemeUser)), Variant(utf8ToUtf16(session_.schemeProgram))};
    return {};
}

StatementGuard Provider::guard() const {
    StatementGuard g;
    g.use = StatementUse::ClientRead;
    if (kind_ == ProviderKind::ConSave) g.allowedInternal = {"CV_SCHEMES"};
    return g;
}

void Provider::open() {
    close();
    if (!readDb_) readDb_ = openSqlite(session_.databasePath(), true);
    cursor_ = readDb_->prepare(buildSelect(false), guard());
    std::vector<Variant> params = parameters();
    for (int i = 0; i < cursor_->parameterCount(); ++i)
        cursor_->bind(i + 1, i < static_cast<int>(params.size()) ? params[i] : Variant(u""));

    std::string table = kind_ == ProviderKind::ConSave ? "CV_SCHEMES" : session_.program.mainTable;
    std::vector<std::string> keys = kind_ == ProviderKind::ConSave
                                        ? std::vector<std::string>{"NCONDITION", "CREATOR", "PROGRAMME"}
                                        : splitList(session_.program.mainKey);
    std::vector<ColumnInfo> tableColumns = session_.db().tableColumns(table);
    columns_.clear();
    for (int i = 0; i < cursor_->columnCount(); ++i) {
        ColumnInfo info = cursor_->column(i);
        ColumnDef def;
        def.name = info.name;
        int inTable = findColumn(tableColumns, info.name);
        TypeAndSize ts = fieldTypeOf(inTable >= 0 ? tableColumns[inTable].declaredType : info.declaredType);
        def.type = ts.type;
        def.size = ts.size;
        if (inTable < 0 || kind_ != ProviderKind::Main) def.flags |= cfReadOnly;
        if (inTable >= 0 && std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return upperAscii(k) == upperAscii(info.name); }))
            def.flags |= cfKey | cfRequired;
        columns_.push_back(std::move(def));
    }
    opened_ = true;
    hasRow_ = cursor_->step();
    exhausted_ = !hasRow_;
}

std::string Provider::getRecords(int count, bool reset, std::size_t& rows) {
    if (reset || !opened_) open();
    wire::PacketEncoder packet(columns_);
    const std::size_t width = columns_.size();
    while (hasRow_ && (count < 0 || packet.rowCount() < static_cast<std::size_t>(count))) {
        for (std::size_t i = 0; i < width; ++i) {
            int c = static_cast<int>(i);
            switch (cursor_->kind(c)) {
            case Statement::ValueKind::Null: packet.addNull(); break;
            case Statement::ValueKind::Integer:
                if (columns_[i].type == FieldType::Float) packet.addFloat(static_cast<double>(cursor_->integerValue(c)));
                else packet.addInteger(cursor_->integerValue(c));
                break;
            case Statement::ValueKind::Float: packet.addFloat(cursor_->floatValue(c)); break;
            case Statement::ValueKind::Text: packet.addUtf8Text(cursor_->textValue(c)); break;
            case Statement::ValueKind::Blob: packet.add(cursor_->value(c)); break;
            }
        }
        packet.endRow();
        hasRow_ = cursor_->step();
    }
    if (!hasRow_) {
        exhausted_ = true;
        cursor_.reset();  // frees the read snapshot; columns stay known
    }
    rows = packet.rowCount();
    return packet.finish(exhausted_);
}

std::int64_t Provider::recordCount() {
    auto rows = queryAll(session_.db(), buildSelect(true), parameters(), guard());
    return rows.empty() ? 0 : rows[0][0].toInt();
}

void Provider::applyRow(const Delta& delta, const DeltaRow& row, const std::vector<int>& tableColumn,
                        const std::vector<int>& keyColumns, int flagColumn) {
    const std::string& table = session_.program.mainTable;
    const std::vector<ColumnDef>& cols = delta.columns;
    const std::size_t width = cols.size();
    bool needsOriginal = row.kind != UpdateKind::Insert;
    bool needsCurrent = row.kind != UpdateKind::Delete;
    if ((needsOriginal && row.original.size() != width) || (needsCurrent && row.current.size() != width))
        throw RowFailure{kMalformedRow, "行的栏位数与栏位定义不符"};

    auto quoted = [&](std::size_t i) { return "\"" + cols[i].name + "\""; };
    std::string keyWhere;
    std::vector<Variant> keyParams;
    for (int k : keyColumns) {
        if (!keyWhere.empty()) keyWhere += " AND ";
        keyWhere += quoted(static_cast<std::size_t>(k)) + " = ?";
        keyParams.push_back(row.original.empty() ? Variant() : row.original[static_cast<std::size_t>(k)]);
    }
    auto failIfChangedMeanwhile = [&]() {
        auto rows = queryAll(session_.db(), "SELECT 1 FROM \"" + table + "\" WHERE " + keyWhere, keyParams);
        if (rows.empty()) throw RowFailure{kDeletedMeanwhile, "记录已被其他用户删除"};
        throw RowFailure{kChangedMeanwhile, "记录已被其他用户修改，请重新查询后再修改"};
    };

    if (row.kind == UpdateKind::Insert) {
        std::string names, marks;
        std::vector<Variant> params;
        for (std::size_t i = 0; i < width; ++i) {
            if (tableColumn[i] < 0 || row.current[i].isEmpty()) continue;
            if (!names.empty()) {
                names += ", ";
                marks += ", ";
            }
            names += quoted(i);
            marks += "?";
            params.push_back(row.current[i]);
        }
        if (names.empty()) throw RowFailure{kMalformedRow, "新增的记录没有任何栏位值"};
        execute(session_.db(), "INSERT INTO \"" + table + "\" (" + names + ") VALUES (" + marks + ")", params);
        return;
    }

    std::string where = keyWhere;
    std::vector<Variant> whereParams = keyParams;
    if (flagColumn >= 0) {
        where += " AND \"FLAG\" IS ?";
        whereParams.push_back(row.original[static_cast<std::size_t>(flagColumn)]);
    }

    if (row.kind == UpdateKind::Delete) {
        if (execute(session_.db(), "DELETE FROM \"" + table + "\" WHERE " + where, whereParams) == 0)
            failIfChangedMeanwhile();
        return;
    }

    std::string sets;
    std::vector<Variant> params;
    for (std::size_t i = 0; i < width; ++i) {
        if (tableColumn[i] < 0) continue;
        bool changed = i < row.changed.size() ? row.changed[i] : !(row.current[i] == row.original[i]);
        if (!changed) continue;
        if (!sets.empty()) sets += ", ";
        sets += quoted(i) + " = ?";
        params.push_back(row.current[i].isEmpty() ? Variant::null() : row.current[i]);
    }
    if (sets.empty()) {
        // Nothing to store; still refuse a row that changed meanwhile.
        if (queryAll(session_.db(), "SELECT 1 FROM \"" + table + "\" WHERE " + where, whereParams).empty())
            failIfChangedMeanwhile();
        return;
    }
    params.insert(params.end(), whereParams.begin(), whereParams.end());
    if (execute(session_.db(), "UPDATE \"" + table + "\" SET " + sets + " WHERE " + where, params) == 0)
        failIfChangedMeanwhile();
}

ApplyResult Provider::applyUpdates(const Delta& delta, int maxErrors) {
    if (kind_ != ProviderKind::Main) throw EOleError("this provider is read-only");
    const std::string& table = session_.program.mainTable;
    std::vector<ColumnInfo> tableColumns = session_.db().tableColumns(table);
    if (tableColumns.empty()) throw EOleError("the program's table " + table + " does not exist");

    // Only columns of the program's table are written; joined and computed
    // columns (MB003C) are never part of a statement.
    std::vector<int> tableColumn;
    for (const ColumnDef& c : delta.columns) {
        if (!isIdentifier(c.name)) throw EOleError("invalid column name in the changes: " + c.name);
        tableColumn.push_back(findColumn(tableColumns, c.name));
    }
    std::vector<int> keyColumns;
    for (const std::string& key : splitList(session_.program.mainKey)) {
        int i = findDeltaColumn(delta.columns, key);
        if (i < 0 || tableColumn[static_cast<std::size_t>(i)] < 0)
            throw EOleError("the changes lack the key column " + key);
        keyColumns.push_back(i);
    }
    if (keyColumns.empty()) throw EOleError("the program's table has no key");
    int flagColumn = findDeltaColumn(delta.columns, "FLAG");
    if (flagColumn >= 0 && tableColumn[static_cast<std::size_t>(flagColumn)] < 0) flagColumn = -1;

    ApplyResult result;
    Database& db = session_.db();
    WriteTransaction tx(db);
    for (std::size_t r = 0; r < delta.rows.size(); ++r) {
        const DeltaRow& row = delta.rows[r];
        std::string failure;
        int code = 0;
        db.savepoint("apply_row");
        try {
            applyRow(delta, row, tableColumn, keyColumns, flagColumn);
        } catch (const RowFailure& f) {
            code = f.code;
            failure = f.message;
        } catch (const ESqlConstraint& e) {
            code = kConstraint;
            failure = std::string("违反数据约束(关键字重复或必填栏位为空): ") + e.what();
        } catch (const ESqlError& e) {
            code = kDatabaseError;
            failure = e.what();
        }
        if (code == 0) {
            db.releaseSavepoint("apply_row");
            continue;
        }
        db.rollbackToSavepoint("apply_row");
        ReconcileError error;
        error.row = static_cast<int>(r);
        error.kind = row.kind;
        error.errorCode = code;
        error.message = utf8ToUtf16(failure);
        const RowValues& keySource = row.kind == UpdateKind::Insert ? row.current : row.original;
        std::u16string context;
        for (int k : keyColumns) {
            if (static_cast<std::size_t>(k) >= keySource.size()) break;
            if (!context.empty()) context += u"||";
            context += keySource[static_cast<std::size_t>(k)].isNullOrEmpty() ? u"" : keySource[static_cast<std::size_t>(k)].toWide();
        }
        error.context = context;
        result.errors.push_back(std::move(error));
        ++result.errorCount;
        if (maxErrors >= 0 && result.errorCount > maxErrors) {
            result.rolledBack = true;
            return result;  // the transaction rolls back as tx leaves
        }
    }
    tx.commit();
    return result;
}

}  // namespace corvane::appserver
