// The windowed host on Qt's offscreen platform: the program's window is a
// real Qt window built from the module's form, the host hands its
// application object over slot 21, and closing the window as a person
// would ends the event loop with the program gone.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include "platform/qt/QtSession.h"
#include "platform/ui/Form.h"
#include "tests/support/TestSupport.h"
#include "workcenter/WorkCenter.h"

namespace corvane::workcenter {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

Settings hostSettings() {
    Settings settings;
    settings.moduleFolder = MODULE_FOLDER;
    settings.dataFolder = CORVANE_DATA_DIR;
    settings.language = "CHS";
    settings.noServer = true;
    return settings;
}

class WindowedHost : public ::testing::Test {
protected:
    Settings settings = hostSettings();
    std::vector<std::string> lines;
    ui::Application application;
    qt::QtSession session{application, true};
    WorkCenter center{settings, session.dialogs(), [this](const std::string& line) { lines.push_back(line); }};
};

QWidget* shownWindow() {
    QWidget* found = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible()) found = widget;
    return found;
}

TEST_F(WindowedHost, ProgramWindowIsARealWindowUntilAPersonClosesIt) {
    center.setApplication(&application);
    std::string error;
    ASSERT_TRUE(center.loadMessages(error)) << error;
    WorkCenter::OpenRequest request;
    request.programId = "TESTP01";
    ASSERT_EQ(center.open(request, error), 0) << error;

    QWidget* window = shownWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->windowTitle().startsWith(QString::fromStdU16String(u"测试程序 TESTP01")))
        << window->windowTitle().toStdString();
    QStringList buttons;
    for (QToolButton* button : window->findChildren<QToolButton*>()) buttons << button->text();
    EXPECT_TRUE(buttons.contains(QString::fromStdU16String(u"新增"))) << buttons.join(',').toStdString();
    QStringList edits;
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) edits << edit->text();
    EXPECT_TRUE(edits.contains("QV")) << edits.join(',').toStdString();

    test::TempDir dir;
    std::string shot = (dir / "window.png").string();
    ASSERT_NE(application.activeForm(), nullptr);
    ASSERT_TRUE(session.saveScreenshot(*application.activeForm(), shot, error)) << error;
    EXPECT_TRUE(test::readFile(shot).value_or("").starts_with("\x89PNG"));

    QTimer::singleShot(0, window, [window] { window->close(); });
    int code = session.run([this] {
        application.processMessages();
        center.processMessages();
        return center.openCount() > 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(center.openCount(), 0u);
    EXPECT_THAT(lines, ElementsAre("EVENT 256", "EVENT 272", "EVENT 320", "EVENT 304"));
}

TEST_F(WindowedHost, WithoutTheApplicationObjectTheProgramStaysHeadless) {
    std::string error;
    ASSERT_TRUE(center.loadMessages(error)) << error;
    WorkCenter::OpenRequest request;
    request.programId = "TESTP01";
    ASSERT_EQ(center.open(request, error), 0) << error;
    EXPECT_EQ(shownWindow(), nullptr);
    EXPECT_EQ(application.activeForm(), nullptr);
    center.closeAll();
    EXPECT_THAT(lines, Contains("EVENT 304"));
}

}  // namespace
}  // namespace corvane::workcenter
