#include "appserver/GatewayObject.h"

#include <pugixml.hpp>

#include <sstream>

#include "appserver/ServerText.h"
#include "appserver/SqlDialect.h"

namespace corvane::appserver {

namespace {

const char* const kAllPrograms = "********************";

std::vector<std::string> splitFields(std::string_view text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string item = trimmedCopy(text.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start));
        if (!item.empty()) items.push_back(item);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return items;
}

Variant rowsToVariant(const std::vector<std::vector<Variant>>& rows) {
    std::vector<Variant> out;
    out.reserve(rows.size());
    for (const auto& row : rows) out.push_back(Variant::arrayOf(row));
    return Variant::arrayOf(std::move(out));
}

bool isXmlName(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-' && c != '.') return false;
    return true;
}

}  // namespace

GatewayObject::GatewayObject(Session& session) : ServerObject("CorvaneGateway.Class1"), session_(session) {
    addMethod("GETCOUNTER", [this](std::span<Variant> a) { return getCounter(a); });
    addMethod("GetSysInfo", [this](std::span<Variant> a) { return getSysInfo(a); });
    addMethod("CheckValue", [this](std::span<Variant> a) { return checkValue("CheckValue", a); });
    addMethod("QueryData", [this](std::span<Variant> a) { return checkValue("QueryData", a); });
    addMethod("QueryMaxSeq", [this](std::span<Variant> a) { return queryMaxSeq(a); });
}

Variant GatewayObject::getCounter(std::span<Variant> args) {
    expectArgs("GETCOUNTER", args, 2, 3);
    std::string service = upperTrimmed("GETCOUNTER", args[0], "the service name");
    std::vector<Variant> params = args[1].deref().isNullOrEmpty() ? std::vector<Variant>{}
                                                                    : list("GETCOUNTER", args[1], "the parameters");
    if (service == "SIMPLESQL") return simpleSql(params);
    if (service == "TRANSACTIONSQL") return transactionSql(params);
    if (service == "GETUSERDEFINE") return getUserDefine(params);
    if (service == "SETUSERDEFINE") return setUserDefine(params);
    if (service == "QUERYUDFDATA") return queryUdfData(params);
    throw EOleError("GETCOUNTER: unknown service " + service);
}

Variant GatewayObject::simpleSql(const std::vector<Variant>& params) {
    if (params.size() < 1) throw EOleError("SimpleSql expects [SQL, field list]");
    std::string sql = translateSqlServerDialect(utf8("SimpleSql", params[0], "the SQL text"));
    std::vector<std::string> fields = params.size() > 1 ? splitFields(utf8("SimpleSql", params[1], "the field list"))
                                                        : std::vector<std::string>{};
    auto stmt = session_.db().prepare(sql, StatementGuard{StatementUse::ClientRead, {}});
    // Map the listed fields to the statement's columns.
    std::vector<int> map;
    if (fields.empty()) {
        for (int i = 0; i < stmt->columnCount(); ++i) map.push_back(i);
    } else {
        for (const std::string& f : fields) {
            std::string want = upperAscii(f);
            std::size_t dot = want.rfind('.');
            if (dot != std::string::npos) want = want.substr(dot + 1);
            int found = -1;
            for (int i = 0; i < stmt->columnCount() && found < 0; ++i)
                if (upperAscii(stmt->column(i).name) == want) found = i;
            if (found < 0) throw EOleError("SimpleSql: the statement has no column " + f);
            map.push_back(found);
        }
    }
    std::vector<Variant> rows;
    while (stmt->step()) {
        std::vector<Variant> row;
        row.reserve(map.size());
        for (int i : map) row.push_back(stmt->value(i));
        rows.push_back(Variant::arrayOf(std::move(row)));
    }
    if (rows.empty()) return Variant();
    return Variant::arrayOf(std::move(rows));
}

Variant GatewayObject::transactionSql(const std::vector<Variant>& params) {
    if (params.empty()) throw EOleError("TransactionSQL expects [[statement, ...], \"\"]");
    std::vector<Variant> statements = list("TransactionSQL", params[0], "the statements");
    Database& db = session_.db();
    WriteTransaction tx(db);
    std::int64_t changed = 0;
    for (std::size_t i = 0; i < statements.size(); ++i) {
        std::string sql = trimmed("TransactionSQL", statements[i], "a statement");
        if (sql.empty()) continue;
        try {
            changed += execute(db, translateSqlServerDialect(sql), {}, StatementGuard{StatementUse::ClientWrite, {}});
        } catch (const ESqlError& e) {
            throw EOleError("TransactionSQL: statement " + std::to_string(i + 1) + " failed, nothing was stored: " + e.what());
        }
    }
    tx.commit();
    return Variant(static_cast<long long>(changed));
}

Variant GatewayObject::getUserDefine(const std::vector<Variant>& params) {
    if (params.size() < 4) throw EOleError("GetUserDefine expects [company, user, program, section]");
    std::string company = trimmed("GetUserDefine", params[0], "the company");
    std::string user = trimmed("GetUserDefine", params[1], "the user");
    std::string program = upperTrimmed("GetUserDefine", params[2], "the program");
    std::string section = trimmed("GetUserDefine", params[3], "the section");
    if (!isXmlName(section)) throw EOleError("GetUserDefine: invalid section name " + section);
    // Settings of the program override those of all programs.
    auto rows = queryAll(session_.db(),
                         "SELECT KEYNAME, VALUE FROM CV_USERDEFINE WHERE COMPANY = ?1 AND USERID = ?2 AND SECTION = ?3 "
                         "AND SCOPE IN (?4, ?5) ORDER BY CASE SCOPE WHEN ?5 THEN 0 ELSE 1 END",
                         {wide(company), wide(user), wide(section), wide(program), wide(kAllPrograms)});
    if (rows.empty()) return Variant(u"");
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child(section.c_str());
    for (const auto& row : rows) {
        std::string key = utf8Of(row[0]);
        if (!isXmlName(key)) continue;
        pugi::xml_node node = root.child(key.c_str());
        if (!node) node = root.append_child(key.c_str());
        node.text().set(utf8Of(row[1]).c_str());
    }
    std::ostringstream out;
    doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
    return wide(out.str());
}

Variant GatewayObject::setUserDefine(const std::vector<Variant>& params) {
    if (params.size() < 5) return wide("SetUserDefine expects [company, user, scope, path, value]");
    std::string company = trimmed("SetUserDefine", params[0], "the company");
    std::string user = trimmed("SetUserDefine", params[1], "the user");
    std::string scope = upperTrimmed("SetUserDefine", params[2], "the scope");
    std::string path = trimmed("SetUserDefine", params[3], "the path");
    std::string value = utf8("SetUserDefine", params[4], "the value");
    if (company.empty() || user.empty() || scope.empty()) return wide("SetUserDefine: company, user and scope are required");
    std::vector<std::pair<std::string, std::string>> keys;
    std::string section;
    if (path == ".") {
        pugi::xml_document doc;
        if (!doc.load_string(value.c_str())) return wide("SetUserDefine: the value is not an XML document");
        pugi::xml_node root = doc.document_element();
        section = root.name();
        for (pugi::xml_node child : root.children())
            if (child.type() == pugi::node_element) keys.emplace_back(child.name(), child.text().get());
    } else {
        std::size_t slash = path.find('/');
        if (slash == std::string::npos) return wide("SetUserDefine: the path must be section/key or .");
        section = path.substr(0, slash);
        keys.emplace_back(path.substr(slash + 1), value);
    }
    if (!isXmlName(section)) return wide("SetUserDefine: invalid section name");
    for (const auto& [key, v] : keys)
        if (!isXmlName(key)) return wide("SetUserDefine: invalid key name " + key);
    Database& db = session_.db();
    WriteTransaction tx(db);
    for (const auto& [key, v] : keys)
        execute(db, "INSERT OR REPLACE INTO CV_USERDEFINE (COMPANY, USERID, SCOPE, SECTION, KEYNAME, VALUE) "
                    "VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                {wide(company), wide(user), wide(scope), wide(section), wide(key), wide(v)});
    tx.commit();
    return Variant(u"");
}

Variant GatewayObject::queryUdfData(const std::vector<Variant>& params) {
    if (params.size() < 1) throw EOleError("QueryUDFData expects [query id, \"\", database, \"N\", values]");
    std::string id = upperTrimmed("QueryUDFData", params[0], "the query id");
    auto query = queryAll(session_.db(), "SELECT SQLTEXT FROM CV_UDFQUERY WHERE QUERYID = ?1", {wide(id)});
    if (query.empty()) throw EOleError("QueryUDFData: unknown query " + id);
    std::vector<Variant> values;
    if (params.size() > 4 && !params[4].deref().isNullOrEmpty()) values = list("QueryUDFData", params[4], "the values");
    auto rows = queryAll(session_.db(), utf8Of(query[0][0]), values, StatementGuard{StatementUse::ClientRead, {}});
    if (rows.empty()) return Variant();
    return rowsToVariant(rows);
}

Variant GatewayObject::getSysInfo(std::span<Variant> args) {
    expectArgs("GetSysInfo", args, 1, 1);
    std::string company = trimmed("GetSysInfo", args[0], "the company id");
    auto rows = queryAll(session_.db(), "SELECT NAME, VALUE FROM CV_SYSINFO WHERE COMPANY = ?1 ORDER BY NAME",
                         {wide(company)});
    if (rows.empty()) throw EOleError("GetSysInfo: unknown company " + company);
    Variant result = Variant::array2(0, 1, 0, static_cast<int>(rows.size()) - 1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        result.at(0, static_cast<int>(i)) = rows[i][0];
        result.at(1, static_cast<int>(i)) = rows[i][1].isNull() ? Variant(u"") : rows[i][1];
    }
    return result;
}

Variant GatewayObject::checkValue(std::string_view member, std::span<Variant> args) {
    expectArgs(member, args, 4, 5);
    std::string table = upperTrimmed(member, args[0], "the table");
    std::string code = trimmed(member, args[1], "the check code");
    auto check = queryAll(session_.db(), "SELECT SQLTEXT, ANSWER FROM CV_CHECKCODES WHERE TABLENAME = ?1 AND CHECKCODE = ?2",
                          {wide(table), wide(code)});
    if (check.empty()) throw EOleError(std::string(member) + ": unknown check code " + table + "/" + code);
    std::vector<Variant> params;
    const Variant& p = args[3].deref();
    if (p.isArray()) params = list(member, p, "the parameters");
    else if (!p.isNullOrEmpty()) params.push_back(p);
    auto rows = queryAll(session_.db(), utf8Of(check[0][0]), params);
    Variant answer;
    if (!rows.empty()) answer = upperAscii(utf8Of(check[0][1])) == "ROWS" ? rowsToVariant(rows) : Variant::arrayOf(rows[0]);
    if (args.size() > 4) args[4].assignThrough(answer);
    return Variant(!rows.empty());
}

Variant GatewayObject::queryMaxSeq(std::span<Variant> args) {
    expectArgs("QueryMaxSeq", args, 6, 7);
    std::string table = upperTrimmed("QueryMaxSeq", args[0], "the table");
    std::vector<std::string> keys = splitFields(utf8("QueryMaxSeq", args[1], "the key fields"));
    std::vector<Variant> values;
    if (args[2].deref().isArray()) values = list("QueryMaxSeq", args[2], "the key values");
    std::string prefix;
    for (char c : utf8("QueryMaxSeq", args[3], "the date text"))
        if (std::isalnum(static_cast<unsigned char>(c))) prefix += c;
    Database& db = session_.db();
    bool internal = table.rfind("CV_", 0) == 0 || table.rfind("SQLITE_", 0) == 0;
    std::vector<ColumnInfo> columns = internal ? std::vector<ColumnInfo>{} : db.tableColumns(table);
    if (columns.empty() || keys.empty()) throw EOleError("QueryMaxSeq: unknown table " + table);
    int serialSize = 0;
    for (std::string& k : keys) {
        std::size_t dot = k.rfind('.');
        if (dot != std::string::npos) k = k.substr(dot + 1);
        bool found = false;
        for (const ColumnInfo& c : columns)
            if (upperAscii(c.name) == upperAscii(k)) {
                found = true;
                std::size_t open = c.declaredType.find('(');
                if (&k == &keys.back() && open != std::string::npos) serialSize = std::atoi(c.declaredType.c_str() + open + 1);
            }
        if (!found || !isIdentifier(k)) throw EOleError("QueryMaxSeq: " + table + " has no column " + k);
    }
    const std::string& serial = keys.back();
    std::string where = "\"" + serial + "\" LIKE ?1 || '%'";
    std::vector<Variant> params{wide(prefix)};
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        where += " AND \"" + keys[i] + "\" = ?" + std::to_string(i + 2);
        params.push_back(i < values.size() ? values[i] : Variant(u""));
    }
    int width = serialSize > static_cast<int>(prefix.size()) ? serialSize - static_cast<int>(prefix.size()) : 4;
    width = std::min(width, 9);
    auto rows = queryAll(db, "SELECT MAX(\"" + serial + "\") FROM \"" + table + "\" WHERE " + where +
                                 " AND length(\"" + serial + "\") = " + std::to_string(prefix.size() + static_cast<std::size_t>(width)),
                         params);
    long long next = 1;
    if (!rows.empty() && !rows[0][0].isNull()) {
        std::string last = utf8Of(rows[0][0]).substr(prefix.size());
        next = std::atoll(last.c_str()) + 1;
    }
    std::string digits = std::to_string(next);
    if (static_cast<int>(digits.size()) > width) {
        if (args.size() > 6) args[6].assignThrough(Variant(u"unKnow"));
        return Variant(false);
    }
    std::string result = prefix + std::string(static_cast<std::size_t>(width) - digits.size(), '0') + digits;
    if (args.size() > 6) args[6].assignThrough(wide(result));
    return Variant(true);
}

LookupServerObject::LookupServerObject(Session& session) : ServerObject("F2WindowS.Class1"), session_(session) {
    addMethod("F2Query", [this](std::span<Variant> a) {
        expectArgs("F2Query", a, 2, 4);
        std::string table = upperTrimmed("F2Query", a[0], "the table");
        std::string kind = trimmed("F2Query", a[1], "the kind");
        std::string typed = a.size() > 2 ? trimmed("F2Query", a[2], "the typed text") : std::string();
        auto lookup = queryAll(session_.db(), "SELECT SQLTEXT, CAPTIONS FROM CV_LOOKUPS WHERE TABLENAME = ?1 AND KIND = ?2",
                               {wide(table), wide(kind)});
        if (lookup.empty()) throw EOleError("F2Query: no lookup " + table + "/" + kind);
        auto rows = queryAll(session_.db(), utf8Of(lookup[0][0]), {wide(typed)});
        std::vector<Variant> captions;
        for (const std::string& c : splitFields(utf8Of(lookup[0][1]))) captions.push_back(wide(c));
        return Variant::arrayOf({Variant::arrayOf(std::move(captions)), rowsToVariant(rows)});
    });
    addMethod("GetPhrases", [this](std::span<Variant> a) {
        expectArgs("GetPhrases", a, 1, 1);
        std::string user = trimmed("GetPhrases", a[0], "the user id");
        auto rows = queryAll(session_.db(),
                             "SELECT PHRASE FROM CV_PHRASES WHERE USERID IN (?1, '') ORDER BY USERID DESC, SEQ", {wide(user)});
        std::vector<Variant> phrases;
        for (const auto& r : rows) phrases.push_back(r[0]);
        return Variant::arrayOf(std::move(phrases));
    });
}

}  // namespace corvane::appserver
