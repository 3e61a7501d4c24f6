#include "tests/workcenter/testp01/TestP01Form.h"

#include <cctype>

#include "host/HostContract.h"
#include "platform/core/Exceptions.h"

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
    if (onDeleted) onDeleted();
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
    return initializeResult;
}

void TestP01Form::UpdateEditState() {
    log_.push_back("update-edit-state RunMode=" + std::to_string(RunMode) +
                   " HostOptions=" + std::to_string(HostOptions));
}

void TestP01Form::setVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
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
    output.push_back("unknown command " + std::string(command));
    return false;
}

}  // namespace corvane::testp01
