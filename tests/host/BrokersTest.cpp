#include "host/Brokers.h"

#include <gtest/gtest.h>

#include "config/LibStrs.h"
#include "platform/os/FileSystem.h"
#include "tests/host/HostDoubles.h"
#include "tests/support/TestSupport.h"

namespace corvane::host {
namespace {

using namespace doubles;

// A broker of program RESI01 for user QV of company C1 (database DB1),
// owned by a fake form, with a host that hands out all three services.
class BrokersTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.validator = Variant(DispatchRef(validator.object));
        host.lookupWindow = Variant(DispatchRef(lookup.object));
        host.gateway = Variant(DispatchRef(gateway.object));
        broker.ProgramId = "RESI01";
        broker.UserId = "QV";
        broker.CompanyId = "C1";
        broker.CompanyDb = "DB1";
        broker.HostObject = host.ref();
        savedBeep = TBrokers::beepHook();
        TBrokers::beepHook() = [this] { ++beeps; };
    }
    void TearDown() override {
        TBrokers::beepHook() = savedBeep;
        EXPECT_TRUE(owner.dialogs.unexpected().empty()) << "a dialog nobody expected";
    }
    void connect() {
        broker.Validator = host.validator;
        broker.LookupWindow = host.lookupWindow;
        broker.Gateway = host.gateway;
    }
    const ui::MessageDialogRequest& lastDialog() const { return owner.dialogs.dialogs().back().request; }

    // Alert logs of the tests go to a folder of their own.
    corvane::test::TempDir install;
    corvane::test::ScopedRegistry registry{"ClientPath=" + install.path().string()};
    FakeHost host;
    FakeValidator validator;
    FakeLookupWindow lookup;
    FakeGateway gateway;
    FakeOwner owner;
    TBrokers broker{&owner};
    int beeps = 0;
    std::function<void()> savedBeep;
};

// ------------------------------------------------------------- settings

TEST_F(BrokersTest, ANewBrokerAsksForEveryServiceAndHoldsNothing) {
    TBrokers fresh(&owner);
    EXPECT_EQ(fresh.ServiceMask, 15);
    EXPECT_FALSE(fresh.ProgramFlag);
    EXPECT_TRUE(fresh.SysInfo.empty());
    EXPECT_TRUE(fresh.ServerData.empty());
    for (const Variant* service : {&fresh.HostObject, &fresh.Validator, &fresh.LookupWindow, &fresh.Gateway})
        EXPECT_TRUE(service->isEmpty());
}

TEST_F(BrokersTest, SysValuesByNameIgnoringEmptyNames) {
    broker.SetSysValue("SYS001", "2");
    broker.SetSysValue("", "ignored");
    EXPECT_EQ(broker.GetSysValue("sys001"), "2");
    EXPECT_EQ(broker.GetSysValue(""), "");
    EXPECT_EQ(broker.GetSysValue("SYS999"), "");
    EXPECT_EQ(broker.SysInfo.lines().size(), 1u);
}

TEST_F(BrokersTest, MaxRecordIsClampedToZeroToForty) {
    struct Case {
        const char* value;  // nullptr: no key
        int expected;
    };
    const Case cases[] = {{"100", 40}, {"40", 40}, {"7", 7}, {"0", 0}, {nullptr, 0},
                          {"abc", 0},  {"12x", 0}, {"-5", 0}, {" 9 ", 9}};
    for (const Case& c : cases) {
        broker.ServerData.clear();
        if (c.value) broker.ServerData.setValue("MAX_RECORD", c.value);
        EXPECT_EQ(broker.MaxRecord(), c.expected) << (c.value ? c.value : "(absent)");
    }
}

// ------------------------------------------------------------- start-up

TEST_F(BrokersTest, ConnectServicesFetchesTheMaskedServicesOnceAndLoadsProgramInfo) {
    validator.answers["ADMMB/06"] =
        Variant::arrayOf({"资源主档", "RESI01R", "", "", "", "", "", "Y", "", "Resource master"});
    broker.ServiceMask = svValidator | svGateway;
    EXPECT_TRUE(broker.ConnectServices());
    EXPECT_FALSE(broker.Validator.isEmpty());
    EXPECT_TRUE(broker.LookupWindow.isEmpty());
    EXPECT_FALSE(broker.Gateway.isEmpty());
    EXPECT_EQ(broker.ProgramName, "资源主档");
    EXPECT_EQ(broker.ReportProgramId, "RESI01R");
    EXPECT_TRUE(broker.ProgramFlag);
    auto check = validator.recorder.callsOf("CheckValue");
    ASSERT_EQ(check.size(), 1u);
    EXPECT_EQ(check[0].args[0], Variant("ADMMB"));
    EXPECT_EQ(check[0].args[1], Variant("06"));
    EXPECT_EQ(check[0].args[2], Variant("DB1"));
    EXPECT_EQ(check[0].args[3], Variant::arrayOf({"RESI01", "DB1"}));

    broker.ServiceMask = 15;
    EXPECT_TRUE(broker.ConnectServices());
    EXPECT_EQ(host.recorder.callsOf("Com_Validator").size(), 1u);  // not fetched again
    EXPECT_EQ(host.recorder.callsOf("Com_F2Window").size(), 1u);
    EXPECT_EQ(beeps, 0);
}

TEST_F(BrokersTest, EnglishInterfaceTakesTheEnglishProgramName) {
    validator.answers["ADMMB/06"] =
        Variant::arrayOf({"资源主档", "", "", "", "", "", "", "N", "", "Resource master"});
    owner.uiCodePage_ = "437";
    EXPECT_TRUE(broker.ConnectServices());
    EXPECT_EQ(broker.ProgramName, "Resource master");
    EXPECT_FALSE(broker.ProgramFlag);
}

TEST_F(BrokersTest, ShortProgramInfoIsAFailureThatIsLogged) {
    validator.answers["ADMMB/06"] = Variant::arrayOf({"资源主档", "RESI01R"});
    EXPECT_FALSE(broker.ConnectServices());
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(broker.ProgramName, "");
    auto log = corvane::test::readFile(nativePath(AlertLogFileName("Brokers")));
    ASSERT_TRUE(log);
    EXPECT_NE(log->find("ConnectServices failed"), std::string::npos) << *log;
    EXPECT_NE(log->find("2 elements"), std::string::npos) << *log;
}

TEST_F(BrokersTest, HostWithoutServicesLeavesThemAbsent) {
    FakeHost bare;
    broker.HostObject = bare.ref();
    EXPECT_TRUE(broker.ConnectServices());
    EXPECT_TRUE(broker.Validator.isEmpty());
    EXPECT_EQ(broker.ProgramName, "");
    EXPECT_FALSE(broker.LoadSysInfo());
}

TEST_F(BrokersTest, LoadSysInfoTakesTheTwoRowTable) {
    connect();
    Variant table = Variant::array2(0, 1, 0, 2);
    const char* names[] = {"SYS001", "SYS002", "QVX002"};
    const char* values[] = {"1", "/", "Demo"};
    for (int i = 0; i < 3; ++i) {
        table.at(0, i) = names[i];
        table.at(1, i) = values[i];
    }
    gateway.sysInfo = table;
    EXPECT_TRUE(broker.LoadSysInfo());
    EXPECT_EQ(broker.GetSysValue("SYS002"), "/");
    EXPECT_EQ(broker.GetSysValue("QVX002"), "Demo");
    EXPECT_EQ(gateway.recorder.callsOf("GetSysInfo")[0].args[0], Variant("C1"));
    gateway.sysInfo = Variant();
    EXPECT_FALSE(broker.LoadSysInfo());
}

// ------------------------------------------------ without the host's services

TEST_F(BrokersTest, MissingServicesGiveEmptyResultsAndNeverRaise) {
    for (bool withHost : {false, true}) {
        TBrokers bare(&owner);
        FakeHost serviceless;
        if (withHost) bare.HostObject = serviceless.ref();
        bare.ConnectServices();
        Variant result = "untouched";
        std::string seq;
        EXPECT_EQ(bare.GetMessageText("E", "000001"), "") << withHost;
        bare.CallService("SimpleSQL", Variant::arrayOf({"SELECT 1", "A"}), result);
        EXPECT_TRUE(result.isEmpty());
        EXPECT_FALSE(bare.CheckValue("CMSMB", "01", result, Variant::arrayOf({"F01"})));
        EXPECT_FALSE(bare.QueryData("CMSMB", "01", result, Variant::arrayOf({"F01"})));
        bare.QueryMaxSeq(nullptr, "MPSMB", seq, "20240101", "MB001,");
        EXPECT_EQ(seq, "unKnow");
        result = "untouched";
        bare.LookupData("CMSMB", "01", result, false, false, "F", Variant());
        EXPECT_TRUE(result.isEmpty());
        EXPECT_EQ(bare.GetPhrase("abc"), "");
        EXPECT_EQ(bare.GetCalcValue("1+1"), "");
        result = "untouched";
        bare.ShowCharacters(1, 0, result, 0, "", "");
        EXPECT_TRUE(result.isEmpty());
        EXPECT_EQ(bare.GetProgramName("RESI02"), "RESI02");
        EXPECT_FALSE(bare.LoadSysInfo());
        if (!withHost) {
            EXPECT_FALSE(bare.ConnectServices());
            EXPECT_EQ(bare.ExecProgram("RESI02", Variant(), true, result, Variant()), -1);
        }
    }
    EXPECT_EQ(beeps, 0);
}

TEST_F(BrokersTest, MessageWithoutHostShowsAnEmptyText) {
    TBrokers bare(&owner);
    owner.dialogs.queueAnswer(ui::mrOk);
    EXPECT_EQ(bare.ShowMsg("E", "000001", 2, true, 936, {"MB001"}), ui::mrOk);
    EXPECT_EQ(lastDialog().text, " ");
}

// ---------------------------------------------------------------- ShowMsg

TEST_F(BrokersTest, ShowMsgDialogTable) {
    struct Case {
        const char* type;
        ui::MsgDlgType kind;
        unsigned buttons;
        unsigned defaultButton;  // for DefaultButton index 2 (OK)
    };
    using namespace ui;
    const Case cases[] = {
        {"C", MsgDlgType::Warning, mbOK | mbCancel, mbOK},
        {"D", MsgDlgType::Warning, mbYes | mbNo | mbCancel, 0},
        {"E", MsgDlgType::Error, mbOK, mbOK},
        {"I", MsgDlgType::Information, mbOK, mbOK},
        {"Q", MsgDlgType::Confirmation, mbOK | mbCancel, mbOK},
        {"T", MsgDlgType::Error, mbYes | mbNo | mbCancel | mbYesToAll, 0},
        {"W", MsgDlgType::Warning, mbOK | mbCancel, mbOK},
        {"X", MsgDlgType::Custom, mbOK, mbOK},
    };
    for (const Case& c : cases) {
        host.messages[std::string(c.type) + " 000009"] = "text of " + std::string(c.type);
        owner.dialogs.queueAnswer(mrOk);
        broker.ShowMsg(c.type, "000009", 2, true, 936, {});
        const MessageDialogRequest& shown = lastDialog();
        EXPECT_EQ(shown.type, c.kind) << c.type;
        EXPECT_EQ(shown.buttons, c.buttons) << c.type;
        EXPECT_EQ(static_cast<unsigned>(shown.defaultButton), c.defaultButton) << c.type;
        EXPECT_EQ(shown.caption, "Resources");
        EXPECT_EQ(shown.messageType, c.type);
        EXPECT_EQ(shown.messageCode, "000009");
        EXPECT_EQ(shown.fontCharset, 134);
        ASSERT_EQ(shown.buttonCaptions.size(), buttonsInOrder(c.buttons).size());
        for (auto& [button, caption] : shown.buttonCaptions) EXPECT_FALSE(caption.empty());
    }
    EXPECT_EQ(owner.afterDialogs, 8);
}

TEST_F(BrokersTest, ShowMsgFormatsTheHostsTextWithTheArguments) {
    host.messages["E 000002"] = "%s已存在,请重新输入!";
    owner.dialogs.queueAnswer(ui::mrOk);
    EXPECT_EQ(broker.ShowMsg("E", "000002", 2, true, 936, {"资源编号"}), ui::mrOk);
    EXPECT_EQ(lastDialog().text, "资源编号已存在,请重新输入! ");
    EXPECT_EQ(lastDialog().buttonCaptions[0].second, ButtonCaption("OK"));
    auto asked = host.recorder.callsOf("GetMessage");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].args, (std::vector<Variant>{"E", "000002"}));
}

TEST_F(BrokersTest, ShowMsgSurvivesBrokenHostTexts) {
    host.messages["E 000032"] = "100% %s %d failed %";
    owner.dialogs.queueAnswer(ui::mrOk);
    EXPECT_NO_THROW(broker.ShowMsg("E", "000032", 2, true, 936, {"x", "not a number"}));
    EXPECT_EQ(lastDialog().text, "100% x %d failed % ");
}

TEST_F(BrokersTest, QuestionTypeTShowsTheErrorTextAndAsksToGoOn) {
    host.messages["E 000002"] = "%s已存在";
    owner.dialogs.queueAnswer(ui::mrYesToAll);
    EXPECT_EQ(broker.ShowMsg("T", "000002", 2, true, 936, {"A"}), ui::mrYesToAll);
    EXPECT_EQ(lastDialog().text, "A已存在 \r\n是否继续?");
    EXPECT_EQ(host.recorder.callsOf("GetMessage")[0].args[0], Variant("E"));
    EXPECT_EQ(lastDialog().buttonCaptions.back().first, ui::mbYesToAll);
    EXPECT_EQ(lastDialog().buttonCaptions.back().second, ButtonCaption("YesToAll"));
}

TEST_F(BrokersTest, WarningAnsweredOtherThanOkAbortsSilently) {
    host.messages["W 000004"] = "%s不存在,是否继续?";
    owner.dialogs.queueAnswer(ui::mrOk);
    EXPECT_EQ(broker.ShowMsg("W", "000004", 2, true, 936, {"A"}), ui::mrOk);
    owner.dialogs.queueAnswer(ui::mrCancel);
    EXPECT_THROW(broker.ShowMsg("W", "000004", 2, true, 936, {"A"}), EAbort);
    owner.dialogs.queueAnswer(ui::mrCancel);
    EXPECT_EQ(broker.ShowMsg("W", "000004", 2, false, 936, {"A"}), ui::mrCancel);
    owner.dialogs.queueAnswer(ui::mrCancel);
    EXPECT_EQ(broker.ShowMsg("C", "000001", 2, true, 936, {}), ui::mrCancel);  // only W aborts
}

TEST_F(BrokersTest, DefaultButtonFollowsTheCallersIndex) {
    struct Case {
        const char* type;
        int index;
        unsigned expected;
    };
    const Case cases[] = {{"D", 0, ui::mbYes}, {"D", 1, ui::mbNo}, {"D", 3, ui::mbCancel},
                          {"E", 3, 0},         {"T", 9, ui::mbYesToAll}, {"E", 11, 0}, {"E", -1, 0}};
    for (const Case& c : cases) {
        owner.dialogs.queueAnswer(ui::mrCancel);
        broker.ShowMsg(c.type, "000001", c.index, true, 936, {});
        EXPECT_EQ(static_cast<unsigned>(lastDialog().defaultButton), c.expected) << c.type << c.index;
    }
}

TEST_F(BrokersTest, CodePagesDecideConversionBlanksCaptionsAndFont) {
    host.messages["E 000001"] = "%s";
    struct Case {
        const char* uiCodePage;
        const char* sysCodePage;
        int mode;
        const char* text;
        bool captions;
        const char* okCaption;
        int charset;
    };
    const Case cases[] = {
        {"936", "936", 0, "A ", true, "确定", 134},
        // four blanks for BIG5 code pages, one before formatting, six for a converting interface
        {"950", "950", 2, "<B5>A           ", true, "<B5>确定", 136},
        {"936", "950", 4, "A           ", true, "确定", 134},
        {"936", "936", 1, "<GB>A       ", true, "确定", 134},
        {"437", "437", 0, "A       ", false, "", 134},
    };
    for (const Case& c : cases) {
        owner.uiCodePage_ = c.uiCodePage;
        owner.sysCodePage_ = c.sysCodePage;
        owner.convertMode = c.mode;
        owner.dialogs.queueAnswer(ui::mrOk);
        broker.ShowMsg("E", "000001", 2, true, 936, {"A"});
        EXPECT_EQ(lastDialog().text, c.text) << c.uiCodePage << "/" << c.mode;
        EXPECT_EQ(lastDialog().buttonCaptions.empty(), !c.captions) << c.uiCodePage;
        if (c.captions) {
            EXPECT_EQ(lastDialog().buttonCaptions[0].second, c.okCaption) << c.mode;
        }
        EXPECT_EQ(lastDialog().fontCharset, c.charset) << c.mode;
    }
}

// ---------------------------------------------------------------- services

TEST_F(BrokersTest, CallServiceSendsTheCompanyAlong) {
    connect();
    gateway.services["SimpleSQL"] = Variant::arrayOf({Variant::arrayOf({1})});
    Variant result;
    broker.CallService("SimpleSQL", Variant::arrayOf({"SELECT 1 FROM $$ADMNH", "A"}), result);
    EXPECT_EQ(result, Variant::arrayOf({Variant::arrayOf({1})}));
    auto calls = gateway.recorder.callsOf("GETCOUNTER");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[0], Variant("SimpleSQL"));
    EXPECT_EQ(calls[0].args[1], Variant::arrayOf({"SELECT 1 FROM $$ADMNH", "A"}));
    EXPECT_EQ(calls[0].args[2], Variant::arrayOf({"C1", "DB1"}));
}

TEST_F(BrokersTest, GetProgramNameQueriesTheProgramMaster) {
    connect();
    gateway.services["SimpleSQL"] = Variant::arrayOf({Variant::arrayOf({"资源主档", "Resources", "", ""})});
    EXPECT_EQ(broker.GetProgramName("RESI01"), "资源主档");
    auto call = gateway.recorder.callsOf("GETCOUNTER").back();
    EXPECT_EQ(call.args[1], Variant::arrayOf({"SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='RESI01'",
                                              "MB002,MB011,MB012,MB013", "DB1", "N"}));
    owner.uiCodePage_ = "437";
    EXPECT_EQ(broker.GetProgramName("RESI01"), "Resources");
    broker.GetProgramName("O'X");
    EXPECT_EQ(gateway.recorder.callsOf("GETCOUNTER").back().args[1][0],
              Variant("SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='O''X'"));
    gateway.services["SimpleSQL"] = Variant::null();
    EXPECT_EQ(broker.GetProgramName("ZZZ01"), "ZZZ01");
    gateway.services["SimpleSQL"] = Variant::arrayOf({Variant::arrayOf({})});
    EXPECT_EQ(broker.GetProgramName("ZZZ01"), "ZZZ01");
}

TEST_F(BrokersTest, ChecksPassTheBaseDataPermissionFirst) {
    connect();
    broker.ServerData.setValue("BaseLimited", "Y;F01");
    validator.answers["CMSMB/01"] = Variant::arrayOf({"Factory one"});
    Variant result;
    EXPECT_TRUE(broker.CheckValue("CMSMB", "01", result, Variant::arrayOf({"F01"})));
    EXPECT_EQ(result, Variant::arrayOf({"Factory one"}));
    ASSERT_EQ(validator.recorder.calls.size(), 2u);
    EXPECT_EQ(validator.recorder.calls[0].member, "BaseLimited");
    EXPECT_EQ(validator.recorder.calls[0].args[0], Variant("Y;F01"));
    EXPECT_EQ(validator.recorder.calls[1].args,
              (std::vector<Variant>{"CMSMB", "01", "DB1", Variant::arrayOf({"F01"}), Variant()}));
    EXPECT_TRUE(broker.QueryData("CMSMB", "01", result, Variant()));
    EXPECT_EQ(validator.recorder.calls.back().member, "QueryData");
    EXPECT_FALSE(broker.CheckValue("MPSMB", "01", result, Variant()));  // the validator says no
}

TEST_F(BrokersTest, ValidatorFailuresAreFalse) {
    connect();
    validator.answers["CMSMB/01"] = Variant::arrayOf({"x"});
    validator.baseLimitedRaises = true;
    Variant result;
    EXPECT_TRUE(broker.CheckValue("CMSMB", "01", result, Variant()));  // a failing property is ignored
    validator.raise = true;
    EXPECT_FALSE(broker.CheckValue("CMSMB", "01", result, Variant()));
    EXPECT_FALSE(broker.QueryData("CMSMB", "01", result, Variant()));
}

TEST_F(BrokersTest, QueryMaxSeqSendsOneValuePerCommaAndAnEmptyOne) {
    connect();
    std::map<std::string, std::string> fields = {{"MB001", "R01"}, {"MB002", "20240101"}};
    FieldTextReader reader = [&fields](const std::string& name) { return fields[name]; };
    std::string seq;
    broker.QueryMaxSeq(reader, "MPSMB", seq, "20240101", "MB001,MB002,");
    EXPECT_EQ(seq, "0005");
    auto call = validator.recorder.callsOf("QueryMaxSeq").back();
    EXPECT_EQ(call.args[0], Variant("MPSMB"));
    EXPECT_EQ(call.args[1], Variant("MB001,MB002,"));
    EXPECT_EQ(call.args[2], Variant::arrayOf({"R01", "20240101", ""}));
    EXPECT_EQ(call.args[3], Variant("20240101"));
    EXPECT_EQ(call.args[4], Variant("RESI01"));
    EXPECT_EQ(call.args[5], Variant("DB1"));

    validator.maxSeqResult = false;
    broker.QueryMaxSeq(reader, "MPSMB", seq, "20240101", "MB001");
    EXPECT_EQ(seq, "unKnow");
    EXPECT_EQ(validator.recorder.callsOf("QueryMaxSeq").back().args[2], Variant::arrayOf({""}));
    validator.maxSeqResult = true;
    validator.raise = true;
    broker.QueryMaxSeq(reader, "MPSMB", seq, "20240101", "MB001,");
    EXPECT_EQ(seq, "unKnow");
}

TEST_F(BrokersTest, LookupDataSendsTheNineteenElementRequest) {
    connect();
    broker.ServerData.setValue("BaseLimited", "Y");
    owner.rights = {35, 32};
    Variant rows;
    broker.LookupData("CMSMB", "01", rows, true, false, "F0", Variant::arrayOf({"p"}));
    EXPECT_EQ(rows, lookup.rows);
    auto call = lookup.recorder.callsOf("F2GetData");
    ASSERT_EQ(call.size(), 1u);
    const Variant& a = call[0].args[0];
    ASSERT_EQ(a.lowBound(), 0);
    ASSERT_EQ(a.highBound(), 18);
    const Variant expected[] = {"CMSMB", "01", Variant::arrayOf({"p"}), false, "F0", "C1", "DB1", 0x77, 1, true,
                                Variant(), "", "", "", "Y", true, true, host.ref(), "QV"};
    for (int i = 0; i <= 18; ++i) EXPECT_EQ(a[i], expected[i]) << "element " << i;

    owner.rights = {34};
    broker.LookupData("CMSMB", "01", rows, false, true, "", Variant());
    Variant b = lookup.recorder.callsOf("F2GetData").back().args[0];
    EXPECT_EQ(b[15], Variant(false));
    EXPECT_EQ(b[16], Variant(true));
}

TEST_F(BrokersTest, LookupDataDuringTheLookupControlExchange) {
    connect();
    broker.ServerData.setValue("BaseLimited", "N");
    Variant rows = "untouched";
    owner.f2 = 1;
    broker.LookupData("CMSMB", "01", rows, false, false, "F", Variant::arrayOf({"p"}));
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_EQ(owner.lookupOpenParams, Variant::arrayOf({"CMSMB", "01", Variant::arrayOf({"p"}), 1, "F", "DB1",
                                                        Variant(), "", "", "", "N", "", "", "9"}));
    owner.f2 = 2;
    owner.returned = Variant::arrayOf({Variant::arrayOf({"F02"})});
    broker.LookupData("CMSMB", "01", rows, false, false, "F", Variant());
    EXPECT_EQ(rows, owner.returned);
    EXPECT_TRUE(lookup.recorder.calls.empty());
}

TEST_F(BrokersTest, PhraseCalculatorAndCharacters) {
    connect();
    EXPECT_EQ(broker.GetPhrase("abc"), "abc phrase");
    EXPECT_EQ(lookup.recorder.callsOf("GetPhrase2")[0].args,
              (std::vector<Variant>{"QV", "C1", 0x77, "abc"}));
    lookup.phraseStatus = -1;
    EXPECT_EQ(broker.GetPhrase("abc"), "");

    EXPECT_EQ(broker.GetCalcValue("85/2"), "42.5");
    lookup.calcRaises = true;
    host.messages["E 000032"] = "%s";
    owner.dialogs.queueAnswer(ui::mrOk);
    EXPECT_EQ(broker.GetCalcValue("85/2"), "");
    EXPECT_EQ(lastDialog().text, "请更新F2WindowC.dll ");

    Variant result;
    broker.ShowCharacters(3, 1, result, 0, "", "");
    EXPECT_EQ(result, Variant("chars"));
    EXPECT_EQ(lookup.recorder.callsOf("ShowCharaters")[0].args, (std::vector<Variant>{"QV", "C1", 3, 1, "119"}));
    broker.ShowCharacters(3, 1, result, 500, "U2", "C2");
    EXPECT_EQ(lookup.recorder.callsOf("ShowCharaters")[1].args, (std::vector<Variant>{"U2", "C2", 3, 1, "500"}));
}

TEST_F(BrokersTest, ExecProgramAsksTheHostAndShowsFailures) {
    connect();
    gateway.services["SimpleSQL"] = Variant::arrayOf({Variant::arrayOf({"工单维护", "", "", ""})});
    host.messages["E 000032"] = "%s";
    Variant result;
    EXPECT_EQ(broker.ExecProgram("MOCI02", "P", true, result, Variant()), 0);
    EXPECT_EQ(result, Variant("opened"));
    auto call = host.recorder.callsOf("ExecWork").back();
    EXPECT_EQ(call.args[0], Variant::arrayOf({"QV", "C1", "MOCI02", 0x77}));
    EXPECT_EQ(call.args[1], Variant("P"));
    EXPECT_EQ(call.args[2], Variant::arrayOf({0, 4, Variant()}));
    EXPECT_EQ(call.args[3], Variant(2));
    EXPECT_TRUE(owner.dialogs.dialogs().empty());

    struct Case {
        std::int64_t status;
        std::string text;
    };
    const Case cases[] = {
        {-1, "[工单维护]作业程序文档不存在! "},
        {-5, "[工单维护]作业程序无运行作业权限! "},
        {-7, "[工单维护]作业程序发生不可预知的错误! "},
        {-9, " "},
    };
    for (const Case& c : cases) {
        host.execStatus = c.status;
        owner.dialogs.queueAnswer(ui::mrOk);
        EXPECT_EQ(broker.ExecProgram("MOCI02", Variant(), true, result, Variant::arrayOf({1, 0, Variant()})),
                  c.status);
        EXPECT_EQ(lastDialog().messageCode, "000032");
        EXPECT_EQ(lastDialog().text, c.text) << c.status;
    }
    std::size_t shown = owner.dialogs.dialogs().size();
    broker.ExecProgram("MOCI02", Variant(), false, result, Variant());
    EXPECT_EQ(owner.dialogs.dialogs().size(), shown);
}

}  // namespace
}  // namespace corvane::host
