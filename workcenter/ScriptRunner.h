#pragma once

// The work centre's script mode: one command a line, "#" starts a comment.
//
//   open PROGRAM [MODE [START]]   load, Execute, SetRunMode(MODE), SetParameter(START), show
//   answer N                      queue the answer to the next message dialog
//   pick N | pick none            queue the row (from 1) the next lookup window returns
//   close                         close the active window as a person would
//   dump state|grid|fields        what the active window shows
//   screenshot FILE               the active window as PNG (when the host can draw)
//   anything else                 handed to the active window (key, focus, type, click, ...)
//
// Output lines (UTF-8): EVENT <code>, MSG <type> <code> <text>, ERROR <text>
// and what the window prints. The run fails when a command fails or a
// dialog arrives that no answer was queued for.

#include <functional>
#include <istream>
#include <string>

#include "platform/ui/ScriptedDialogService.h"
#include "workcenter/WorkCenter.h"

namespace corvane::workcenter {

class ScriptRunner {
public:
    using Sink = std::function<void(const std::string& line)>;

    ScriptRunner(Settings settings, Sink sink);

    // Runs the script; true when every command succeeded and no dialog was
    // unexpected. Stops at the first failed command.
    bool run(std::istream& script);
    WorkCenter& workCenter() { return center_; }
    ui::ScriptedDialogService& dialogs() { return dialogs_; }
    // Saves the active window as PNG; unset when this host cannot draw.
    std::function<bool(const std::string& file, std::string& error)> screenshot;

private:
    bool execute(const std::string& line);
    bool openCommand(const std::string& arguments);
    bool screenshotCommand(const std::string& file);
    bool windowCommand(const std::string& command, const std::string& arguments);
    void printDialog(const ui::ScriptedDialogService::Record& record);
    void fail(const std::string& text);

    Sink sink_;
    ui::ScriptedDialogService dialogs_;
    WorkCenter center_;
    bool unexpectedDialog_ = false;
};

}  // namespace corvane::workcenter
