#include "platform/ui/ScriptedDialogService.h"

namespace corvane::ui {

void ScriptedDialogService::queueAnswer(int modalResult) { answers_.push_back(modalResult); }

int ScriptedDialogService::fallbackAnswer(const MessageDialogRequest& request) {
    if (request.buttons & mbCancel) return mrCancel;
    if (request.defaultButton != 0 && (request.buttons & request.defaultButton))
        return modalResultOf(request.defaultButton);
    std::vector<MsgDlgBtn> shown = buttonsInOrder(request.buttons);
    return shown.empty() ? mrCancel : modalResultOf(shown.front());
}

int ScriptedDialogService::messageDialog(const MessageDialogRequest& request) {
    Record record;
    record.request = request;
    if (answers_.empty()) {
        record.expected = false;
        record.answer = fallbackAnswer(request);
    } else {
        record.answer = answers_.front();
        answers_.pop_front();
    }
    records_.push_back(record);
    if (onDialog) onDialog(record);
    return record.answer;
}

int ScriptedDialogService::showModal(Form& form) {
    Record record;
    record.request.type = MsgDlgType::Custom;
    record.request.buttons = 0;
    record.formName = "form";
    int queued = mrCancel;
    if (answers_.empty()) {
        record.expected = onShowModal != nullptr;
    } else {
        queued = answers_.front();
        answers_.pop_front();
    }
    record.answer = onShowModal ? onShowModal(form, queued) : queued;
    records_.push_back(record);
    if (onDialog) onDialog(record);
    return record.answer;
}

std::vector<ScriptedDialogService::Record> ScriptedDialogService::unexpected() const {
    std::vector<Record> found;
    for (const Record& record : records_)
        if (!record.expected) found.push_back(record);
    return found;
}

void ScriptedDialogService::clear() {
    answers_.clear();
    records_.clear();
}

}  // namespace corvane::ui
