#pragma once

// The dialog service of tests and of the host's script mode: answers come
// from a queue, every dialog is recorded, and a dialog nobody queued an
// answer for is a failure. Such a dialog is recorded as unexpected and
// answered with Cancel when it has that button (otherwise with its default
// button, or its first), so the program goes on the cautious way; the test
// or the script then fails on unexpected().

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/DialogService.h"

namespace corvane::ui {

class ScriptedDialogService : public DialogService {
public:
    struct Record {
        MessageDialogRequest request;  // empty text and type Custom for forms
        std::string formName;          // the form shown modally, if any
        int answer = mrNone;
        bool expected = true;
    };

    // Queues the answer to the next dialog (message or modal form).
    void queueAnswer(int modalResult);
    std::size_t pendingAnswers() const { return answers_.size(); }

    // Called for every dialog as it is shown (the host prints it).
    std::function<void(const Record&)> onDialog;
    // Runs a modal form instead of only answering it (tests that drive a
    // modal form); when unset the form just gets the queued answer.
    std::function<int(Form& form, int queuedAnswer)> onShowModal;

    int messageDialog(const MessageDialogRequest& request) override;
    int showModal(Form& form) override;

    const std::vector<Record>& dialogs() const { return records_; }
    // The dialogs that arrived without a queued answer.
    std::vector<Record> unexpected() const;
    void clear();

private:
    static int fallbackAnswer(const MessageDialogRequest& request);

    std::deque<int> answers_;
    std::vector<Record> records_;
};

}  // namespace corvane::ui
