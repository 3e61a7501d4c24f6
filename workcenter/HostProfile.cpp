#include "workcenter/HostProfile.h"

#include <cstdlib>
#include <fstream>

#include "config/LibStrs.h"
#include "platform/com/MemberName.h"

namespace corvane::workcenter {

bool HostProfile::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    std::string section;
    while (std::getline(in, line)) {
        line = TrimStr(line);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
            continue;
        }
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = TrimStr(line.substr(0, eq));
        std::string value = TrimStr(line.substr(eq + 1));
        if (com::sameName(section, "Client Components") && com::sameName(key, "LangType") && !value.empty()) {
            langType = value;
        } else if (com::sameName(section, "Server Information") && com::sameName(key, "ComputerName")) {
            std::string first = TrimStr(value.substr(0, value.find(';')));
            if (!first.empty()) serverAddress = first;
        } else if (com::sameName(section, "Server Information") && com::sameName(key, "ServerPort")) {
            char* end = nullptr;
            long port = std::strtol(value.c_str(), &end, 10);
            if (!value.empty() && end && *end == '\0' && port > 0 && port < 65536) serverPort = static_cast<int>(port);
        }
    }
    return true;
}

}  // namespace corvane::workcenter
