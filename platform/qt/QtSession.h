#pragma once

// The Qt side of a host process, behind a header without Qt: it makes the
// QApplication (unless one exists), the renderer as the application
// object's presenter and the Qt dialog service, and runs the event loop.
// The host's main program uses it without including Qt itself.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Application.h"

namespace corvane::qt {

class QtSession {
public:
    // Makes the Qt objects for application; with offscreen the windows are
    // drawn without a display (screenshots, script mode).
    QtSession(ui::Application& application, bool offscreen);
    ~QtSession();
    QtSession(const QtSession&) = delete;
    QtSession& operator=(const QtSession&) = delete;

    ui::DialogService& dialogs();

    // Runs the event loop; tick runs every interval milliseconds and ends
    // the loop by returning false. Returns the loop's exit code.
    int run(const std::function<bool()>& tick, int intervalMs = 30);

    // Puts the form on screen (when it is not yet) and saves its window as
    // PNG; false with error set when it cannot.
    bool saveScreenshot(ui::Form& form, const std::string& utf8Path, std::string& error);

    // A modal pick list: the index (from 0) of the chosen row, -1 when the
    // person cancelled. Texts are UTF-16.
    int chooseRow(const std::u16string& title, const std::vector<std::u16string>& captions,
                  const std::vector<std::vector<std::u16string>>& rows);

    // Shows an error box (UTF-8 text) over the active window.
    void showError(const std::string& utf8Title, const std::string& utf8Text);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace corvane::qt
