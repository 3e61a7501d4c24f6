#pragma once

// Every modal dialog of the module goes through one dialog service: the Qt
// one for people, a scripted one for tests and the host's script mode.

#include <string>
#include <vector>

namespace corvane::ui {

class Form;

enum class MsgDlgType { Warning, Error, Information, Confirmation, Custom };

// Buttons of a message dialog (a set: combine with |).
enum MsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
    mbIgnore = 1u << 6,
    mbAll = 1u << 7,
    mbNoToAll = 1u << 8,
    mbYesToAll = 1u << 9,
    mbHelp = 1u << 10,
};

// What a modal dialog returns.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

struct MessageDialogRequest {
    MsgDlgType type = MsgDlgType::Information;
    unsigned buttons = mbOK;
    MsgDlgBtn defaultButton = mbOK;   // the button Enter presses; 0 for none
    std::string caption;              // GBK
    std::string text;                 // GBK
    // Captions per button (GBK), for the buttons listed; others keep their own.
    std::vector<std::pair<MsgDlgBtn, std::string>> buttonCaptions;
    int fontCharset = 134;            // GB2312_CHARSET; 136 for BIG5
    // The message's type letter and six-digit code when the dialog shows a
    // message by code (the broker's messages); empty for plain boxes.
    std::string messageType;
    std::string messageCode;
};

class DialogService {
public:
    virtual ~DialogService() = default;
    // Shows a message dialog and returns the button pressed.
    virtual int messageDialog(const MessageDialogRequest& request) = 0;
    // Runs a form modally and returns its modal result.
    virtual int showModal(Form& form) = 0;
};

}  // namespace corvane::ui

namespace corvane::ui {

// The buttons of a set in the order a dialog shows them.
std::vector<MsgDlgBtn> buttonsInOrder(unsigned buttons);
// The modal result a button returns (mbHelp returns mrNone).
int modalResultOf(MsgDlgBtn button);

}  // namespace corvane::ui
