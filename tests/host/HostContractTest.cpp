#include "host/HostContract.h"

#include <gtest/gtest.h>

#include "platform/core/CodePage.h"
#include "platform/core/Exceptions.h"
#include "tests/host/HostDoubles.h"
#include "tests/support/TestSupport.h"

namespace corvane::host {
namespace {

using namespace doubles;

Variant wide(const char* text) { return Variant(codePageToUtf16(text, CP_GBK)); }

// An object that records every call and answers from a table; members
// with by-reference arguments write "<member> out" into the last one.
struct Recording {
    Recorder recorder;
    std::map<std::string, Variant> answers;
    std::shared_ptr<com::DispatchObject> object = std::make_shared<com::DispatchObject>("Server");

    explicit Recording(std::initializer_list<const char*> members) {
        for (const char* member : members)
            object->addMethod(member, [this, name = std::string(member)](Args args) {
                recorder.record(name, args);
                for (Variant& a : args)
                    if (a.isByRef()) a.assignThrough(name + " out");
                return answers[name];
            });
    }
    Variant ref() const { return Variant(DispatchRef(object)); }
};

TEST(HostContractTest, AbsentObjectsRaiseOnEveryCall) {
    for (const Variant& held : {Variant(), Variant(5), Variant(DispatchRef())}) {
        HostObject host(held);
        EXPECT_TRUE(host.absent());
        EXPECT_THROW(host.dependencyVersion(), EOleError);
        EXPECT_THROW(GatewayService(held).getSysInfo("C1"), EOleError);
    }
}

TEST(HostContractTest, ApplicationServerCallsSendWideTexts) {
    Recording server({"Connect", "SvrData", "GetRecCount", "GetBaseLimitedRecs", "GetFormat",
                      "LoadTable", "InsertConTable", "DeleteConTable", "ChangeConName", "SetTopRow"});
    server.answers["Connect"] = 0;
    server.answers["SvrData"] = wide("USER_GROUP=G1\r\nMAX_RECORD=7");
    // One member whatever the case it is called by ("Whatis", "WhatIs").
    server.object->addMethod("WHATIS", [&server](Args args) {
        server.recorder.record("WhatIs", args);
        return arg(args, 0) == wide("TODAY") ? wide("20240305") : Variant(1);
    });
    server.answers["GetRecCount"] = 123;
    server.answers["GetFormat"] = wide("<xml/>");
    server.answers["InsertConTable"] = wide("");
    server.answers["DeleteConTable"] = wide("方案不存在");
    AppServer app(server.ref());
    EXPECT_EQ(app.connect(Variant::arrayOf({wide("RESI01")})), 0);
    EXPECT_EQ(app.svrData(), "USER_GROUP=G1\r\nMAX_RECORD=7");
    EXPECT_EQ(app.today(), "20240305");
    EXPECT_EQ(app.sqlType(), 1);
    EXPECT_EQ(app.getRecCount(), 123);
    std::string prefix = "R", parent = "1=1";
    app.getBaseLimitedRecs(prefix, parent, 10);
    EXPECT_EQ(prefix, "GetBaseLimitedRecs out");
    EXPECT_EQ(app.getFormat("C1", "RESI01"), u"<xml/>");
    app.loadTable("QV", "RESI01");
    EXPECT_EQ(app.insertConTable(Variant::arrayOf({"n"})), "");
    EXPECT_EQ(app.deleteConTable(Variant::arrayOf({"n"})), "方案不存在");
    app.changeConName(Variant::arrayOf({"a"}), Variant::arrayOf({"b"}));
    app.setTopRow(200);

    std::map<std::string, std::vector<Variant>> sent;
    for (const Call& call : server.recorder.calls) sent[call.member] = call.args;
    auto whatIs = server.recorder.callsOf("WhatIs");
    ASSERT_EQ(whatIs.size(), 2u);
    EXPECT_EQ(whatIs[0].args, std::vector<Variant>{wide("TODAY")});
    EXPECT_EQ(whatIs[1].args, std::vector<Variant>{wide("SQLTYPE")});
    EXPECT_EQ(sent["GetBaseLimitedRecs"], (std::vector<Variant>{wide("R"), wide("1=1"), 10}));
    EXPECT_EQ(sent["GetFormat"], (std::vector<Variant>{wide("C1"), wide("RESI01")}));
    EXPECT_EQ(sent["LoadTable"], std::vector<Variant>{Variant::arrayOf({wide("QV"), wide("RESI01")})});
    EXPECT_EQ(sent["ChangeConName"], (std::vector<Variant>{Variant::arrayOf({"a"}), Variant::arrayOf({"b"})}));
    EXPECT_EQ(sent["SetTopRow"], std::vector<Variant>{200});
}

TEST(HostContractTest, HostObjectCalls) {
    Recording host({"GetMessage", "ExecWork", "CallHelp", "Connect"});
    host.answers["GetMessage"] = "%s不存在";
    host.answers["ExecWork"] = -3;
    HostObject object(host.ref());
    EXPECT_EQ(object.getMessage("E", "000001"), "%s不存在");
    Variant result;
    EXPECT_EQ(object.execWork(Variant::arrayOf({"QV"}), "P", Variant::arrayOf({0, 4, Variant()}), result), -3);
    EXPECT_EQ(result, Variant("ExecWork out"));
    object.callHelp("RES", "11011003");
    object.connect();
    std::map<std::string, std::vector<Variant>> sent;
    for (const Call& call : host.recorder.calls) sent[call.member] = call.args;
    EXPECT_EQ(sent["ExecWork"][3], Variant(2));
    EXPECT_EQ(sent["CallHelp"], std::vector<Variant>{Variant::arrayOf({"RES", "11011003"})});
    EXPECT_TRUE(sent.count("Connect"));
}

}  // namespace
}  // namespace corvane::host
