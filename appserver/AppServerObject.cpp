#include "appserver/AppServerObject.h"

#include "appserver/Provider.h"
#include "appserver/ServerText.h"
#include "appserver/SqlDialect.h"
#include "platform/wire/Codec.h"
#include "platform/wire/PacketCodec.h"

namespace corvane::appserver {

namespace {

constexpr std::size_t kSchemeNameBytes = 20;

std::string firstText(const std::vector<std::vector<Variant>>& rows, std::size_t column = 0) {
    if (rows.empty() || rows[0].size() <= column) return {};
    return utf8Of(rows[0][column]);
}

}  // namespace

AppServerObject::AppServerObject(Session& session) : ServerObject("CopIS01S.Class1"), session_(session) {
    addMethod("Connect", [this](std::span<Variant> a) { return connect(a); });
    addMethod("SvrData", [this](std::span<Variant> a) {
        expectArgs("SvrData", a, 0, 0);
        return svrData();
    });
    addMethod("WhatIs", [this](std::span<Variant> a) { return whatIs(a); });
    addMethod("GetRecCount", [this](std::span<Variant> a) {
        expectArgs("GetRecCount", a, 0, 0);
        return getRecCount();
    });
    addMethod("GetBaseLimitedRecs", [this](std::span<Variant> a) { return getBaseLimitedRecs(a); });
    addMethod("GetFormat", [this](std::span<Variant> a) { return getFormat(a); });
    addMethod("LoadTable", [this](std::span<Variant> a) { return loadTable(a); });
    addMethod("InsertConTable", [this](std::span<Variant> a) { return insertConTable(a); });
    addMethod("DeleteConTable", [this](std::span<Variant> a) { return deleteConTable(a); });
    addMethod("ChangeConName", [this](std::span<Variant> a) { return changeConName(a); });
    addMethod("SetTopRow", [this](std::span<Variant> a) {
        expectArgs("SetTopRow", a, 1, 1);
        std::int64_t n = integer("SetTopRow", a[0], "the row limit");
        if (n < 0 || n > 100000000) throw EOleError("SetTopRow: the row limit must be 0 or more");
        session_.topRow = static_cast<int>(n);
        return Variant();
    });
    addMethod("AS_DataRequest", [this](std::span<Variant> a) { return dataRequest(a); });
    addMethod("AS_GetRecords", [this](std::span<Variant> a) { return getRecords(a); });
    addMethod("AS_ApplyUpdates", [this](std::span<Variant> a) { return applyUpdates(a); });
    addMethod("AS_GetProviderNames", [](std::span<Variant> a) {
        expectArgs("AS_GetProviderNames", a, 0, 0);
        return Variant::arrayOf({Variant(u"pvdMain"), Variant(u"pvdConSave"), Variant(u"pvdColor")});
    });
}

Variant AppServerObject::connect(std::span<Variant> args) {
    expectArgs("Connect", args, 1, 1);
    std::vector<Variant> p = list("Connect", args[0], "the login", 4);
    std::string programId = upperTrimmed("Connect", p[0], "the program id");
    std::string userId = trimmed("Connect", p[1], "the user id");
    std::string companyId = trimmed("Connect", p[2], "the company id");
    std::string companyDb = trimmed("Connect", p[3], "the company database");
    session_.login = Login{};
    session_.closeProviders();
    session_.topRow = 0;
    Database& db = session_.db();

    auto user = queryAll(db, "SELECT USR_GROUP, GROUP_LIST, COMPANY, ENABLED, MAX_RECORD, BASELIMITED FROM CV_USERS "
                             "WHERE USERID = ?1", {wide(userId)});
    if (user.empty()) return kUnknownUser;
    if (utf8Of(user[0][3]) != "Y") return kUserDisabled;
    auto company = queryAll(db, "SELECT COMPANY_DB FROM CV_COMPANIES WHERE COMPANY = ?1", {wide(companyId)});
    if (company.empty() || upperAscii(utf8Of(company[0][0])) != upperAscii(companyDb)) return kUnknownCompany;
    auto program = queryAll(db, "SELECT M11_TABLE, M11_KEY, M11_SELECT, D11_TABLE, D11_KEY, D11_SELECT, H11_TABLE, "
                                "H11_KEY FROM CV_PROGRAMS WHERE PROGRAMME = ?1", {wide(programId)});
    if (program.empty()) return kUnknownProgram;
    auto rights = queryAll(db, "SELECT 1 FROM CV_RIGHTS WHERE USERID = ?1 AND PROGRAMME = ?2",
                           {wide(userId), wide(programId)});
    if (rights.empty()) return kNoRights;

    Login& login = session_.login;
    login.loggedIn = true;
    login.programId = programId;
    login.userId = userId;
    login.companyId = companyId;
    login.companyDb = companyDb;
    login.userGroup = utf8Of(user[0][0]);
    login.groupList = utf8Of(user[0][1]);
    login.maxRecord = static_cast<int>(user[0][4].isNull() ? 20 : user[0][4].toInt());
    login.baseLimited = utf8Of(user[0][5]);
    const auto& d = program[0];
    session_.program = ProgramDefinition{utf8Of(d[0]), utf8Of(d[1]), utf8Of(d[2]), utf8Of(d[3]),
                                         utf8Of(d[4]), utf8Of(d[5]), utf8Of(d[6]), utf8Of(d[7])};
    session_.schemeUser = userId;
    session_.schemeProgram = programId;
    return kLoginAccepted;
}

Variant AppServerObject::svrData() {
    // The client asks for the login data right after Connect, whatever its
    // answer: a refused login has none, and that is not an error.
    if (!session_.login.loggedIn) return Variant(u"");
    const Login& login = session_.login;
    auto rights = queryAll(session_.db(), "SELECT POWER_DATA, EX_POWER FROM CV_RIGHTS WHERE USERID = ?1 AND PROGRAMME = ?2",
                           {wide(login.userId), wide(login.programId)});
    const ProgramDefinition& p = session_.program;
    std::string lines;
    auto line = [&](std::string_view name, std::string_view value) {
        // A value never spans lines.
        std::string v(value);
        for (char& c : v)
            if (c == '\r' || c == '\n') c = ' ';
        lines += std::string(name) + "=" + v + "\r\n";
    };
    line("USER_GROUP", login.userGroup);
    line("GROUP_LIST", login.groupList);
    line("POWER_DATA", firstText(rights, 0));
    line("EX_POWER", firstText(rights, 1));
    line("BaseLimited", login.baseLimited);
    line("MAX_RECORD", std::to_string(login.maxRecord));
    line("M11_TABLE", p.mainTable);
    line("M11_KEY", p.mainKey);
    line("M11_SELECT", p.mainSelect);
    line("D11_TABLE", p.detailTable);
    line("D11_KEY", p.detailKey);
    line("D11_SELECT", p.detailSelect);
    line("H11_TABLE", p.headTable);
    line("H11_KEY", p.headKey);
    return wide(lines);
}

Variant AppServerObject::whatIs(std::span<Variant> args) {
    expectArgs("WhatIs", args, 1, 1);
    std::string what = upperTrimmed("WhatIs", args[0], "the question");
    if (what == "TODAY") return wide(serverDateTime());
    // 0: the SQL Server dialect, which the server translates for its engine.
    if (what == "SQLTYPE") return Variant(0);
    throw EOleError("WhatIs: unknown question " + what);
}

Variant AppServerObject::getRecCount() {
    session_.requireLogin("GetRecCount");
    return Variant(static_cast<long long>(session_.provider("pvdMain").recordCount()));
}

Variant AppServerObject::getBaseLimitedRecs(std::span<Variant> args) {
    expectArgs("GetBaseLimitedRecs", args, 3, 3);
    session_.requireLogin("GetBaseLimitedRecs");
    std::string prefix = upperTrimmed("GetBaseLimitedRecs", args[0], "the key prefix");
    std::string condition = trimmed("GetBaseLimitedRecs", args[1], "the parent condition");
    integer("GetBaseLimitedRecs", args[2], "the row count");
    if (!prefix.empty() && prefix.back() != '_') prefix += '_';
    Variant unlimited = Variant::arrayOf({Variant(-1), Variant::arrayOf({})});
    if (upperAscii(session_.login.baseLimited) != "Y") return unlimited;

    const ProgramDefinition& p = session_.program;
    std::string table, keys;
    if (prefix == "M11_") table = p.mainTable, keys = p.mainKey;
    else if (prefix == "D11_") table = p.detailTable, keys = p.detailKey;
    else if (prefix == "H11_") table = p.headTable, keys = p.headKey;
    if (table.empty() || keys.empty()) return unlimited;
    Database& db = session_.db();
    auto allowed = queryAll(db, "SELECT KEYVALUE FROM CV_BASELIMITS WHERE USERID = ?1 AND TABLENAME = ?2",
                            {wide(session_.login.userId), wide(table)});
    if (allowed.empty()) return unlimited;
    if (std::string why = checkWhereText(condition); !why.empty()) throw EOleError(why);

    // Key texts as the client builds them: each key value right-padded to
    // its column size, joined by "-".
    std::vector<ColumnInfo> columns = db.tableColumns(table);
    std::string select;
    std::vector<int> sizes;
    std::size_t start = 0;
    while (start <= keys.size()) {
        std::size_t comma = keys.find(',', start);
        std::string key = trimmedCopy(keys.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        std::size_t dot = key.rfind('.');
        if (dot != std::string::npos) key = key.substr(dot + 1);
        if (!isIdentifier(key)) throw EOleError("invalid key column " + key);
        int size = 0;
        for (const ColumnInfo& c : columns)
            if (upperAscii(c.name) == upperAscii(key)) {
                std::size_t open = c.declaredType.find('(');
                if (open != std::string::npos) size = std::atoi(c.declaredType.c_str() + open + 1);
            }
        select += (select.empty() ? "" : ", ") + std::string("\"") + key + "\"";
        sizes.push_back(size);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    std::string sql = "SELECT " + select + " FROM \"" + table + "\"";
    if (!condition.empty()) sql += " WHERE (" + condition + ")";
    StatementGuard guard{StatementUse::ClientRead, {}};
    auto rows = queryAll(db, translateSqlServerDialect(sql), {}, guard);
    std::vector<Variant> allowedKeys;
    for (const auto& row : rows) {
        std::string keyText;
        for (std::size_t i = 0; i < row.size(); ++i) {
            std::string v = utf8Of(row[i]);
            std::size_t len = gbkLength(v);
            if (len < static_cast<std::size_t>(sizes[i])) v += std::string(static_cast<std::size_t>(sizes[i]) - len, ' ');
            keyText += (i ? "-" : "") + v;
        }
        for (const auto& a : allowed)
            if (utf8Of(a[0]) == keyText) {
                allowedKeys.push_back(wide(keyText));
                break;
            }
    }
    // Nothing refused: say "all allowed" rather than a count, which the
    // client compares with the rows it holds (possibly fewer than match).
    if (allowedKeys.size() == rows.size()) return unlimited;
    return Variant::arrayOf({Variant(static_cast<long long>(allowedKeys.size())), Variant::arrayOf(allowedKeys)});
}

Variant AppServerObject::getFormat(std::span<Variant> args) {
    expectArgs("GetFormat", args, 2, 2);
    session_.requireLogin("GetFormat");
    std::string company = trimmed("GetFormat", args[0], "the company id");
    std::string program = upperTrimmed("GetFormat", args[1], "the program id");
    auto rows = queryAll(session_.db(),
                         "SELECT DOCUMENT FROM CV_FORMATS WHERE COMPANY = ?1 AND PROGRAMME = ?2 AND USERID IN (?3, '') "
                         "ORDER BY USERID DESC LIMIT 1",
                         {wide(company), wide(program), wide(session_.login.userId)});
    return wide(firstText(rows));
}

Variant AppServerObject::loadTable(std::span<Variant> args) {
    expectArgs("LoadTable", args, 1, 1);
    session_.requireLogin("LoadTable");
    std::vector<Variant> p = list("LoadTable", args[0], "[user id, program id]", 2);
    std::string user = trimmed("LoadTable", p[0], "the user id");
    if (user != session_.login.userId) throw EOleError("LoadTable: the schemes of another user cannot be read");
    session_.schemeUser = user;
    session_.schemeProgram = upperTrimmed("LoadTable", p[1], "the program id");
    session_.provider("pvdConSave").close();
    return Variant();
}

Variant AppServerObject::insertConTable(std::span<Variant> args) {
    expectArgs("InsertConTable", args, 1, 1);
    session_.requireLogin("InsertConTable");
    std::vector<Variant> p = list("InsertConTable", args[0], "the scheme", 7);
    std::string name = trimmed("InsertConTable", p[0], "the scheme name");
    std::string user = trimmed("InsertConTable", p[1], "the user id");
    std::string date = trimmed("InsertConTable", p[2], "the date");
    std::string program = upperTrimmed("InsertConTable", p[3], "the program id");
    std::string content = utf8("InsertConTable", p[4], "the content");
    std::int64_t page = integer("InsertConTable", p[5], "the page");
    bool replace = p[6].deref().isNullOrEmpty() ? false : p[6].deref().toBool();
    if (name.empty()) return wide("方案名不可空白");
    if (gbkLength(name) > kSchemeNameBytes) return wide("方案名不可超过20个字节");
    if (user != session_.login.userId) return wide("不可保存其他用户的方案");
    Database& db = session_.db();
    WriteTransaction tx(db);
    auto exists = queryAll(db, "SELECT 1 FROM CV_SCHEMES WHERE NCONDITION = ?1 AND CREATOR = ?2 AND PROGRAMME = ?3",
                           {wide(name), wide(user), wide(program)});
    if (!exists.empty() && !replace) return wide("方案名已存在");
    execute(db, "INSERT OR REPLACE INTO CV_SCHEMES (NCONDITION, CREATOR, PROGRAMME, CREATE_DATE, VCONDITION, ActivePage) "
                "VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
            {wide(name), wide(user), wide(program), wide(date), wide(content), Variant(static_cast<long long>(page))});
    tx.commit();
    return Variant(u"");
}

Variant AppServerObject::deleteConTable(std::span<Variant> args) {
    expectArgs("DeleteConTable", args, 1, 1);
    session_.requireLogin("DeleteConTable");
    std::vector<Variant> p = list("DeleteConTable", args[0], "[name, user id, program id]", 3);
    std::string user = trimmed("DeleteConTable", p[1], "the user id");
    if (user != session_.login.userId) return wide("不可删除其他用户的方案");
    std::int64_t n = execute(session_.db(), "DELETE FROM CV_SCHEMES WHERE NCONDITION = ?1 AND CREATOR = ?2 AND PROGRAMME = ?3",
                             {wide(trimmed("DeleteConTable", p[0], "the name")), wide(user),
                              wide(upperTrimmed("DeleteConTable", p[2], "the program id"))});
    return n == 0 ? wide("方案不存在") : Variant(u"");
}

Variant AppServerObject::changeConName(std::span<Variant> args) {
    expectArgs("ChangeConName", args, 2, 2);
    session_.requireLogin("ChangeConName");
    std::vector<Variant> from = list("ChangeConName", args[0], "the old [name, user id, program id]", 3);
    std::vector<Variant> to = list("ChangeConName", args[1], "the new [name, user id, program id]", 3);
    std::string oldName = trimmed("ChangeConName", from[0], "the old name");
    std::string user = trimmed("ChangeConName", from[1], "the user id");
    std::string program = upperTrimmed("ChangeConName", from[2], "the program id");
    std::string newName = trimmed("ChangeConName", to[0], "the new name");
    if (user != session_.login.userId || trimmed("ChangeConName", to[1], "the user id") != user)
        return wide("不可更改其他用户的方案");
    if (upperTrimmed("ChangeConName", to[2], "the program id") != program)
        return wide("方案不可移到其他作业");
    if (newName.empty()) return wide("方案名不可空白");
    if (gbkLength(newName) > kSchemeNameBytes) return wide("方案名不可超过20个字节");
    if (newName == oldName) return Variant(u"");
    Database& db = session_.db();
    WriteTransaction tx(db);
    if (!queryAll(db, "SELECT 1 FROM CV_SCHEMES WHERE NCONDITION = ?1 AND CREATOR = ?2 AND PROGRAMME = ?3",
                  {wide(newName), wide(user), wide(program)}).empty())
        return wide("方案名已存在");
    if (execute(db, "UPDATE CV_SCHEMES SET NCONDITION = ?1 WHERE NCONDITION = ?2 AND CREATOR = ?3 AND PROGRAMME = ?4",
                {wide(newName), wide(oldName), wide(user), wide(program)}) == 0)
        return wide("方案不存在");
    tx.commit();
    return Variant(u"");
}

Variant AppServerObject::dataRequest(std::span<Variant> args) {
    expectArgs("AS_DataRequest", args, 2, 2);
    session_.requireLogin("AS_DataRequest");
    session_.provider(utf8("AS_DataRequest", args[0], "the provider name")).dataRequest(args[1]);
    return Variant();
}

Variant AppServerObject::getRecords(std::span<Variant> args) {
    expectArgs("AS_GetRecords", args, 2, 4);
    session_.requireLogin("AS_GetRecords");
    Provider& provider = session_.provider(utf8("AS_GetRecords", args[0], "the provider name"));
    std::int64_t count = integer("AS_GetRecords", args[1], "the count");
    if (count < -1 || count > 1000000000) throw EOleError("AS_GetRecords: the count must be -1 or more");
    std::int64_t options = args.size() > 3 ? integer("AS_GetRecords", args[3], "the options") : 0;
    std::size_t rows = 0;
    std::string packet = provider.getRecords(static_cast<int>(count), (options & 3) != 0, rows);
    if (args.size() > 2) args[2].assignThrough(Variant(static_cast<long long>(rows)));
    return Variant(std::move(packet));
}

Variant AppServerObject::applyUpdates(std::span<Variant> args) {
    expectArgs("AS_ApplyUpdates", args, 3, 4);
    session_.requireLogin("AS_ApplyUpdates");
    Provider& provider = session_.provider(utf8("AS_ApplyUpdates", args[0], "the provider name"));
    const Variant& deltaArg = args[1].deref();
    if (deltaArg.type() != VarType::String) throw EOleError("AS_ApplyUpdates: the changes must be an encoded delta");
    Delta delta;
    try {
        delta = wire::decodeDelta(deltaArg.asString());
    } catch (const wire::EWireDecodeError& e) {
        throw EOleError(std::string("AS_ApplyUpdates: malformed changes: ") + e.what());
    }
    std::int64_t maxErrors = integer("AS_ApplyUpdates", args[2], "the error limit");
    ApplyResult result = provider.applyUpdates(delta, static_cast<int>(std::max<std::int64_t>(-1, std::min<std::int64_t>(maxErrors, 1 << 30))));
    if (args.size() > 3) args[3].assignThrough(Variant(result.errorCount));
    return Variant(wire::encodeApplyResult(result));
}

}  // namespace corvane::appserver
