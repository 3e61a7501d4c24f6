#include <gtest/gtest.h>

#include "host/DLLFunc.h"
#include "host/DLLMTCtrller.h"
#include "platform/com/ProgIdRegistry.h"
#include "platform/core/CodePage.h"
#include "platform/ui/Application.h"
#include "tests/host/HostDoubles.h"
#include "tests/support/TestSupport.h"
#include "tests/workcenter/testp01/TestP01Form.h"

namespace corvane::host {
namespace {

using namespace doubles;
using testp01::TestP01Form;

std::unique_ptr<ControlledForm> newTestForm() { return std::make_unique<TestP01Form>(); }

const char* const kHostTooOld = "CorvaneWorkCenter version too old,please update.";
const char* const kProgramTooOld = "This program's version is too old, please update.";
const char* const kVersionFailed = "CorvaneWorkCenter version too old,please update!";

// A controller from GetController with the test form registered, a host
// reporting 8000, and a timeline of the form's own handlers and the
// events the host receives ("event 256").
class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedFormClass = frmRadicalClass;
        frmRadicalClass = &newTestForm;
        controller.reset(GetController());
        controller->HostObject = host.ref();
        controller->OnHostEvent = [this, self = controller.get()](std::int32_t code, TDLLBaseController& sender) {
            EXPECT_EQ(&sender, self);
            auto* form = static_cast<TestP01Form*>(static_cast<TDLLMTCtrller*>(self)->form());
            (form ? form->log() : orphanLog).push_back("event " + std::to_string(code));
            events.push_back(code);
        };
        controller->SetDialogService(&dialogs);
    }
    void TearDown() override {
        controller.reset();
        frmRadicalClass = savedFormClass;
        EXPECT_TRUE(dialogs.unexpected().empty());
    }

    TestP01Form* form() const { return static_cast<TestP01Form*>(mt().form()); }
    TDLLMTCtrller& mt() const { return static_cast<TDLLMTCtrller&>(*controller); }
    Variant loginParams() const { return Variant::arrayOf({"QV", "C1", "DB1", 0, ""}); }
    void execute() {
        ASSERT_EQ(controller->Execute(loginParams()), 0);
        form()->onDeleted = [this] { ++formsDeleted; };
        form()->log().clear();
        events.clear();
    }
    std::vector<std::string> dialogTexts() const {
        std::vector<std::string> texts;
        for (auto& record : dialogs.dialogs()) texts.push_back(record.request.text);
        return texts;
    }

    corvane::test::TempDir install;
    corvane::test::ScopedRegistry registry{"ClientPath=" + install.path().string()};
    FakeHost host;
    ui::ScriptedDialogService dialogs;
    std::unique_ptr<TDLLBaseController> controller;
    std::vector<std::int32_t> events;
    std::vector<std::string> orphanLog;
    int formsDeleted = 0;
    FormClass savedFormClass = nullptr;
};

TEST_F(ControllerTest, RegistrationsMustBeSet) {
    ControllerClass saved = DLLControllerClass;
    DLLControllerClass = nullptr;
    try {
        GetController();
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "QVX DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    }
    DLLControllerClass = saved;

    frmRadicalClass = nullptr;
    try {
        controller->Execute(loginParams());
        ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
        EXPECT_STREQ(error.what(), "QVX DLL Internal Error :\rNot Assign \"frmRadicalClass\" varible");
    }
    EXPECT_TRUE(controller->IsFormFreed());
    EXPECT_TRUE(events.empty());
}

TEST_F(ControllerTest, WithoutAFormEveryOperationIsHarmless) {
    std::u16string title = u"kept";
    controller->GetHostTitle(title);
    EXPECT_EQ(title, u"kept");
    EXPECT_FALSE(controller->GetFormVisible());
    controller->SetFormVisible(-1);
    EXPECT_EQ(controller->GetFormHandle(), 0);
    EXPECT_EQ(controller->SetParameter(Variant::arrayOf({0, "A001"})), -1);
    EXPECT_EQ(controller->SetRunMode(1, 255, Variant()), -1);
    Variant result = "kept";
    controller->ShowModalForm(result);
    EXPECT_EQ(result, Variant("kept"));
    controller->FreeForm(false);
    Variant info = "kept";
    EXPECT_EQ(controller->GetSessionInfo(info), -1);
    EXPECT_EQ(info, Variant("kept"));
    EXPECT_TRUE(controller->IsFormFreed());
    controller->ProcessMessages();
    std::vector<std::string> output;
    EXPECT_FALSE(controller->ScriptCommand("dump", "state", output));
    EXPECT_TRUE(events.empty());
}

TEST_F(ControllerTest, ExecuteCreatesTheFormChecksTheHostAndStartsIt) {
    ASSERT_EQ(controller->Execute(loginParams()), 0);
    ASSERT_TRUE(form());
    EXPECT_EQ(events, std::vector<std::int32_t>{heCreated});
    EXPECT_EQ(form()->log(), (std::vector<std::string>{"event 256", "initialize"}));
    EXPECT_EQ(form()->ModulePath, moduleFileName());
    EXPECT_FALSE(form()->ModulePath.empty());
    EXPECT_EQ(form()->broker().HostObject, host.ref());
    EXPECT_EQ(form()->broker().UserId, "QV");
    EXPECT_EQ(form()->dialogService(), &dialogs);
    EXPECT_FALSE(controller->IsFormFreed());

    form()->initializeResult = false;
    EXPECT_EQ(controller->Execute(loginParams()), -1);
    EXPECT_EQ(events, std::vector<std::int32_t>{heCreated});  // created once
}

TEST_F(ControllerTest, HostOfAnotherVersionGetsTwoMessagesAndNoForm) {
    struct Case {
        Variant version;
        bool hasProperty;
        std::vector<std::string> messages;
        std::string error;
    };
    const Case cases[] = {
        {7999, true, {kHostTooOld, kVersionFailed}, std::string(kVersionFailed) + kHostTooOld},
        {8001, true, {kProgramTooOld, kVersionFailed}, std::string(kVersionFailed) + kProgramTooOld},
        {Variant(), false, {kVersionFailed}, ""},
    };
    for (const Case& c : cases) {
        FakeHost other(c.hasProperty);
        other.version = c.version;
        controller->HostObject = other.ref();
        dialogs.clear();
        for (std::size_t i = 0; i < c.messages.size(); ++i) dialogs.queueAnswer(ui::mrOk);
        try {
            controller->Execute(loginParams());
            ADD_FAILURE() << "no error";
        } catch (const std::exception& error) {
            if (!c.error.empty()) {
                EXPECT_EQ(error.what(), c.error);
            }
            EXPECT_EQ(std::string(error.what()).rfind(kVersionFailed, 0), 0u);
        }
        EXPECT_EQ(dialogTexts(), c.messages);
        EXPECT_TRUE(controller->IsFormFreed());
        EXPECT_TRUE(events.empty());
    }
}

TEST_F(ControllerTest, ASecondExecuteAfterAFailedCheckChecksAgain) {
    host.version = 7999;
    for (int attempt = 0; attempt < 2; ++attempt) {
        dialogs.queueAnswer(ui::mrOk);
        dialogs.queueAnswer(ui::mrOk);
        EXPECT_ANY_THROW(controller->Execute(loginParams()));
    }
    EXPECT_EQ(dialogs.dialogs().size(), 4u);
    EXPECT_TRUE(events.empty());
    host.version = 8000;
    EXPECT_EQ(controller->Execute(loginParams()), 0);
    EXPECT_EQ(events, std::vector<std::int32_t>{heCreated});
}

TEST_F(ControllerTest, EmptyHostObjectFailsTheCheck) {
    controller->HostObject = Variant();
    dialogs.queueAnswer(ui::mrOk);
    EXPECT_ANY_THROW(controller->Execute(loginParams()));
    EXPECT_EQ(dialogTexts(), std::vector<std::string>{kVersionFailed});
    EXPECT_TRUE(controller->IsFormFreed());
}

TEST_F(ControllerTest, EventsRelayAfterTheFormsOwnHandlersAndHooksAreInstalledOnce) {
    execute();
    controller->Execute(loginParams());  // a second Execute does not hook again
    form()->log().clear();
    controller->SetFormVisible(-1);
    EXPECT_TRUE(controller->GetFormVisible());
    controller->SetFormVisible(0);
    EXPECT_EQ(form()->log(), (std::vector<std::string>{"show", "event 272", "front", "hide", "event 288"}));

    form()->log().clear();
    form()->setWindowState(WindowState::wsMinimized);
    controller->SetFormVisible(1);
    EXPECT_EQ(form()->windowState(), WindowState::wsNormal);

    // The person closes the window; the form asks to be freed.
    form()->log().clear();
    form()->close();
    EXPECT_EQ(form()->log(), (std::vector<std::string>{"close", "event 320"}));
    EXPECT_FALSE(controller->IsFormFreed());  // freed once the event is over
    controller->ProcessMessages();
    EXPECT_TRUE(controller->IsFormFreed());
    EXPECT_EQ(formsDeleted, 1);
    EXPECT_EQ(controller->GetFormHandle(), 0);
    EXPECT_EQ(events, (std::vector<std::int32_t>{272, 288, 272, 320, 304}));
    EXPECT_EQ(controller->ResultCode, 1);  // set by the form's close handler
}

TEST_F(ControllerTest, FreeFormClosesUnlessSilent) {
    struct Case {
        bool silent;
        std::vector<std::int32_t> events;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {false, {320, 304}, {"close", "event 320", "destroy", "event 304"}},
        {true, {304}, {"destroy", "event 304"}},
    };
    for (const Case& c : cases) {
        execute();
        form()->ResultValue = "R";
        std::vector<std::string> log;
        form()->OnReleaseRequest = nullptr;
        TestP01Form* f = form();
        f->onDeleted = [&log, f] { log = f->log(); };
        controller->FreeForm(c.silent);
        EXPECT_EQ(events, c.events) << c.silent;
        EXPECT_EQ(log, c.log) << c.silent;
        EXPECT_TRUE(controller->IsFormFreed());
        EXPECT_EQ(controller->ResultValue, Variant("R"));
    }
}

TEST_F(ControllerTest, ShowModalFormReturnsTheResultValueAndFreesTheForm) {
    execute();
    form()->duringModal = [](TestP01Form& f) {
        f.ResultValue = Variant::arrayOf({"R01"});
        f.close();  // the person closes the window
    };
    Variant result;
    controller->ShowModalForm(result);
    EXPECT_EQ(result, Variant::arrayOf({"R01"}));
    // the modal loop hides the window when it ends
    EXPECT_EQ(events, (std::vector<std::int32_t>{272, 320, 288, 320, 304}));
    EXPECT_TRUE(controller->IsFormFreed());
    EXPECT_EQ(controller->ResultValue, Variant::arrayOf({"R01"}));
    EXPECT_EQ(formsDeleted, 1);
}

TEST_F(ControllerTest, DestroyingTheControllerClosesTheForm) {
    execute();
    controller.reset();
    EXPECT_EQ(events, (std::vector<std::int32_t>{320, 304}));
    EXPECT_EQ(formsDeleted, 1);
}

TEST_F(ControllerTest, DestroyingTheControllerFreesTheFormEvenWhenClosingRaises) {
    execute();
    form()->closeRaises = true;
    EXPECT_THROW(controller->FreeForm(false), std::exception);  // the caller sees the refusal
    EXPECT_FALSE(controller->IsFormFreed());
    events.clear();
    controller.reset();
    EXPECT_EQ(events, std::vector<std::int32_t>{304});
    EXPECT_EQ(formsDeleted, 1);
}

TEST_F(ControllerTest, SetRunModeTable) {
    struct Case {
        std::int32_t mode;
        std::uint8_t runMode;
        bool keepsValue;
    };
    const Case cases[] = {{1, 1, false},  {2, 2, false},  {3, 3, false},  {4, 4, false},  {5, 5, false},
                          {7, 7, true},   {8, 8, true},   {10, 9, true},  {12, 10, false}, {13, 11, false},
                          {0, 0, false},  {6, 0, false},  {9, 0, false},  {11, 0, false}, {14, 0, false},
                          {-1, 0, false}};
    execute();
    for (const Case& c : cases) {
        form()->RunModeValue = "before";
        form()->RunMode = 99;
        EXPECT_EQ(controller->SetRunMode(c.mode, 255, "v"), 0);
        EXPECT_EQ(form()->RunMode, c.runMode) << c.mode;
        EXPECT_EQ(form()->RunModeValue, Variant(c.keepsValue ? "v" : "before")) << c.mode;
        // UpdateEditState ran before the new mode was stored.
        EXPECT_EQ(form()->log().back(), "update-edit-state RunMode=99 HostOptions=511") << c.mode;
    }
}

TEST_F(ControllerTest, SetRunModeFlagsOnlyEverClearOptions) {
    struct Case {
        std::int32_t flags;
        std::uint16_t options;  // starting from all nine
    };
    const Case cases[] = {
        {255, 511}, {0, 256}, {255 & ~1, 511 & ~1}, {255 & ~2, 511 & ~8}, {255 & ~4, 511 & ~4},
        {255 & ~8, 511 & ~2}, {255 & ~16, 511 & ~16}, {255 & ~128, 511 & ~128},
    };
    execute();
    for (const Case& c : cases) {
        form()->HostOptions = kAllHostOptions;
        controller->SetRunMode(1, c.flags, Variant());
        EXPECT_EQ(form()->HostOptions, c.options) << c.flags;
    }
    form()->HostOptions = kAllHostOptions;
    controller->SetRunMode(1, 0, Variant());
    controller->SetRunMode(1, 255, Variant());
    EXPECT_EQ(form()->HostOptions, 256);
}

TEST_F(ControllerTest, SetParameterTakesElementOne) {
    struct Case {
        Variant params;
        std::int32_t result;
        std::string startParam;
        Variant startValue;
    };
    const Case cases[] = {
        {Variant::arrayOf({0, "A001"}), 0, "A001", Variant()},
        {Variant::arrayOf({0, Variant::arrayOf({"A001", 5})}), 0, "A001", 5},
        {Variant::arrayOf({0, 12}), 0, "12", Variant()},
        {Variant::arrayOf({0, Variant::null()}), 0, "", Variant()},
        {Variant::arrayOf({0, Variant::arrayOf({"A002"})}), -1, "A002", Variant()},  // element 1 half there
        {Variant::arrayOf({0}), -1, "before", Variant()},
        {Variant::null(), -1, "before", Variant()},
        {Variant("A001"), -1, "before", Variant()},
    };
    execute();
    for (const Case& c : cases) {
        form()->StartParam = "before";
        form()->StartValue = Variant();
        EXPECT_EQ(controller->SetParameter(c.params), c.result) << c.startParam;
        EXPECT_EQ(form()->StartParam, c.startParam);
        EXPECT_EQ(form()->StartValue, c.startValue) << c.startParam;
    }
}

TEST_F(ControllerTest, SessionInfoTitleAndHandle) {
    execute();
    TBrokers& broker = form()->broker();
    broker.ProgramId = "RESI01";
    broker.ProgramName = "资源主档";
    Variant info;
    EXPECT_EQ(controller->GetSessionInfo(info), 0);
    EXPECT_EQ(info, Variant::arrayOf({"QV", "C1", "RESI01", "资源主档"}));
    EXPECT_EQ(info.lowBound(), 0);
    EXPECT_EQ(info.highBound(), 3);

    form()->HostTitle = "资源";
    std::u16string title;
    controller->GetHostTitle(title);
    EXPECT_EQ(title, codePageToUtf16("资源", CP_GBK));
    EXPECT_EQ(controller->GetFormHandle(), 0x5001);
}

TEST_F(ControllerTest, ScriptCommandsReachTheForm) {
    execute();
    std::vector<std::string> output;
    EXPECT_TRUE(controller->ScriptCommand("dump", "state", output));
    EXPECT_EQ(output, std::vector<std::string>{"STATE 0"});
    output.clear();
    EXPECT_FALSE(controller->ScriptCommand("frobnicate", "", output));
    // A silent abort ends the command without an error.
    host.messages["W 000004"] = "%s";
    dialogs.queueAnswer(ui::mrCancel);
    output.clear();
    EXPECT_TRUE(controller->ScriptCommand("showmsg", "W 000004 X", output));
    EXPECT_TRUE(output.empty());
    EXPECT_TRUE(controller->ScriptCommand("close", "", output));
    EXPECT_TRUE(controller->IsFormFreed());
    EXPECT_EQ(events, (std::vector<std::int32_t>{320, 304}));
}

TEST_F(ControllerTest, TheHostsApplicationObjectReachesTheForm) {
    ui::Application application;
    controller->SetApplication(&application);  // before Execute, as the host does
    execute();
    EXPECT_EQ(form()->window().application(), &application);
    controller->SetFormVisible(-1);
    EXPECT_EQ(application.activeForm(), &form()->window());
    controller->SetFormVisible(0);
    EXPECT_EQ(application.activeForm(), nullptr);

    // Handed over later, it still reaches the form.
    ui::Application later;
    controller->SetApplication(&later);
    EXPECT_EQ(form()->window().application(), &later);
    controller->FreeForm(true);
}

TEST_F(ControllerTest, TheModulesServerObjectsFollowTheHostsServer) {
    struct Case {
        const char* address;
        std::int64_t port;
        bool registered;
    };
    const Case cases[] = {
        {"127.0.0.1", 40211, true},
        {"", 40211, false},        // the host has no server
        {"127.0.0.1", 0, false},
        {"127.0.0.1", 70000, false},
    };
    com::ProgIdRegistry& registry = com::ProgIdRegistry::instance();
    for (const Case& c : cases) {
        for (const char* id : {"COPIS01S.Class1", "F2WindowS.Class1"}) registry.unregister(id);
        FakeHost withServer;
        withServer.object->addProperty("ServerAddress", [&c] { return Variant(std::string(c.address)); });
        withServer.object->addProperty("ServerPort", [&c] { return Variant(c.port); });
        auto other = std::unique_ptr<TDLLBaseController>(GetController());
        other->HostObject = withServer.ref();
        ASSERT_EQ(other->Execute(loginParams()), 0);
        EXPECT_EQ(registry.isRegistered("CopIS01S.Class1"), c.registered) << c.address << ":" << c.port;
        EXPECT_EQ(registry.isRegistered("F2WindowS.Class1"), c.registered) << c.address << ":" << c.port;
    }
    // A host that does not say where its server is leaves the registry alone.
    for (const char* id : {"COPIS01S.Class1", "F2WindowS.Class1"}) registry.unregister(id);
    execute();
    EXPECT_FALSE(registry.isRegistered("COPIS01S.Class1"));
}

}  // namespace
}  // namespace corvane::host
