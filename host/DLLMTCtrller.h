#pragma once

// The controller of a program window: creates the form from the registered
// form class, checks the host's interface version, hooks the form's show,
// hide, destroy and close events (once per form) and relays them to the
// host after the form's own handlers.

#include <memory>

#include "host/DLLBaseCtrller.h"

namespace corvane::host {

class TDLLMTCtrller : public TDLLBaseController {
public:
    TDLLMTCtrller() = default;
    ~TDLLMTCtrller() override;

    void GetHostTitle(std::u16string& title) override;
    bool GetFormVisible() override;
    void SetFormVisible(std::int16_t show) override;
    std::int64_t GetFormHandle() override;
    std::int32_t Execute(const Variant& params) override;
    std::int32_t SetParameter(const Variant& params) override;
    std::int32_t SetRunMode(std::int32_t mode, std::int32_t flags, const Variant& value) override;
    void ShowModalForm(Variant& result) override;
    void FreeForm(bool silent) override;
    std::int32_t GetSessionInfo(Variant& info) override;
    bool IsFormFreed() override;
    void DoFormShow(ControlledForm& sender) override;
    void DoFormHide(ControlledForm& sender) override;
    void DoFormDestroy(ControlledForm& sender) override;
    void DoFormClose(ControlledForm& sender, CloseAction& action) override;
    void SetDialogService(ui::DialogService* service) override;
    void ProcessMessages() override;
    bool ScriptCommand(std::string_view command, std::string_view argument,
                       std::vector<std::string>& output) override;
    void SetApplication(ui::Application* application) override;

    // The form, for the module's own code and tests; null without one.
    ControlledForm* form() const { return form_; }

private:
    void createForm();
    void checkHostVersion();
    void registerServerObjects();
    void hookFormEvents();
    void destroyForm();
    void showPlainMessage(const std::string& text);

    // The form reference and the form's own handlers before hooking.
    ControlledForm* form_ = nullptr;
    FormNotifyEvent savedShow_;
    FormNotifyEvent savedHide_;
    FormNotifyEvent savedDestroy_;
    FormCloseEvent savedClose_;

    std::unique_ptr<ControlledForm> ownedForm_;
    bool hooked_ = false;
    bool releasePending_ = false;
    ui::DialogService* dialogs_ = nullptr;
    ui::Application* application_ = nullptr;
};

// The full file name of the library (or program) holding this code, GBK.
std::string moduleFileName();

}  // namespace corvane::host
