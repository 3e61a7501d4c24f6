#include "workcenter/MessageTable.h"

#include <cctype>
#include <fstream>
#include <sstream>

#include "config/LibStrs.h"

namespace corvane::workcenter {

namespace {
std::string keyOf(std::string_view type, std::string_view code) {
    std::string t(type);
    for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t + " " + std::string(code);
}
}  // namespace

std::string MessageTable::fileFor(const std::string& dataFolder, const std::string& language) {
    return dataFolder + "/messages/" + language + ".msg";
}

bool MessageTable::load(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read the message file " + path;
        return false;
    }
    texts_.clear();
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (TrimStr(line).empty() || line[0] == '#') continue;
        // "<type> <code> <text>": the text may be empty.
        bool wellFormed = line.size() >= 8 && line[1] == ' ' && (line.size() == 8 || line[8] == ' ');
        for (std::size_t i = 2; wellFormed && i < 8; ++i)
            wellFormed = std::isdigit(static_cast<unsigned char>(line[i])) != 0;
        if (!wellFormed) {
            error = path + ":" + std::to_string(number) + ": expected \"<type> <six digits> <text>\"";
            return false;
        }
        texts_[keyOf(line.substr(0, 1), line.substr(2, 6))] = line.size() > 9 ? line.substr(9) : std::string();
    }
    return true;
}

std::string MessageTable::text(std::string_view type, std::string_view code) const {
    auto found = texts_.find(keyOf(type, code));
    return found == texts_.end() ? std::string() : found->second;
}

}  // namespace corvane::workcenter
