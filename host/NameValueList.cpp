#include "host/NameValueList.h"

#include "platform/com/MemberName.h"

namespace corvane::host {

int NameValueList::indexOfName(std::string_view name) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        std::string_view line = lines_[i];
        std::size_t eq = line.find('=');
        if (eq != std::string_view::npos && com::sameName(line.substr(0, eq), name)) return static_cast<int>(i);
    }
    return -1;
}

std::string NameValueList::value(std::string_view name) const {
    int index = indexOfName(name);
    if (index < 0) return {};
    const std::string& line = lines_[static_cast<std::size_t>(index)];
    return line.substr(line.find('=') + 1);
}

bool NameValueList::hasName(std::string_view name) const { return indexOfName(name) >= 0; }

void NameValueList::setValue(std::string_view name, std::string_view value) {
    int index = indexOfName(name);
    if (value.empty()) {
        if (index >= 0) lines_.erase(lines_.begin() + index);
        return;
    }
    std::string line = std::string(name) + "=" + std::string(value);
    if (index >= 0)
        lines_[static_cast<std::size_t>(index)] = std::move(line);
    else
        lines_.push_back(std::move(line));
}

void NameValueList::setText(std::string_view text) {
    lines_.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines_.emplace_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

std::string NameValueList::text() const {
    std::string joined;
    for (const std::string& line : lines_) joined += line + "\r\n";
    return joined;
}

}  // namespace corvane::host
