#pragma once

// The program window as the controller sees it: the fields the controller
// reads and writes, the four event-handler slots it hooks, and the few
// operations it calls. The kernel form implements it; the controller owns
// the form and destroys it through destroy().

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"

namespace corvane::ui {
class Application;
class DialogService;
}

namespace corvane::host {

class TBrokers;
class ControlledForm;

enum class CloseAction { caNone, caHide, caFree, caMinimize };
enum class WindowState { wsNormal, wsMinimized, wsMaximized };

using FormNotifyEvent = std::function<void(ControlledForm& sender)>;
using FormCloseEvent = std::function<void(ControlledForm& sender, CloseAction& action)>;

// The host's option bits (HostOptions): all nine set at creation.
inline constexpr std::uint16_t kAllHostOptions = 0x1FF;

class ControlledForm {
public:
    virtual ~ControlledForm() = default;

    // Fields the controller reads and writes.
    std::string ModulePath;
    std::string StartParam;
    Variant StartValue;
    std::uint8_t RunMode = 0;
    Variant RunModeValue;
    std::uint16_t HostOptions = kAllHostOptions;
    std::int32_t ResultCode = 0;
    Variant ResultValue;
    std::string HostTitle;

    // The four handler slots (show, hide, destroy, close).
    FormNotifyEvent OnShow;
    FormNotifyEvent OnHide;
    FormNotifyEvent OnDestroy;
    FormCloseEvent OnClose;

    virtual TBrokers& broker() = 0;
    // Start-up with the host's parameters; false when it did not succeed.
    virtual bool Initialize(const Variant& params) = 0;
    // Re-applies which controls are editable.
    virtual void UpdateEditState() = 0;

    virtual bool visible() const = 0;
    // Showing runs OnShow, hiding OnHide (when the visibility changes).
    virtual void setVisible(bool visible) = 0;
    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual void bringToFront() = 0;
    // The window handle; the window is created when it has none yet.
    virtual std::int64_t windowHandle() = 0;
    // Runs the form modally; returns the modal result.
    virtual int showModal() = 0;
    // Asks the form to close as a person would: OnClose decides the action.
    virtual void close() = 0;

    // The dialog service the host handed over (module dialogs go there).
    virtual void setDialogService(ui::DialogService* service) = 0;
    // The host's application object: the window's forms belong to it from
    // now on (a form without one stays headless).
    virtual void setApplication(ui::Application* application) { (void)application; }
    // Runs what was posted to the form's message queue.
    virtual void processMessages() = 0;
    // Script-mode commands the window understands ("dump state", "key F5",
    // ...): lines to print (GBK) go to output; false when the command failed.
    virtual bool scriptCommand(std::string_view command, std::string_view argument,
                               std::vector<std::string>& output) = 0;

    // Destruction as the owner runs it: marks the form as being destroyed
    // and runs OnDestroy; the owner frees the object afterwards.
    void beginDestroy();
    bool destroying() const { return destroying_; }

    // The owner's hook for a form that asks to be freed (close action
    // caFree): the owner frees it once the current event is over.
    std::function<void()> OnReleaseRequest;
    void release();

private:
    bool destroying_ = false;
};

}  // namespace corvane::host
