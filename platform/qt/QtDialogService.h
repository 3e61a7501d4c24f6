#pragma once

// The dialog service for people: message dialogs as QMessageBox (results
// 1 OK, 2 Cancel, 6 Yes, 7 No, 10 Yes to all, ...), with the caller's
// button captions and default button, and modal forms run by the renderer.

#include "platform/ui/DialogService.h"

class QMessageBox;

namespace corvane::qt {

class QtRenderer;

class QtDialogService : public ui::DialogService {
public:
    explicit QtDialogService(QtRenderer& renderer) : renderer_(renderer) {}

    int messageDialog(const ui::MessageDialogRequest& request) override;
    int showModal(ui::Form& form) override;

    // Builds the message box of a request (not shown); each button carries
    // its modal result in the property "modalResult".
    static QMessageBox* buildMessageBox(const ui::MessageDialogRequest& request);

private:
    QtRenderer& renderer_;
};

}  // namespace corvane::qt
