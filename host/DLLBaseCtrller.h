#pragma once

// The controller the host drives the module's window through. Host and
// module compile this same declaration: the host calls the operations by
// their position in the virtual table and reads and writes the fields, so
// the order of both is the contract. Slots 0 to 17 are the controller's
// operations; 18 to 21 hand over what host and module must share (the
// dialog service, the message loop, the application object) and carry the
// host's script commands.
// The destructor comes last so that it moves no slot.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/ControlledForm.h"
#include "platform/core/Variant.h"

namespace corvane::ui {
class Application;
class DialogService;
}

namespace corvane::host {

class TDLLBaseController;

// The host's event callback: (EventCode, Controller).
using HostEventHandler = std::function<void(std::int32_t eventCode, TDLLBaseController& controller)>;

// Host event codes.
enum HostEvent : std::int32_t {
    heCreated = 256,
    heShown = 272,
    heHidden = 288,
    heDestroying = 304,
    heClosing = 320,
};

class TDLLBaseController {
public:
    // Fields, in the contract's order.
    Variant HostObject;
    std::int32_t ResultCode = 0;
    Variant ResultValue;
    HostEventHandler OnHostEvent;

    TDLLBaseController() = default;
    TDLLBaseController(const TDLLBaseController&) = delete;
    TDLLBaseController& operator=(const TDLLBaseController&) = delete;

    /* 0 */ virtual void GetHostTitle(std::u16string& title) = 0;
    /* 1 */ virtual bool GetFormVisible() = 0;
    /* 2 */ virtual void SetFormVisible(std::int16_t show) = 0;
    /* 3 */ virtual std::int64_t GetFormHandle() = 0;
    /* 4 */ virtual std::int32_t Execute(const Variant& params) = 0;
    /* 5 */ virtual std::int32_t SetParameter(const Variant& params) = 0;
    /* 6 */ virtual std::int32_t SetRunMode(std::int32_t mode, std::int32_t flags, const Variant& value) = 0;
    /* 7 */ virtual void ShowModalForm(Variant& result) = 0;
    /* 8 */ virtual void FreeForm(bool silent) = 0;
    /* 9 */ virtual std::int32_t GetSessionInfo(Variant& info) = 0;
    /* 10 */ virtual bool IsFormFreed() = 0;
    // Slots 11 to 17 are defined here, in the header: the class then has no
    // key function, so the host that only calls it gets its own type
    // information (the module's stays hidden inside the module).
    /* 11 */ virtual void DoCreated() { NotifyHost(heCreated); }
    /* 12 */ virtual void DoFormShow(ControlledForm&) { NotifyHost(heShown); }
    /* 13 */ virtual void DoFormHide(ControlledForm&) { NotifyHost(heHidden); }
    /* 14 */ virtual void DoFormDestroy(ControlledForm&) { NotifyHost(heDestroying); }
    /* 15 */ virtual void DoFormClose(ControlledForm&, CloseAction&) { NotifyHost(heClosing); }
    /* 16 */ virtual void NotifyHost(std::int32_t eventCode) {
        if (OnHostEvent) OnHostEvent(eventCode, *this);
    }
    /* 17 */ virtual void Reserved() {}

    // The host's dialog service (not owned; the host keeps it alive).
    /* 18 */ virtual void SetDialogService(ui::DialogService* service) = 0;
    // Runs what the module posted: the form's messages and a pending free.
    /* 19 */ virtual void ProcessMessages() = 0;
    // A script-mode command for the window ("close", "dump state", ...);
    // lines to print (GBK) are appended to output; false when it failed.
    /* 20 */ virtual bool ScriptCommand(std::string_view command, std::string_view argument,
                                        std::vector<std::string>& output) = 0;
    // The host's application object (not owned; the host keeps it alive
    // while the controller lives): the module's forms are created through
    // it, so that the host's message loop and renderer reach them. Null
    // (the default) leaves the forms headless. Called before Execute.
    /* 21 */ virtual void SetApplication(ui::Application* application) = 0;

    virtual ~TDLLBaseController() = default;
};

}  // namespace corvane::host
