#include "platform/qt/QtDialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFont>
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

// The dialog font for the character set the caller asks for: a simplified
// or a traditional Chinese face first, then what this machine has.
QFont fontFor(int charset) {
    QFont font = QApplication::font();
    if (charset == 136)
        font.setFamilies({QStringLiteral("PMingLiU"), QStringLiteral("Noto Sans CJK TC"),
                          QStringLiteral("WenQuanYi Micro Hei")});
    else
        font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC"),
                          QStringLiteral("WenQuanYi Micro Hei")});
    return font;
}

}  // namespace

QMessageBox* QtDialogService::buildMessageBox(const ui::MessageDialogRequest& request) {
    auto* box = new QMessageBox(iconOf(request.type), toQt(request.caption), toQt(request.text));
    box->setFont(fontFor(request.fontCharset));
    std::vector<ui::MsgDlgBtn> buttons = ui::buttonsInOrder(request.buttons);
    if (buttons.empty()) buttons.push_back(ui::mbOK);
    std::vector<QPushButton*> pushButtons;
    QPushButton* defaultButton = nullptr;
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
        // Qt would pick a default of its own when none is set: only the
        // requested button may be one (a dialog may have none).
        button->setAutoDefault(false);
        if (b == request.defaultButton) defaultButton = button;
        if (b == ui::mbCancel || (b == ui::mbNo && !(request.buttons & ui::mbCancel))) box->setEscapeButton(button);
        pushButtons.push_back(button);
    }
    if (defaultButton) {
        box->setDefaultButton(defaultButton);
        // The default button comes first in tab order.
        QWidget* previous = defaultButton;
        for (QPushButton* button : pushButtons) {
            if (button == defaultButton) continue;
            QWidget::setTabOrder(previous, button);
            previous = button;
        }
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
