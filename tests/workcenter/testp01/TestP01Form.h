#pragma once

// A minimal program window for the controller's tests and for the test
// program module TESTP01C.so: a real form of the component model (caption,
// tool bar, the login's fields, status bar) that the host's renderer can
// show once the host hands over its application object. It keeps a broker, starts up the way the
// kernel form does (login data, program id from the module's file name,
// services, settings), closes itself for good when asked to close, and
// records what happened to it. Its script commands:
//   dump state            STATE <EditMode>
//   showmsg T CODE [ARG]  the broker's ShowMsg; prints ANSWER <n>
//   exec PROGRAM          the broker's ExecProgram; prints STATUS <n>
//   help TOPIC            the host's CallHelp with the module code
//   title                 TITLE <caption>
//   check TABLE CODE [ARG...]  the broker's CheckValue; prints CHECK <0|1> <values...>
//   phrase [TEXT]         the broker's GetPhrase; prints PHRASE <text>
//   server [PROGRAM]      the module's own "COPIS01S.Class1" logs in; prints
//                         LOGIN <status> and, when accepted, TODAY <yyyymmdd>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "host/BrokerOwner.h"
#include "host/Brokers.h"
#include "host/ControlledForm.h"
#include "platform/ui/Form.h"

namespace corvane::testp01 {

class TestP01Form : public host::ControlledForm, public host::BrokerOwner {
public:
    TestP01Form();
    ~TestP01Form() override;

    // What happened, in order: "show", "hide", "destroy", "close", "initialize",
    // "update-edit-state", "modal", ...
    std::vector<std::string>& log() { return log_; }
    // Initialize's answer (tests make it fail).
    bool initializeResult = true;
    // The form's own close handler raises (a refused close).
    bool closeRaises = false;
    // Close action the form's own close handler chooses.
    host::CloseAction ownCloseAction = host::CloseAction::caFree;
    // Runs inside showModal, as the person using the window (default: closes it).
    std::function<void(TestP01Form&)> duringModal;
    // Destroyed forms report here (tests watch the lifetime).
    std::function<void()> onDeleted;

    // ControlledForm
    host::TBrokers& broker() override { return broker_; }
    bool Initialize(const Variant& params) override;
    void UpdateEditState() override;
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override;
    host::WindowState windowState() const override { return windowState_; }
    void setWindowState(host::WindowState state) override { windowState_ = state; }
    void bringToFront() override { log_.push_back("front"); }
    std::int64_t windowHandle() override;
    int showModal() override;
    void close() override;
    void setDialogService(ui::DialogService* service) override { dialogs_ = service; }
    void setApplication(ui::Application* application) override;
    void processMessages() override;
    bool scriptCommand(std::string_view command, std::string_view argument,
                       std::vector<std::string>& output) override;

    // BrokerOwner
    std::string caption() const override { return caption_; }
    ui::DialogService* dialogService() const override { return dialogs_; }

    void post(std::function<void()> message) { posted_.push_back(std::move(message)); }
    std::string caption_;
    // The window a person sees.
    ui::Form& window() { return *window_; }

private:
    void buildWindow();
    void fillWindow();
    template <class T>
    T& make(const char* name, ui::Control* parent) {
        T& control = window_->create<T>();
        control.setName(name);
        control.setParent(parent);
        return control;
    }

    std::int64_t handle_ = 0;
    bool visible_ = false;
    host::WindowState windowState_ = host::WindowState::wsNormal;
    ui::DialogService* dialogs_ = nullptr;
    std::deque<std::function<void()>> posted_;
    std::vector<std::string> log_;
    host::TBrokers broker_{this};
    ui::ComponentPtr<ui::Form> window_;
};

// The program id of a module file: the name before its first ".", without
// trailing characters up to the last digit, in upper case ("TESTP01C.so"
// gives "TESTP01").
std::string programIdOf(const std::string& modulePath);

}  // namespace corvane::testp01
