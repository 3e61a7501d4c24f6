#include "platform/qt/QtDialogService.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <memory>

#include "platform/qt/QtRenderer.h"
#include "platform/qt/QtText.h"

namespace corvane::qt {

namespace {

QMessageBox::Icon iconOf(ui::MsgDlgType type) {
    switch (type) {
    case ui::MsgDlgType::Warning: return QMessageBox::Warning;
    case ui::MsgDlgType::Error: return QMessageBox::Critical;
    case ui::MsgDlgType::Information: return QMessageBox::Information;
    case ui::MsgDlgType::Confirmation: return QMessageBox::Question;
    case ui::MsgDlgType::Custom: return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

// Qt's own button for each of ours (its caption follows Qt's language).
QMessageBox::StandardButton standardOf(ui::MsgDlgBtn button) {
    switch (button) {
    case ui::mbYes: return QMessageBox::Yes;
    case ui::mbNo: return QMessageBox::No;
    case ui::mbOK: return QMessageBox::Ok;
    case ui::mbCancel: return QMessageBox::Cancel;
    case ui::mbAbort: return QMessageBox::Abort;
    case ui::mbRetry: return QMessageBox::Retry;
    case ui::mbIgnore: return QMessageBox::Ignore;
    case ui::mbAll: return QMessageBox::YesToAll;
    case ui::mbNoToAll: return QMessageBox::NoToAll;
    case ui::mbYesToAll: return QMessageBox::YesToAll;
    case ui::mbHelp: return QMessageBox::Help;
    }
    return QMessageBox::NoButton;
}

}  // namespace

QMessageBox* QtDialogService::buildMessageBox(const ui::MessageDialogRequest& request) {
    auto* box = new QMessageBox(iconOf(request.type), toQt(request.caption), toQt(request.text));
    std::vector<ui::MsgDlgBtn> buttons = ui::buttonsInOrder(request.buttons);
    if (buttons.empty()) buttons.push_back(ui::mbOK);
    for (ui::MsgDlgBtn b : buttons) {
        QPushButton* button = nullptr;
        // mbAll and mbYesToAll would share Qt's button: the second one is our own.
        if (b == ui::mbAll && (request.buttons & ui::mbYesToAll))
            button = box->addButton(QStringLiteral("All"), QMessageBox::AcceptRole);
        else
            button = box->addButton(standardOf(b));
        button->setProperty("modalResult", ui::modalResultOf(b));
        for (const auto& [which, caption] : request.buttonCaptions)
            if (which == b) button->setText(toQt(caption));
        if (b == request.defaultButton) box->setDefaultButton(button);
        if (b == ui::mbCancel || (b == ui::mbNo && !(request.buttons & ui::mbCancel))) box->setEscapeButton(button);
    }
    return box;
}

int QtDialogService::messageDialog(const ui::MessageDialogRequest& request) {
    std::unique_ptr<QMessageBox> box(buildMessageBox(request));
    box->exec();
    QAbstractButton* clicked = box->clickedButton();
    if (!clicked) return ui::mrCancel;
    return clicked->property("modalResult").toInt();
}

int QtDialogService::showModal(ui::Form& form) { return renderer_.runModal(form); }

}  // namespace corvane::qt
