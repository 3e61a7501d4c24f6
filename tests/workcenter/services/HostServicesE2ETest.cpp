// The host's service objects against the real appserver: check codes,
// lookups with scripted picks, phrases, the calculator, the gateway.

#include "workcenter/services/HostServices.h"

#include <gtest/gtest.h>

#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "tests/appserver/ServerProcess.h"
#include "tests/support/TestSupport.h"

using namespace corvane;
using namespace corvane::host;

namespace {

class HostServicesE2E : public ::testing::Test {
protected:
    void SetUp() override {
        server = std::make_unique<test::ServerProcess>((dir / "host.db").string());
        services = connectHostServices("127.0.0.1", server->port(), std::make_shared<ScriptedChooser>(picks));
    }
    bool check(const char* member, const char* table, const char* code, Variant params, Variant& result) {
        auto cell = std::make_shared<Variant>();
        // The module's texts are GBK byte strings; they reach the server as such.
        Variant ok = services.validator->call(member, {Variant(table), Variant(code), Variant("DEMO"), std::move(params),
                                                       Variant::ref(cell)});
        result = *cell;
        return ok.toBool();
    }
    Variant lookupArray(const char* table, const char* kind, const char* typed) {
        Variant a = Variant::array(0, 18);
        a.at(0) = Variant(table);
        a.at(1) = Variant(kind);
        a.at(4) = Variant(typed);
        a.at(5) = Variant("DEMO");
        a.at(6) = Variant("DEMO");
        return a;
    }
    test::TempDir dir;
    std::unique_ptr<test::ServerProcess> server;
    std::deque<Variant> picks;
    HostServiceObjects services;
};

}  // namespace

TEST_F(HostServicesE2E, ValidatorAnswersTheModulesChecks) {
    services.validator->putProperty("BaseLimited", Variant("N"));
    EXPECT_EQ(services.validator->getProperty("BaseLimited"), Variant("N"));
    Variant r;
    EXPECT_TRUE(check("CheckValue", "MPSMB", "01", Variant::arrayOf({Variant("R001"), Variant("")}), r));
    EXPECT_FALSE(check("CheckValue", "MPSMB", "01", Variant::arrayOf({Variant("R999"), Variant("")}), r));
    EXPECT_TRUE(check("CheckValue", "CMSMB", "01", Variant::arrayOf({Variant("F01")}), r));
    EXPECT_EQ(utf16ToUtf8(r[0].toWide()), "\xe7\xac\xac\xe4\xb8\x80\xe5\xb7\xa5\xe5\x8e\x82");  // 第一工厂
    EXPECT_TRUE(check("CheckValue", "CMSMB", "02", Variant::arrayOf({Variant("0")}), r));
    EXPECT_EQ(r[0].toWide(), u"F01");
    EXPECT_EQ(r.length(), 2);
    EXPECT_TRUE(check("CheckValue", "ADMMB", "06", Variant::arrayOf({Variant("RESI01"), Variant("DEMO")}), r));
    EXPECT_TRUE(check("QueryData", "NUMFD", "01", Variant::arrayOf({Variant("MPSMB")}), r));
    EXPECT_EQ(r.length(), 3);
    EXPECT_THROW(check("CheckValue", "NOPE", "01", Variant(), r), EOleError);

    auto seq = std::make_shared<Variant>();
    Variant ok = services.validator->call("QueryMaxSeq", {Variant("MPSMB"), Variant("MB001"), Variant::arrayOf({Variant("")}),
                                                          Variant("Q"), Variant("RESI01"), Variant("DEMO"), Variant::ref(seq)});
    EXPECT_TRUE(ok.toBool());
    EXPECT_EQ(seq->toWide(), u"Q000000001");
}

TEST_F(HostServicesE2E, LookupWindowReturnsThePickedRows) {
    picks = {Variant(2), Variant()};
    Variant rows = services.lookupWindow->call("F2GetData", {lookupArray("CMSMB", "01", "")});
    ASSERT_TRUE(rows.isArray());
    ASSERT_EQ(rows.length(), 1);
    EXPECT_EQ(rows[0][0].toWide(), u"F02");
    EXPECT_TRUE(services.lookupWindow->call("F2GetData", {lookupArray("CMSMB", "01", "")}).isNullOrEmpty());
    // Nothing queued: the script fails instead of hanging.
    EXPECT_THROW(services.lookupWindow->call("F2GetData", {lookupArray("CMSMB", "01", "F0")}), EOleError);

    picks = {Variant(1)};
    auto text = std::make_shared<Variant>(Variant(""));
    Variant status = services.lookupWindow->call("GetPhrase2", {Variant("DS"), Variant("DEMO"), Variant(0), Variant::ref(text)});
    EXPECT_GE(status.toInt(), 0);
    EXPECT_FALSE(text->toWide().empty());
    picks = {Variant()};
    EXPECT_LT(services.lookupWindow->call("GetPhrase2", {Variant("DS"), Variant("DEMO"), Variant(0), Variant::ref(text)}).toInt(), 0);

    auto expression = std::make_shared<Variant>(Variant("(3+4)*2.5"));
    EXPECT_EQ(services.lookupWindow->call("GetCalcValue", {Variant::ref(expression), Variant(0)}), Variant("17.5"));
    EXPECT_EQ(services.lookupWindow->call("GetCalcValue", {Variant("2/0"), Variant(0)}), Variant(""));

    picks = {Variant(3)};
    Variant ch = services.lookupWindow->call("ShowCharaters", {Variant("DS"), Variant("DEMO"), Variant("1"), Variant(false), Variant("0")});
    EXPECT_EQ(ch.toWide(), u"\u2103");
}

TEST_F(HostServicesE2E, GatewayRunsServicesAndCompanySettings) {
    Variant rows = services.gateway->call(
        "GETCOUNTER", {Variant("SimpleSql"),
                       Variant::arrayOf({Variant("SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='RESI01'"),
                                         Variant("MB002,MB011,MB012,MB013"), Variant("DEMO"), Variant("N")}),
                       Variant::arrayOf({Variant("DEMO"), Variant("DEMO")})});
    EXPECT_EQ(rows[0][1].toWide(), u"Resource Master Maintenance");
    auto company = std::make_shared<Variant>(Variant("DEMO"));
    Variant info = services.gateway->call("GetSysInfo", {Variant::ref(company)});
    ASSERT_EQ(info.dimCount(), 2);
    EXPECT_GT(info.highBound(2), 10);
}
