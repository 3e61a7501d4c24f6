#pragma once

// The work centre: it holds the login, lends the host object to every
// program it opens, and keeps the open programs (the last one opened is
// the active window). Output lines (EVENT, HELP, ...) go to the sink.

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Dispatch.h"
#include "workcenter/CommandLine.h"
#include "workcenter/MessageTable.h"
#include "workcenter/ProgramModule.h"

namespace corvane::host {
class Chooser;
}

namespace corvane::ui {
class Application;
class DialogService;
}

namespace corvane::workcenter {

// The service objects the host hands out (empty: not available).
struct HostServices {
    Variant validator;
    Variant lookupWindow;
    Variant gateway;
};

// ExecWork statuses beyond the loader's.
enum OpenStatus : int { osInitFailed = -6, osUnexpected = -7 };

class WorkCenter {
public:
    using Sink = std::function<void(const std::string& line)>;  // UTF-8 lines

    WorkCenter(Settings settings, ui::DialogService& dialogs, Sink sink);
    ~WorkCenter();
    WorkCenter(const WorkCenter&) = delete;
    WorkCenter& operator=(const WorkCenter&) = delete;

    // Loads the message texts; false with error when the file is unusable.
    bool loadMessages(std::string& error);
    void setServices(HostServices services) { services_ = std::move(services); }
    bool hasServices() const { return !services_.validator.isEmpty(); }
    // The application object handed to every program opened from now on
    // (its forms then belong to it); null keeps the programs headless.
    void setApplication(ui::Application* application) { application_ = application; }
    ui::Application* application() const { return application_; }
    // The pick list the lookup window shows (default: the script's queue).
    void setChooser(std::shared_ptr<host::Chooser> chooser);
    // Connects the host's service objects to the application server of the
    // settings. When the server cannot be reached it says so (alert log and
    // an ERROR line) and the services stay absent; false then.
    bool connectServer();

    // The host automation object ("CorvaneWorkCenter.Manager").
    DispatchRef hostObject() const { return hostObject_; }

    struct OpenRequest {
        std::string programId;
        int runMode = 1;
        int flags = 255;
        Variant runModeValue;
        Variant startParameter;   // given to SetParameter as element 1 when not empty
        Variant startParams;      // Execute's parameters; empty: the login's
    };
    // Opens a program and shows it; 0, or a negative status with error set.
    int open(const OpenRequest& request, std::string& error);

    // The active program, null when none is open.
    ProgramModule* active();
    std::size_t openCount() const { return programs_.size(); }
    // Runs the modules' posted messages and drops programs whose window is gone.
    void processMessages();
    // Destroys every program, the last opened first.
    void closeAll();

    // Lookup rows queued by the script for the next lookup windows.
    std::deque<Variant>& pickQueue() { return picks_; }
    const Settings& settings() const { return settings_; }

private:
    void buildHostObject();
    std::int64_t execWork(const Variant& caller, const Variant& param, const Variant& options, Variant& result);
    Variant startParamsOfLogin() const;

    Settings settings_;
    ui::DialogService& dialogs_;
    Sink sink_;
    MessageTable messages_;
    HostServices services_;
    DispatchRef hostObject_;
    std::vector<std::unique_ptr<ProgramModule>> programs_;
    std::deque<Variant> picks_;
    std::shared_ptr<host::Chooser> chooser_;
    ui::Application* application_ = nullptr;
};

}  // namespace corvane::workcenter
