// The application server object in process, on a fresh demo database:
// login, login data, providers with their cursors, applying with reconcile
// errors and conflicts, saved schemes.

#include "appserver/AppServerObject.h"

#include <gtest/gtest.h>

#include "appserver/GatewayObject.h"
#include "appserver/Schema.h"
#include "appserver/Session.h"
#include "platform/core/CodePage.h"
#include "tests/appserver/TestClient.h"
#include "tests/support/TestSupport.h"

using namespace corvane;
using namespace corvane::appserver;
using corvane::test::login;

namespace {

class AppServer : public ::testing::Test {
protected:
    void SetUp() override {
        path = (dir / "app.db").string();
        ensureSchema(*openSqlite(path));
        session = std::make_unique<Session>(path);
        app = std::make_shared<AppServerObject>(*session);
    }
    std::shared_ptr<AppServerObject> secondClient() {
        sessions.push_back(std::make_unique<Session>(path));
        auto other = std::make_shared<AppServerObject>(*sessions.back());
        EXPECT_EQ(login(*other), 0);
        return other;
    }
    test::TempDir dir;
    std::string path;
    std::unique_ptr<Session> session;
    std::vector<std::unique_ptr<Session>> sessions;
    std::shared_ptr<AppServerObject> app;
};

std::string text(const Variant& v) { return utf16ToUtf8(v.toWide()); }

}  // namespace

TEST_F(AppServer, LoginIsCheckedAgainstUsersCompaniesProgramsAndRights) {
    struct Case {
        const char16_t* user;
        const char16_t* program;
        const char16_t* company;
        const char16_t* db;
        int expected;
    };
    const Case cases[] = {
        {u"DS", u"RESI01", u"DEMO", u"DEMO", AppServerObject::kLoginAccepted},
        {u"DS", u"resi01", u"DEMO", u"demo", AppServerObject::kLoginAccepted},
        {u"NOBODY", u"RESI01", u"DEMO", u"DEMO", AppServerObject::kUnknownUser},
        {u"LEFT", u"RESI01", u"DEMO", u"DEMO", AppServerObject::kUserDisabled},
        {u"DS", u"RESI01", u"ACME", u"DEMO", AppServerObject::kUnknownCompany},
        {u"DS", u"RESI01", u"DEMO", u"OTHERDB", AppServerObject::kUnknownCompany},
        {u"DS", u"XYZI99", u"DEMO", u"DEMO", AppServerObject::kUnknownProgram},
        {u"GUEST", u"RESI01", u"DEMO", u"DEMO", AppServerObject::kNoRights},
    };
    for (const Case& c : cases) {
        Variant result = app->call("Connect", {test::loginArray(c.user, c.program, c.company, c.db)});
        EXPECT_EQ(result.toInt(), c.expected) << text(Variant(c.user)) << " " << text(Variant(c.program));
    }
    // A refused login leaves the session logged out: no login data, and
    // the members that need a login refuse.
    EXPECT_EQ(app->call("SvrData", {}), Variant(u""));
    EXPECT_THROW(app->call("GetRecCount", {}), EOleError);
    // Wrong shapes are clear errors, not misreadings.
    EXPECT_THROW(app->call("Connect", {}), EOleError);
    EXPECT_THROW(app->call("Connect", {Variant(u"DS")}), EOleError);
    EXPECT_THROW(app->call("Connect", {Variant::arrayOf({Variant(u"RESI01")})}), EOleError);
    EXPECT_THROW(app->call("NoSuchMember", {}), EOleError);
}

TEST_F(AppServer, LoginDataLinesComeFromTheTablesPerUserAndProgram) {
    ASSERT_EQ(login(*app), 0);
    std::string lines = text(app->call("SvrData", {}));
    const char* expected[] = {
        "USER_GROUP=ADMIN\r\n",
        "GROUP_LIST=ADMIN,PMC\r\n",
        "POWER_DATA=,Y,N,YYYYYYYYYYYY,YYYYYYY,YYYYYYY\r\n",
        "EX_POWER=\r\n",
        "BaseLimited=N\r\n",
        "MAX_RECORD=20\r\n",
        "M11_TABLE=MPSMB\r\n",
        "M11_KEY=MB001\r\n",
        "M11_SELECT=SELECT MPSMB.*, CMSMB.MB002 AS MB003C FROM MPSMB LEFT JOIN CMSMB ON CMSMB.MB001 = MPSMB.MB003\r\n",
        "D11_TABLE=\r\n",
        "H11_KEY=\r\n",
    };
    for (const char* line : expected) EXPECT_NE(lines.find(line), std::string::npos) << line;

    auto clerk = std::make_shared<AppServerObject>(*sessions.emplace_back(std::make_unique<Session>(path)));
    ASSERT_EQ(login(*clerk, u"CLERK"), 0);
    std::string clerkLines = text(clerk->call("SvrData", {}));
    EXPECT_NE(clerkLines.find("USER_GROUP=PMC\r\n"), std::string::npos);
    EXPECT_NE(clerkLines.find("EX_POWER=btnExport=N\r\n"), std::string::npos);
}

TEST_F(AppServer, WhatIsAnswersTodayAndTheDialect) {
    std::string today = text(app->call("Whatis", {Variant(u"TODAY")}));
    ASSERT_EQ(today.size(), 17u);
    EXPECT_EQ(today[8], ' ');
    EXPECT_EQ(today[11], ':');
    EXPECT_EQ(app->call("WhatIs", {Variant(u"SQLTYPE")}), Variant(0));
    EXPECT_THROW(app->call("WhatIs", {Variant(u"VERSION")}), EOleError);
}

TEST_F(AppServer, MainProviderSendsPacketsFromOneCursor) {
    ASSERT_EQ(login(*app), 0);
    int recs = 0;
    DataPacket first = test::open(*app, u"pvdMain", u"MPSMB.MB003='F01'", u"MB001");
    ASSERT_EQ(first.rows.size(), 20u);
    EXPECT_FALSE(first.endOfData);
    const auto& cols = first.columns;
    ASSERT_GE(test::columnIndex(cols, "MB003C"), 0);
    EXPECT_TRUE(cols[test::columnIndex(cols, "MB001")].has(cfKey));
    EXPECT_EQ(cols[test::columnIndex(cols, "MB001")].size, 10);
    EXPECT_EQ(cols[test::columnIndex(cols, "MB004")].type, FieldType::Float);
    EXPECT_TRUE(cols[test::columnIndex(cols, "MB003C")].has(cfReadOnly));
    EXPECT_FALSE(cols[test::columnIndex(cols, "MB002")].has(cfReadOnly));
    EXPECT_EQ(test::valueOf(cols, first.rows[0], "MB003C"), Variant(u"\u7b2c\u4e00\u5de5\u5382"));  // 第一工厂
    for (std::size_t i = 1; i < first.rows.size(); ++i)
        EXPECT_LT(test::valueOf(cols, first.rows[i - 1], "MB001").toWide(), test::valueOf(cols, first.rows[i], "MB001").toWide());

    // Another user inserts a matching row meanwhile: the open cursor does
    // not re-run the query, so the rest of this request is the old result.
    auto other = secondClient();
    DataPacket empty = test::open(*other, u"pvdMain", u"1=2", u"MB001");
    Delta insert{empty.columns, {test::insertRow(empty.columns, {{"MB001", Variant(u"R999")}, {"MB002", Variant(u"x")},
                                                                 {"MB003", Variant(u"F01")}, {"FLAG", Variant(1.0)}})}};
    ASSERT_EQ(test::apply(*other, insert).errorCount, 0);

    DataPacket rest = test::fetch(*app, u"pvdMain", -1, false, &recs);
    EXPECT_EQ(recs, 80);
    EXPECT_EQ(rest.rows.size(), 80u);
    EXPECT_TRUE(rest.endOfData);
    EXPECT_TRUE(test::fetch(*app, u"pvdMain", 20).rows.empty());
    // Resetting runs the request again and sees the new row.
    EXPECT_EQ(test::fetch(*app, u"pvdMain", -1, true).rows.size(), 101u);
}

TEST_F(AppServer, RequestsForEmptyAllAndLimitedSets) {
    ASSERT_EQ(login(*app), 0);
    DataPacket none = test::open(*app, u"pvdMain", u"1=2", u"MB001");
    EXPECT_TRUE(none.rows.empty());
    EXPECT_TRUE(none.endOfData);
    EXPECT_GT(none.columns.size(), 30u);  // the columns are there all the same

    test::open(*app, u"pvdMain", u"all", u"");
    EXPECT_EQ(app->call("GetRecCount", {}), Variant(300LL));
    EXPECT_EQ(test::fetch(*app, u"pvdMain", -1).rows.size() + 20, 300u);

    app->call("SetTopRow", {Variant(5)});
    EXPECT_EQ(test::open(*app, u"pvdMain", u"", u"MB001 DESC").rows.size(), 5u);
    app->call("SetTopRow", {Variant(0)});
    // Chinese text in a condition travels as UTF-16.
    DataPacket byName = test::open(*app, u"pvdMain", u"MPSMB.MB002 LIKE '\u6570\u63a7\u8f66\u5e8a%'", u"MB001", -1);
    EXPECT_EQ(byName.rows.size(), 25u);  // 数控车床: every twelfth resource
    EXPECT_EQ(app->call("GetRecCount", {}), Variant(25LL));

    // The colour provider serves the same statement, read-only.
    DataPacket color = test::open(*app, u"pvdColor", u"MPSMB.MB001='R001'", u"");
    ASSERT_EQ(color.rows.size(), 1u);
    EXPECT_TRUE(color.columns[0].has(cfReadOnly));
}

TEST_F(AppServer, ClientTextRunsOnlyInsideTheReadOnlySelect) {
    ASSERT_EQ(login(*app), 0);
    struct Case {
        const char16_t* where;
        const char16_t* order;
    };
    const Case refused[] = {
        {u"1=1; DROP TABLE MPSMB", u""},
        {u"1=1) UNION SELECT * FROM CV_USERS --", u""},
        {u"MPSMB.MB001 IN (SELECT USERID FROM CV_USERS)", u""},
        {u"1=1", u"MB001; DELETE FROM MPSMB"},
        {u"1=1", u"(SELECT 1)"},
        {u"MPSMB.MB001 = (SELECT load_extension('x'))", u""},
    };
    for (const Case& c : refused) {
        // In process the database's own error class arrives; over TCP every one is an EOleError.
        EXPECT_THROW(test::open(*app, u"pvdMain", c.where, c.order), Exception) << text(Variant(c.where));
    }
    // A quote inside a literal is just text.
    EXPECT_TRUE(test::open(*app, u"pvdMain", u"MPSMB.MB002 = 'x''; DROP TABLE MPSMB; --'", u"MB001").rows.empty());
    EXPECT_EQ(test::open(*app, u"pvdMain", u"", u"MB001", -1).rows.size(), 300u);
    EXPECT_THROW(app->call("AS_DataRequest", {Variant(u"pvdNone"), Variant::arrayOf({Variant(u""), Variant(u"")})}), EOleError);
    EXPECT_THROW(app->call("AS_DataRequest", {Variant(u"pvdMain"), Variant(42)}), EOleError);
}

TEST_F(AppServer, ApplyStoresChangesByKeyAndNeverWritesJoinedColumns) {
    ASSERT_EQ(login(*app), 0);
    DataPacket p = test::open(*app, u"pvdMain", u"MPSMB.MB001 IN ('R001','R002','R003')", u"MB001");
    ASSERT_EQ(p.rows.size(), 3u);
    const auto& c = p.columns;
    Delta delta{c, {}};
    delta.rows.push_back(test::modifyRow(c, p.rows[0], {{"MB002", Variant(u"\u65b0\u540d\u79f0")}, {"MB003C", Variant(u"hacked")}}));
    delta.rows.push_back(test::deleteRow(p.rows[1]));
    delta.rows.push_back(test::insertRow(c, {{"MB001", Variant(u"R900")}, {"MB002", Variant(u"new")}, {"MB003", Variant(u"F02")},
                                             {"MB003C", Variant(u"ignored")}, {"MB004", Variant(3.5)}, {"FLAG", Variant(1.0)}}));
    int errors = -1;
    ApplyResult r = test::apply(*app, delta, 0, &errors);
    EXPECT_EQ(r.errorCount, 0);
    EXPECT_EQ(errors, 0);
    EXPECT_FALSE(r.rolledBack);

    DataPacket after = test::open(*app, u"pvdMain", u"MPSMB.MB001 IN ('R001','R002','R900')", u"MB001");
    ASSERT_EQ(after.rows.size(), 2u);
    EXPECT_EQ(test::valueOf(c, after.rows[0], "MB002"), Variant(u"\u65b0\u540d\u79f0"));
    EXPECT_EQ(test::valueOf(c, after.rows[0], "FLAG"), Variant(2.0));
    EXPECT_EQ(test::valueOf(c, after.rows[0], "MB003C"), Variant(u"\u7b2c\u4e8c\u5de5\u5382"));  // still the join: 第二工厂
    EXPECT_EQ(test::valueOf(c, after.rows[1], "MB001"), Variant(u"R900"));
    EXPECT_EQ(test::valueOf(c, after.rows[1], "MB004"), Variant(3.5));
}

TEST_F(AppServer, ARowChangedMeanwhileComesBackAsAReconcileError) {
    ASSERT_EQ(login(*app), 0);
    auto other = secondClient();
    DataPacket mine = test::open(*app, u"pvdMain", u"MPSMB.MB001 IN ('R010','R011')", u"MB001");
    DataPacket theirs = test::open(*other, u"pvdMain", u"MPSMB.MB001 IN ('R010','R011')", u"MB001");
    const auto& c = mine.columns;
    // The other user changes R010 and deletes R011 first.
    Delta first{c, {test::modifyRow(c, theirs.rows[0], {{"MB005", Variant(1.0)}}), test::deleteRow(theirs.rows[1])}};
    ASSERT_EQ(test::apply(*other, first).errorCount, 0);

    Delta late{c, {test::modifyRow(c, mine.rows[0], {{"MB005", Variant(2.0)}}),
                   test::modifyRow(c, mine.rows[1], {{"MB005", Variant(2.0)}})}};
    ApplyResult r = test::apply(*app, late, -1);
    ASSERT_EQ(r.errorCount, 2);
    EXPECT_EQ(r.errors[0].row, 0);
    EXPECT_EQ(r.errors[0].errorCode, 1);
    EXPECT_EQ(r.errors[0].context, u"R010");
    EXPECT_NE(utf16ToUtf8(r.errors[0].message).find("修改"), std::string::npos);
    EXPECT_EQ(r.errors[1].errorCode, 2);
    EXPECT_NE(utf16ToUtf8(r.errors[1].message).find("删除"), std::string::npos);
    // Nothing of the late change was stored: no lost update.
    DataPacket now = test::open(*app, u"pvdMain", u"MPSMB.MB001 = 'R010'", u"");
    EXPECT_EQ(test::valueOf(c, now.rows[0], "MB005"), Variant(1.0));
}

TEST_F(AppServer, ErrorLimitDecidesBetweenPartialStoreAndRollback) {
    ASSERT_EQ(login(*app), 0);
    DataPacket p = test::open(*app, u"pvdMain", u"1=2", u"MB001");
    const auto& c = p.columns;
    auto good = test::insertRow(c, {{"MB001", Variant(u"R801")}, {"MB003", Variant(u"F01")}, {"FLAG", Variant(1.0)}});
    auto duplicate = test::insertRow(c, {{"MB001", Variant(u"R001")}, {"MB003", Variant(u"F01")}, {"FLAG", Variant(1.0)}});
    auto count = [&](const char16_t* where) {
        test::open(*app, u"pvdMain", where, u"");
        return app->call("GetRecCount", {}).toInt();
    };

    ApplyResult none = test::apply(*app, Delta{c, {good, duplicate}}, 0);
    EXPECT_TRUE(none.rolledBack);
    EXPECT_EQ(none.errorCount, 1);
    EXPECT_EQ(none.errors[0].row, 1);
    EXPECT_EQ(none.errors[0].errorCode, 3);
    EXPECT_EQ(count(u"MPSMB.MB001 = 'R801'"), 0);

    ApplyResult partial = test::apply(*app, Delta{c, {good, duplicate}}, -1);
    EXPECT_FALSE(partial.rolledBack);
    EXPECT_EQ(partial.errorCount, 1);
    EXPECT_EQ(count(u"MPSMB.MB001 = 'R801'"), 1);

    // A row of the wrong width is a reconcile error, not a crash.
    DeltaRow bad = good;
    bad.current.resize(2);
    ApplyResult malformed = test::apply(*app, Delta{c, {bad}}, -1);
    EXPECT_EQ(malformed.errors.at(0).errorCode, 4);
    // A delta without the key column is refused as a whole.
    Delta noKey{{ColumnDef{"MB002", FieldType::String, 20, 0, 0, 0, {}}}, {}};
    EXPECT_THROW(test::apply(*app, noKey), EOleError);
    EXPECT_THROW(app->call("AS_ApplyUpdates", {Variant(u"pvdMain"), Variant(std::string("\x01\xff", 2)), Variant(0)}), EOleError);
    EXPECT_THROW(test::apply(*app, Delta{}, 0), EOleError);
}

TEST_F(AppServer, SavedSchemesPerUserAndProgram) {
    ASSERT_EQ(login(*app), 0);
    auto scheme = [](const char16_t* name, bool replace) {
        return Variant::arrayOf({Variant(name), Variant(u"DS"), Variant(u"20261211"), Variant(u"RESI01"),
                                 Variant(u"500\a\u8d44\u6e90\u7f16\u53f7\r\n\u7b49\u4e8e\r\nR01\r\nAND\b"), Variant(0),
                                 Variant(replace)});
    };
    EXPECT_EQ(app->call("InsertConTable", {scheme(u"\u6211\u7684\u65b9\u6848", false)}), Variant(u""));
    EXPECT_NE(app->call("InsertConTable", {scheme(u"\u6211\u7684\u65b9\u6848", false)}), Variant(u""));
    EXPECT_EQ(app->call("InsertConTable", {scheme(u"\u6211\u7684\u65b9\u6848", true)}), Variant(u""));
    EXPECT_EQ(app->call("InsertConTable", {scheme(u"ABCDEFGHIJKLMNOPQRST", false)}), Variant(u""));   // 20 bytes
    EXPECT_NE(app->call("InsertConTable", {scheme(u"ABCDEFGHIJKLMNOPQRSTU", false)}), Variant(u""));  // 21 bytes
    EXPECT_NE(app->call("InsertConTable", {scheme(u"   ", false)}), Variant(u""));

    app->call("LoadTable", {Variant::arrayOf({Variant(u"DS"), Variant(u"RESI01")})});
    DataPacket list = test::open(*app, u"pvdConSave", u"", u"NCONDITION", -1);
    ASSERT_EQ(list.rows.size(), 2u);
    EXPECT_EQ(list.columns[0].name, "NCONDITION");
    EXPECT_EQ(test::valueOf(list.columns, list.rows[1], "VCONDITION").toWide().substr(0, 4), u"500\a");
    EXPECT_THROW(app->call("LoadTable", {Variant::arrayOf({Variant(u"CLERK"), Variant(u"RESI01")})}), EOleError);

    auto key = [](const char16_t* name) { return Variant::arrayOf({Variant(name), Variant(u"DS"), Variant(u"RESI01")}); };
    EXPECT_EQ(app->call("ChangeConName", {key(u"\u6211\u7684\u65b9\u6848"), key(u"\u65b0\u540d")}), Variant(u""));
    EXPECT_NE(app->call("ChangeConName", {key(u"\u65b0\u540d"), key(u"ABCDEFGHIJKLMNOPQRST")}), Variant(u""));  // exists
    EXPECT_NE(app->call("ChangeConName", {key(u"gone"), key(u"other")}), Variant(u""));
    EXPECT_EQ(app->call("DeleteConTable", {key(u"\u65b0\u540d")}), Variant(u""));
    EXPECT_NE(app->call("DeleteConTable", {key(u"\u65b0\u540d")}), Variant(u""));
    EXPECT_EQ(test::open(*app, u"pvdConSave", u"", u"", -1).rows.size(), 1u);
    // The scheme list is read-only for the data set.
    EXPECT_THROW(app->call("AS_ApplyUpdates", {Variant(u"pvdConSave"), Variant(wire::encodeDelta(Delta{list.columns, {}})), Variant(0)}),
                 EOleError);
}

TEST_F(AppServer, SettingsDocumentPerCompanyProgramAndUser) {
    ASSERT_EQ(login(*app), 0);
    EXPECT_EQ(app->call("GetFormat", {Variant(u"DEMO"), Variant(u"RESI01")}), Variant(u""));
    execute(session->db(), "INSERT INTO CV_FORMATS VALUES ('DEMO', 'RESI01', '', '<Root>all</Root>')");
    EXPECT_EQ(app->call("GetFormat", {Variant(u"DEMO"), Variant(u"RESI01")}), Variant(u"<Root>all</Root>"));
    execute(session->db(), "INSERT INTO CV_FORMATS VALUES ('DEMO', 'RESI01', 'DS', '<Root>\u6211</Root>')");
    EXPECT_EQ(app->call("GetFormat", {Variant(u"DEMO"), Variant(u"RESI01")}), Variant(u"<Root>\u6211</Root>"));
}

TEST_F(AppServer, BaseLimitedRecordsForUnlimitedAndLimitedUsers) {
    ASSERT_EQ(login(*app), 0);
    auto prefix = std::make_shared<Variant>(Variant(u"M11"));
    auto cond = std::make_shared<Variant>(Variant(u""));
    Variant all = app->call("GetBaseLimitedRecs", {Variant::ref(prefix), Variant::ref(cond), Variant(3)});
    EXPECT_EQ(all[0], Variant(-1));

    execute(session->db(), "UPDATE CV_USERS SET BASELIMITED = 'Y' WHERE USERID = 'DS'");
    execute(session->db(), "INSERT INTO CV_BASELIMITS VALUES ('DS', 'MPSMB', 'R001      '), ('DS', 'MPSMB', 'R003      ')");
    ASSERT_EQ(login(*app), 0);
    *cond = Variant(u"MB001 IN ('R001','R002','R003')");
    Variant limited = app->call("GetBaseLimitedRecs", {Variant::ref(prefix), Variant::ref(cond), Variant(3)});
    EXPECT_EQ(limited[0], Variant(2LL));
    EXPECT_EQ(limited[1][0], Variant(u"R001      "));
    // Every matching row allowed answers "all allowed", whatever number of
    // rows the client holds; none allowed answers 0.
    struct Case {
        const char16_t* condition;
        int clientRows;
        long long expected;
    };
    const Case cases[] = {
        {u"MB001 IN ('R001','R003')", 2, -1},
        {u"MB001 IN ('R001','R003')", 1, -1},
        {u"MB001 = 'R001'", 1, -1},
        {u"MB001 = 'R002'", 1, 0},
        {u"MB001 IN ('R002','R004')", 2, 0},
    };
    for (const Case& c : cases) {
        *cond = Variant(c.condition);
        Variant r = app->call("GetBaseLimitedRecs", {Variant::ref(prefix), Variant::ref(cond), Variant(c.clientRows)});
        EXPECT_EQ(r[0].toInt(), c.expected) << text(Variant(c.condition));
    }
    *cond = Variant(u"1=1; DELETE FROM MPSMB");
    EXPECT_THROW(app->call("GetBaseLimitedRecs", {Variant::ref(prefix), Variant::ref(cond), Variant(3)}), EOleError);
}
