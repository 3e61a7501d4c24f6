// CorvaneWorkCenter: the work-centre host. It logs in with the user,
// company and company database of its command line, connects its services
// to the application server, loads program modules and shows their
// windows. With --script it runs without a display and prints what a
// person would see.

#include <cctype>
#include <fstream>
#include <iostream>
#include <memory>

#include "platform/core/CodePage.h"
#include "platform/os/FileSystem.h"
#include "platform/ui/Application.h"
#include "workcenter/CommandLine.h"
#include "workcenter/HostProfile.h"
#include "workcenter/ScriptRunner.h"
#include "workcenter/services/Chooser.h"
#ifdef CORVANE_WITH_QT
#include "platform/qt/QtSession.h"
#endif

#ifndef CORVANE_DATA_DIR
#define CORVANE_DATA_DIR "data"
#endif

using namespace corvane::workcenter;

namespace {

// Fills what the command line left open: module folder, data folder,
// interface language and the application server's address.
bool completeSettings(Settings& settings, std::string& error) {
    if (settings.moduleFolder.empty()) settings.moduleFolder = corvane::gbkToUtf8(corvane::executableFolder());
    if (settings.dataFolder.empty()) settings.dataFolder = CORVANE_DATA_DIR;
    HostProfile profile;
    if (!settings.profile.empty() && !profile.load(settings.profile)) {
        error = "cannot read the profile " + settings.profile;
        return false;
    }
    if (settings.language.empty()) settings.language = profile.langType;
    if (settings.serverPort == 0) {
        settings.serverAddress = profile.serverAddress;
        settings.serverPort = profile.serverPort;
    }
    if (settings.language != "CHS" && settings.language != "CHT" && settings.language != "ENG") {
        error = "unknown interface language " + settings.language;
        return false;
    }
    return true;
}

void print(const std::string& line) { std::cout << line << '\n' << std::flush; }

#ifdef CORVANE_WITH_QT
// The lookup window's pick list for people: a real list in a dialog.
class QtChooser : public corvane::host::Chooser {
public:
    explicit QtChooser(corvane::qt::QtSession& session) : session_(session) {}
    int choose(const corvane::host::ChoiceRequest& request) override {
        return session_.chooseRow(request.title, request.captions, request.rows);
    }

private:
    corvane::qt::QtSession& session_;
};

// Script mode draws its windows only for `screenshot`: Qt starts then,
// offscreen, on the application object every program was given.
class ScriptScreenshots {
public:
    explicit ScriptScreenshots(corvane::ui::Application& application) : application_(application) {}
    bool save(const std::string& file, std::string& error) {
        corvane::ui::Form* form = application_.activeForm();
        if (!form) {
            error = "the active program shows no window of its own";
            return false;
        }
        if (!session_) session_ = std::make_unique<corvane::qt::QtSession>(application_, true);
        return session_->saveScreenshot(*form, file, error);
    }

private:
    corvane::ui::Application& application_;
    std::unique_ptr<corvane::qt::QtSession> session_;
};
#endif

int runScript(const Settings& settings) {
    ScriptRunner runner(settings, print);
    std::string error;
    if (!runner.workCenter().loadMessages(error)) {
        print("ERROR " + error);
        return 1;
    }
    // The programs' forms belong to the host's application object, headless
    // until a screenshot asks for them to be drawn.
    corvane::ui::Application application;
    application.setDialogService(&runner.dialogs());
    runner.workCenter().setApplication(&application);
#ifdef CORVANE_WITH_QT
    ScriptScreenshots screenshots(application);
    runner.screenshot = [&screenshots](const std::string& file, std::string& failure) {
        return screenshots.save(file, failure);
    };
#endif
    runner.workCenter().connectServer();
    if (*settings.script == "-") return runner.run(std::cin) ? 0 : 1;
    std::ifstream file(*settings.script);
    if (!file) {
        print("ERROR cannot read the script " + *settings.script);
        return 1;
    }
    return runner.run(file) ? 0 : 1;
}

#ifdef CORVANE_WITH_QT
// The windowed host: the program of the command line in a real window; the
// host ends when its last window has gone.
int runWindows(const Settings& settings) {
    if (settings.program.empty()) {
        std::cerr << "CorvaneWorkCenter: name the program to open (for example RESI01), or use --script FILE\n";
        return 2;
    }
    corvane::ui::Application application;
    corvane::qt::QtSession session(application, false);
    application.setDialogService(&session.dialogs());
    WorkCenter center(settings, session.dialogs(), print);
    center.setApplication(&application);
    center.setChooser(std::make_shared<QtChooser>(session));
    std::string error;
    if (!center.loadMessages(error)) {
        session.showError("CorvaneWorkCenter", error);
        print("ERROR " + error);
        return 1;
    }
    if (!settings.noServer && !center.connectServer())
        session.showError("CorvaneWorkCenter",
                          "The application server at " + settings.serverAddress + ":" +
                              std::to_string(settings.serverPort) +
                              " cannot be reached. The program runs without the host's services.");
    WorkCenter::OpenRequest request;
    request.programId = settings.program;
    for (char& c : request.programId) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (center.open(request, error) != 0) {
        std::string text = corvane::gbkToUtf8(error);
        session.showError("CorvaneWorkCenter", text);
        print("ERROR " + text);
        return 1;
    }
    int code = session.run([&] {
        application.processMessages();
        center.processMessages();
        return center.openCount() > 0;
    });
    center.closeAll();
    return code;
}
#else
int runWindows(const Settings&) {
    std::cerr << "CorvaneWorkCenter: this build has no window system support; use --script FILE\n";
    return 2;
}
#endif

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    std::optional<Settings> settings = parseCommandLine(args, error);
    if (!settings) {
        std::cerr << "CorvaneWorkCenter: " << error << '\n' << usageText();
        return 2;
    }
    if (settings->help) {
        std::cout << usageText();
        return 0;
    }
    if (!completeSettings(*settings, error)) {
        std::cerr << "CorvaneWorkCenter: " << error << '\n';
        return 2;
    }
    if (settings->script) return runScript(*settings);
    return runWindows(*settings);
}
