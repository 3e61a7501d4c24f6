#pragma once

// The work centre's command line.
//
//   CorvaneWorkCenter [--user ID] [--company ID] [--company-db NAME]
//                     [--modules FOLDER] [--profile FILE] [--language CHS|CHT|ENG]
//                     [--data FOLDER] [--dependency-version N]
//                     [--server ADDRESS:PORT | --no-server]
//                     [--script FILE|-] [PROGRAM]

#include <optional>
#include <string>
#include <vector>

namespace corvane::workcenter {

struct Settings {
    std::string userId = "QV";
    std::string companyId = "PRTest65";
    std::string companyDb = "PRTest65";
    std::string moduleFolder;        // where <PROGRAM>C.so files are; default: next to the executable
    std::string profile;             // client profile file (TessaroC.ini); optional
    std::string language;            // CHS, CHT or ENG; default from the profile, else CHS
    std::string dataFolder;          // holds messages/; default: the build's data folder
    std::string serverAddress;       // the application server: --server, else the profile
    int serverPort = 0;              // 0: not given on the command line
    bool noServer = false;           // --no-server: run without the host's services
    long dependencyVersion = 8000;   // what the host object reports (tests change it)
    std::optional<std::string> script;  // script file, "-" for standard input
    std::string program;             // program to open at start in GUI mode
    bool help = false;
};

// Parses argv; on a bad command line returns nullopt and sets error.
std::optional<Settings> parseCommandLine(const std::vector<std::string>& args, std::string& error);

std::string usageText();

}  // namespace corvane::workcenter
