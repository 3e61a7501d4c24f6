#include "tests/workcenter/testp01/TestP01Form.h"

#include <cctype>

#include "host/HostContract.h"
#include "platform/com/ProgIdRegistry.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/ComCtrls.h"
#include "platform/ui/StdCtrls.h"
#include "platform/core/CodePage.h"

namespace corvane::testp01 {

std::string programIdOf(const std::string& modulePath) {
    std::string name = modulePath.substr(modulePath.find_last_of("/\\") + 1);
    std::size_t dot = name.find('.');
    if (dot == std::string::npos) return {};
    name.resize(dot);
    while (!name.empty() && !std::isdigit(static_cast<unsigned char>(name.back()))) name.pop_back();
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name;
}

TestP01Form::TestP01Form() {
    buildWindow();
    OnShow = [this](ControlledForm&) { log_.push_back("show"); };
    OnHide = [this](ControlledForm&) { log_.push_back("hide"); };
    OnDestroy = [this](ControlledForm&) { log_.push_back("destroy"); };
    OnClose = [this](ControlledForm&, host::CloseAction& action) {
        log_.push_back("close");
        if (closeRaises) throw Exception("the form refuses to close");
        action = ownCloseAction;
        if (action == host::CloseAction::caFree) ResultCode = 1;
    };
}

TestP01Form::~TestP01Form() {
    window_.reset();
    if (onDeleted) onDeleted();
}

void TestP01Form::buildWindow() {
    window_ = ui::makeComponent<ui::Form>();
    ui::Form& w = *window_;
    w.setName("frmTestP01");
    w.setCaption("测试程序");
    w.setBounds(0, 0, 480, 250);

    auto& bar = make<ui::ToolBar>("ToolBar1", &w);
    bar.setAlign(ui::Align::alTop);
    bar.setShowCaptions(true);
    bar.setHeight(36);
    int left = 0;
    for (auto [name, caption] : {std::pair{"btnAdd", "新增"}, {"btnEdit", "修改"}, {"btnDelete", "删除"},
                                 {"btnQuery", "查询"}, {"btnExit", "退出"}}) {
        auto& button = make<ui::ToolButton>(name, &bar);
        button.setCaption(caption);
        button.setHint(caption);
        button.setBounds(left, 0, 48, 34);
        left += 48;
    }
    static_cast<ui::ToolButton*>(w.findComponent("btnExit"))->OnClick = [this](ui::Component*) { close(); };

    auto& status = make<ui::StatusBar>("Status", &w);
    status.setAlign(ui::Align::alBottom);
    status.addPanel("浏览", 80);
    status.addPanel("", 200);

    auto& panel = make<ui::Panel>("pnlHead", &w);
    panel.setAlign(ui::Align::alClient);
    int top = 16;
    for (auto [name, caption] : {std::pair{"User", "用户代号"}, {"Company", "公司代号"}, {"CompanyDb", "公司数据库"},
                                 {"CompanyName", "公司名称"}}) {
        auto& label = make<ui::Label>((std::string("lbl") + name).c_str(), &panel);
        label.setCaption(caption);
        label.setBounds(16, top + 3, 90, 16);
        auto& edit = make<ui::Edit>((std::string("ed") + name).c_str(), &panel);
        edit.setBounds(110, top, 300, 22);
        edit.setReadOnly(true);
        top += 32;
    }
    // A person closing the window asks the controlled form, which decides
    // (and frees itself through its owner): the model form itself stays.
    w.OnClose = [this](ui::Component*, ui::CloseAction& action) {
        action = ui::CloseAction::caNone;
        close();
    };
}

void TestP01Form::fillWindow() {
    auto text = [this](const char* name, const std::string& value) {
        if (auto* edit = dynamic_cast<ui::Edit*>(window_->findComponent(name))) edit->setText(value);
    };
    text("edUser", broker_.UserId);
    text("edCompany", broker_.CompanyId);
    text("edCompanyDb", broker_.CompanyDb);
    text("edCompanyName", broker_.GetSysValue("QVX002"));
    window_->setCaption("测试程序 " + broker_.ProgramId + " " + caption_);
    if (auto* status = dynamic_cast<ui::StatusBar*>(window_->findComponent("Status")))
        status->setPanelText(1, broker_.ProgramId);
}

void TestP01Form::setApplication(ui::Application* application) {
    if (application && window_->application() != application) application->adoptForm(*window_);
}

bool TestP01Form::Initialize(const Variant& params) {
    log_.push_back("initialize");
    setVisible(false);
    broker_.UserId = params[0].toString();
    broker_.CompanyId = params[1].toString();
    broker_.CompanyDb = params[2].toString();
    broker_.ProgramId = programIdOf(ModulePath);
    broker_.ConnectServices();
    broker_.LoadSysInfo();
    caption_ = broker_.ProgramName + "[" + broker_.GetSysValue("QVX002") + "]";
    fillWindow();
    return initializeResult;
}

void TestP01Form::UpdateEditState() {
    log_.push_back("update-edit-state RunMode=" + std::to_string(RunMode) +
                   " HostOptions=" + std::to_string(HostOptions));
}

void TestP01Form::setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    window_->setVisible(visible);
    if (visible) {
        if (OnShow) OnShow(*this);
    } else if (OnHide) {
        OnHide(*this);
    }
}

std::int64_t TestP01Form::windowHandle() {
    if (handle_ == 0) handle_ = 0x5001;  // the window is created on first use
    return handle_;
}

int TestP01Form::showModal() {
    log_.push_back("modal");
    setVisible(true);
    if (duringModal)
        duringModal(*this);
    else
        close();
    setVisible(false);
    return 2;
}

void TestP01Form::close() {
    host::CloseAction action = host::CloseAction::caHide;
    if (OnClose) OnClose(*this, action);
    switch (action) {
    case host::CloseAction::caNone: break;
    case host::CloseAction::caHide: setVisible(false); break;
    case host::CloseAction::caMinimize: windowState_ = host::WindowState::wsMinimized; break;
    case host::CloseAction::caFree: release(); break;
    }
}

void TestP01Form::processMessages() {
    while (!posted_.empty()) {
        auto message = std::move(posted_.front());
        posted_.pop_front();
        message();
    }
}

bool TestP01Form::scriptCommand(std::string_view command, std::string_view argument,
                                std::vector<std::string>& output) {
    std::string rest(argument);
    auto word = [&rest]() {
        std::size_t space = rest.find(' ');
        std::string w = rest.substr(0, space);
        rest = space == std::string::npos ? std::string() : rest.substr(space + 1);
        return w;
    };
    if (command == "dump" && argument == "state") {
        output.push_back("STATE 0");
        return true;
    }
    if (command == "title") {
        output.push_back("TITLE " + caption_);
        return true;
    }
    if (command == "showmsg") {
        std::string type = word();
        std::string code = word();
        std::vector<Variant> args;
        if (!rest.empty()) args.emplace_back(rest);
        output.push_back("ANSWER " + std::to_string(broker_.ShowMsg(type, code, 2, true, 936, args)));
        return true;
    }
    if (command == "help") {
        host::HostObject(broker_.HostObject).callHelp(broker_.ProgramId.substr(0, 3), std::string(argument));
        return true;
    }
    if (command == "exec") {
        Variant result;
        output.push_back("STATUS " + std::to_string(broker_.ExecProgram(word(), Variant(), true, result, Variant())));
        return true;
    }
    if (command == "check") {
        // check TABLE CODE [ARG...]: the broker's CheckValue through the host's validator.
        std::string table = word();
        std::string code = word();
        std::vector<Variant> values;
        for (std::string value = word(); !value.empty(); value = word()) values.emplace_back(value);
        Variant result;
        bool found = broker_.CheckValue(table, code, result, Variant::arrayOf(values));
        std::string line = std::string("CHECK ") + (found ? "1" : "0");
        const Variant& answer = result.deref();
        if (answer.isArray() && answer.dimCount() == 1)
            for (int i = answer.lowBound(); i <= answer.highBound(); ++i) line += " " + answer[i].toString();
        output.push_back(line);
        return true;
    }
    if (command == "phrase") {
        // phrase [TEXT]: the broker's GetPhrase, answered by the lookup window's pick list.
        output.push_back("PHRASE " + broker_.GetPhrase(rest));
        return true;
    }
    if (command == "server") {
        // server [PROGRAM]: the module's own application-server object, created
        // on this machine, logs in with the broker's login (for PROGRAM).
        std::string program = word();
        if (program.empty()) program = broker_.ProgramId;
        host::AppServer server(Variant(com::createOleObject(host::kAppServerProgId)));
        std::int64_t status = server.connect(Variant::arrayOf(
            {codePageToUtf16(program, CP_GBK), codePageToUtf16(broker_.UserId, CP_GBK),
             codePageToUtf16(broker_.CompanyId, CP_GBK), codePageToUtf16(broker_.CompanyDb, CP_GBK), u"False",
             u"False"}));
        output.push_back("LOGIN " + std::to_string(status));
        if (status == 0) output.push_back("TODAY " + server.today().substr(0, 8));
        return true;
    }
    output.push_back("unknown command " + std::string(command));
    return false;
}

}  // namespace corvane::testp01
