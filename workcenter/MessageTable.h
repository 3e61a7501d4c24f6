#pragma once

// The host's message texts by type letter and six-digit code, read from
// <data>/messages/<LANGUAGE>.msg: GBK lines "E 000001 text", "#" comments.

#include <map>
#include <string>
#include <string_view>

namespace corvane::workcenter {

class MessageTable {
public:
    // Loads the file; false (and error set) when it cannot be read.
    bool load(const std::string& path, std::string& error);
    // The text, "" when the table has none.
    std::string text(std::string_view type, std::string_view code) const;
    std::size_t size() const { return texts_.size(); }

    static std::string fileFor(const std::string& dataFolder, const std::string& language);

private:
    std::map<std::string, std::string> texts_;  // "E 000001" -> text
};

}  // namespace corvane::workcenter
