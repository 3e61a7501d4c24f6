// CorvaneWorkCenter: the work-centre host. It logs in with the user,
// company and company database of its command line, loads program modules
// and drives their windows. With --script it runs without a display and
// prints what a person would see.

#include <fstream>
#include <iostream>

#include "platform/os/FileSystem.h"
#include "platform/core/CodePage.h"
#include "workcenter/CommandLine.h"
#include "workcenter/HostProfile.h"
#include "workcenter/ScriptRunner.h"

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
    settings.serverAddress = profile.serverAddress;
    settings.serverPort = profile.serverPort;
    if (settings.language != "CHS" && settings.language != "CHT" && settings.language != "ENG") {
        error = "unknown interface language " + settings.language;
        return false;
    }
    return true;
}

int runScript(const Settings& settings) {
    auto print = [](const std::string& line) { std::cout << line << '\n' << std::flush; };
    ScriptRunner runner(settings, print);
    std::string error;
    if (!runner.workCenter().loadMessages(error)) {
        print("ERROR " + error);
        return 1;
    }
    if (*settings.script == "-") return runner.run(std::cin) ? 0 : 1;
    std::ifstream file(*settings.script);
    if (!file) {
        print("ERROR cannot read the script " + *settings.script);
        return 1;
    }
    return runner.run(file) ? 0 : 1;
}

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
    // The windowed mode needs the Qt renderer of the platform layer.
    std::cerr << "CorvaneWorkCenter: this build has no window system support; use --script FILE\n";
    return 2;
}
