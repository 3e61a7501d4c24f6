// The real appserver on a free loopback port with a fresh database, driven
// through the TCP proxy the module uses: login, login data, every
// provider, apply with reconcile and conflict, the gateway services and
// the dialect translation.

#include <gtest/gtest.h>

#include "platform/com/RemoteDispatch.h"
#include "platform/com/RemoteServerObjects.h"
#include "platform/core/CodePage.h"
#include "tests/appserver/ServerProcess.h"
#include "tests/appserver/TestClient.h"
#include "tests/support/TestSupport.h"

using namespace corvane;

namespace {

class AppServerE2E : public ::testing::Test {
protected:
    void SetUp() override { server = std::make_unique<test::ServerProcess>((dir / "e2e.db").string()); }
    DispatchRef create(const std::string& progId) { return createRemoteObject("127.0.0.1", server->port(), progId); }
    test::TempDir dir;
    std::unique_ptr<test::ServerProcess> server;
};

}  // namespace

TEST_F(AppServerE2E, LoginDataProvidersAndApplyOverTcp) {
    DispatchRef app = create("CopIS01S.Class1");
    EXPECT_EQ(test::login(*app, u"GUEST"), 5);
    ASSERT_EQ(test::login(*app), 0);
    std::string lines = utf16ToUtf8(app->call("SvrData", {}).toWide());
    EXPECT_NE(lines.find("M11_TABLE=MPSMB\r\n"), std::string::npos);
    EXPECT_NE(lines.find("POWER_DATA=,Y,N,"), std::string::npos);
    EXPECT_EQ(app->call("WHATIS", {Variant(u"TODAY")}).toWide().size(), 17u);

    // pvdMain: first packet, then the rest on demand.
    int recs = 0;
    DataPacket first = test::open(*app, u"pvdMain", u"", u"MB001");
    EXPECT_EQ(first.rows.size(), 20u);
    DataPacket rest = test::fetch(*app, u"pvdMain", -1, false, &recs);
    EXPECT_EQ(recs, 280);
    EXPECT_TRUE(rest.endOfData);
    EXPECT_EQ(app->call("GetRecCount", {}), Variant(300LL));

    // Apply, then a conflicting apply from a second client.
    DispatchRef other = create("COPIS01S.CLASS1");
    ASSERT_EQ(test::login(*other), 0);
    DataPacket mine = test::open(*app, u"pvdMain", u"MPSMB.MB001='R005'", u"");
    DataPacket theirs = test::open(*other, u"pvdMain", u"MPSMB.MB001='R005'", u"");
    const auto& c = mine.columns;
    ASSERT_EQ(test::apply(*other, Delta{c, {test::modifyRow(c, theirs.rows[0], {{"MB002", Variant(u"\u4ed6\u4eba")}})}}).errorCount, 0);
    int errors = 0;
    ApplyResult conflict = test::apply(*app, Delta{c, {test::modifyRow(c, mine.rows[0], {{"MB002", Variant(u"mine")}})}}, 0, &errors);
    EXPECT_EQ(errors, 1);
    ASSERT_EQ(conflict.errors.size(), 1u);
    EXPECT_EQ(conflict.errors[0].errorCode, 1);
    // Re-reading gives the stored row, which then applies cleanly.
    DataPacket fresh = test::open(*app, u"pvdMain", u"MPSMB.MB001='R005'", u"");
    EXPECT_EQ(test::valueOf(c, fresh.rows[0], "MB002"), Variant(u"\u4ed6\u4eba"));
    EXPECT_EQ(test::apply(*app, Delta{c, {test::modifyRow(c, fresh.rows[0], {{"MB002", Variant(u"mine")}})}}).errorCount, 0);

    // pvdConSave through LoadTable/InsertConTable, pvdColor read-only.
    Variant scheme = Variant::arrayOf({Variant(u"\u65b9\u6848A"), Variant(u"DS"), Variant(u"20261211"), Variant(u"RESI01"),
                                       Variant(u"500\a"), Variant(1), Variant(false)});
    EXPECT_EQ(app->call("InsertConTable", {scheme}), Variant(u""));
    app->call("LoadTable", {Variant::arrayOf({Variant(u"DS"), Variant(u"RESI01")})});
    DataPacket schemes = test::open(*app, u"pvdConSave", u"", u"");
    ASSERT_EQ(schemes.rows.size(), 1u);
    EXPECT_EQ(schemes.rows[0][0], Variant(u"\u65b9\u6848A"));
    EXPECT_EQ(test::open(*app, u"pvdColor", u"MPSMB.MB003='F03'", u"", -1).rows.size(), 0u + 100u);

    // Server errors arrive as EOleError with the server's message.
    try {
        test::open(*app, u"pvdMain", u"1=1; DROP TABLE MPSMB", u"");
        FAIL() << "a second statement was accepted";
    } catch (const EOleError& e) {
        EXPECT_NE(std::string(e.what()).find("separator"), std::string::npos) << e.what();
    }
    EXPECT_THROW(app->call("NoSuchMember", {}), EOleError);
    EXPECT_THROW(create("Nobody.Class1"), EOleError);
}

TEST_F(AppServerE2E, GatewayAndLookupServerOverTcp) {
    DispatchRef gateway = create("CorvaneGateway.Class1");
    Variant companies = Variant::arrayOf({Variant(u"DEMO"), Variant(u"DEMO")});
    Variant rows = gateway->call("GETCOUNTER", {Variant(u"SimpleSql"),
                                                Variant::arrayOf({Variant(u"select top 2 MB001,MB002 from $$CMSMB CMSMB order by MB001"),
                                                                  Variant(u"MB001,MB002"), Variant(u"DEMO"), Variant(u"N")}),
                                                companies});
    ASSERT_EQ(rows.length(), 2);
    EXPECT_EQ(rows[1][0], Variant(u"F02"));
    EXPECT_THROW(gateway->call("GETCOUNTER", {Variant(u"SimpleSQL"), Variant::arrayOf({Variant(u"DELETE FROM MPSMB"), Variant(u"")}),
                                              companies}),
                 EOleError);
    gateway->call("GETCOUNTER", {Variant(u"TransactionSQL"),
                                 Variant::arrayOf({Variant::arrayOf({Variant(u"INSERT INTO $$ATTACH (Parent, CompanyID, KeyValues, SeqNo) "
                                                                             u"VALUES ('RESI01','DEMO','R001',1)")}),
                                                   Variant(u"")}),
                                 companies});
    Variant attached = gateway->call("GETCOUNTER", {Variant(u"SimpleSql"),
                                                    Variant::arrayOf({Variant(u" SELECT DISTINCT KeyValues FROM ATTACH WHERE Parent = 'RESI01'"),
                                                                      Variant(u"KeyValues")}),
                                                    companies});
    EXPECT_EQ(attached[0][0], Variant(u"R001"));

    auto result = std::make_shared<Variant>();
    EXPECT_EQ(gateway->call("CheckValue", {Variant(u"CMSMB"), Variant(u"02"), Variant(u"DEMO"), Variant::arrayOf({Variant(u"0")}),
                                           Variant::ref(result)}),
              Variant(true));
    EXPECT_EQ((*result)[0], Variant(u"F01"));
    auto company = std::make_shared<Variant>(Variant(u"DEMO"));
    Variant info = gateway->call("GetSysInfo", {Variant::ref(company)});
    EXPECT_EQ(info.dimCount(), 2);

    DispatchRef lookup = create("F2WindowS.Class1");
    Variant candidates = lookup->call("F2Query", {Variant(u"CMSMB"), Variant(u"01"), Variant(u"")});
    EXPECT_EQ(candidates[1].length(), 3);
}

TEST_F(AppServerE2E, RegisteredProgIdsCreateServerObjects) {
    com::ProgIdRegistry& registry = com::ProgIdRegistry::instance();
    com::registerRemoteServerObjects(registry, "127.0.0.1", server->port());
    DispatchRef app = com::createOleObject("copis01s.class1");
    EXPECT_EQ(test::login(*app), 0);
    DispatchRef lookup = com::createOleObject("F2WINDOWS.CLASS1");
    EXPECT_EQ(lookup->call("GetPhrases", {Variant(u"DS")}).length(), 5);
    for (const char* id : {"COPIS01S.Class1", "F2WindowS.Class1", "CorvaneGateway.Class1"}) registry.unregister(id);
}
