// Message dialogs as Qt message boxes, and modal forms run by the renderer.

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <memory>

#include "platform/qt/QtDialogService.h"
#include "platform/qt/QtRenderer.h"
#include "platform/qt/QtText.h"
#include "platform/ui/StdCtrls.h"
#include "tests/platform/qt/QtTestApp.h"

namespace corvane::qt {
namespace {

struct BoxCase {
    const char* name;
    unsigned buttons;
    ui::MsgDlgBtn defaultButton;
    std::vector<std::pair<ui::MsgDlgBtn, std::string>> captions;
    int buttonCount;
    int result;  // pressing the default button
    std::string defaultCaption;
};

class MessageBoxes : public ::testing::TestWithParam<BoxCase> {
protected:
    void SetUp() override { test::qtApp(); }
};

TEST_P(MessageBoxes, DefaultButtonGivesItsModalResult) {
    const BoxCase& c = GetParam();
    ui::Application app;
    QtRenderer renderer(app);
    QtDialogService dialogs(renderer);
    ui::MessageDialogRequest request;
    request.type = ui::MsgDlgType::Confirmation;
    request.caption = "提示";
    request.text = "资料已更改，是否保存？";
    request.buttons = c.buttons;
    request.defaultButton = c.defaultButton;
    request.buttonCaptions = c.captions;

    int buttonsSeen = 0;
    QString textSeen, defaultSeen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        buttonsSeen = static_cast<int>(box->buttons().size());
        textSeen = box->text();
        ASSERT_NE(box->defaultButton(), nullptr);
        defaultSeen = box->defaultButton()->text();
        box->defaultButton()->click();
    });
    EXPECT_EQ(dialogs.messageDialog(request), c.result);
    EXPECT_EQ(buttonsSeen, c.buttonCount);
    EXPECT_EQ(fromQt(textSeen), request.text);
    if (!c.defaultCaption.empty()) {
        EXPECT_EQ(fromQt(defaultSeen), c.defaultCaption);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxes,
    ::testing::Values(BoxCase{"Ok", ui::mbOK, ui::mbOK, {}, 1, ui::mrOk, ""},
                      BoxCase{"YesNoCancelDefaultNo", ui::mbYes | ui::mbNo | ui::mbCancel, ui::mbNo, {}, 3, ui::mrNo, ""},
                      BoxCase{"YesToAll", ui::mbYes | ui::mbNo | ui::mbYesToAll, ui::mbYesToAll, {}, 3, ui::mrYesToAll, ""},
                      BoxCase{"Yes", ui::mbYes | ui::mbNo, ui::mbYes, {{ui::mbYes, "是(&Y)"}}, 2, ui::mrYes, "是(&Y)"},
                      BoxCase{"CancelCaption", ui::mbOK | ui::mbCancel, ui::mbCancel, {{ui::mbCancel, "放弃"}}, 2,
                              ui::mrCancel, "放弃"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessageBoxShape, NoDefaultUnlessAskedAndTheDefaultComesFirst) {
    test::qtApp();
    ui::MessageDialogRequest request;
    request.type = ui::MsgDlgType::Error;
    request.buttons = ui::mbYes | ui::mbNo | ui::mbCancel | ui::mbYesToAll;
    request.defaultButton = ui::mbOK;  // not among the buttons: none is the default
    request.fontCharset = 136;
    std::unique_ptr<QMessageBox> box(QtDialogService::buildMessageBox(request));
    EXPECT_EQ(box->defaultButton(), nullptr);
    for (QAbstractButton* button : box->buttons()) {
        auto* push = qobject_cast<QPushButton*>(button);
        ASSERT_NE(push, nullptr);
        EXPECT_FALSE(push->isDefault());
        EXPECT_FALSE(push->autoDefault());
    }
    EXPECT_TRUE(box->font().families().contains(QStringLiteral("PMingLiU")));

    request.defaultButton = ui::mbNo;
    request.fontCharset = 134;
    box.reset(QtDialogService::buildMessageBox(request));
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->defaultButton()->property("modalResult").toInt(), ui::mrNo);
    EXPECT_EQ(box->defaultButton()->nextInFocusChain()->property("modalResult").toInt(), ui::mrYes);
    EXPECT_TRUE(box->font().families().contains(QStringLiteral("SimSun")));
}

TEST(QtModalForms, ButtonWithModalResultEndsTheRun) {
    test::qtApp();
    ui::Application app;
    QtRenderer renderer(app);
    QtDialogService dialogs(renderer);
    app.setDialogService(&dialogs);
    ui::Form& form = app.createForm<ui::Form>();
    form.setCaption("选项");
    form.setBounds(0, 0, 300, 120);
    ui::Button& ok = form.create<ui::Button>();
    ok.setParent(&form);
    ok.setCaption("确定");
    ok.setModalResult(ui::mrOk);
    int queries = 0;
    form.OnCloseQuery = [&](ui::Component*, bool& can) { can = ++queries > 1; };

    QTimer::singleShot(0, [&] {
        auto* button = qobject_cast<QPushButton*>(renderer.widgetOf(ok));
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(QApplication::activeModalWidget() == renderer.windowOf(form) ||
                    renderer.windowOf(form)->isModal());
        button->click();  // refused by the close query
        QTimer::singleShot(0, [button] { button->click(); });
    });
    EXPECT_EQ(form.showModal(), ui::mrOk);
    EXPECT_EQ(queries, 2);
    EXPECT_FALSE(form.visible());
    EXPECT_FALSE(renderer.windowOf(form)->isVisible());
}

}  // namespace
}  // namespace corvane::qt
