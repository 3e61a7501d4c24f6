#pragma once

// The few client-profile values the work centre needs, read from the
// profile file given on the command line. Values the file lacks keep
// their defaults; without a file every value is its default.

#include <string>

namespace corvane::workcenter {

struct HostProfile {
    std::string langType = "CHS";            // "Client Components" / "LangType"
    std::string serverAddress = "127.0.0.1";  // "Server Information" / "ComputerName", first host
    int serverPort = 211;                     // "Server Information" / "ServerPort"

    // Reads the file (GBK ini); false when it cannot be read.
    bool load(const std::string& path);
};

}  // namespace corvane::workcenter
