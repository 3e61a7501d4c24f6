#pragma once

// A list of "name=value" lines, names compared without regard to case:
// the broker's company settings and login data.

#include <string>
#include <string_view>
#include <vector>

namespace corvane::host {

class NameValueList {
public:
    // The value of the first line with that name; "" when there is none.
    std::string value(std::string_view name) const;
    bool hasName(std::string_view name) const;
    // Replaces the value of the first line with that name or appends a
    // line; an empty value removes the line.
    void setValue(std::string_view name, std::string_view value);

    // Replaces all lines with the lines of text (CR LF, LF or CR breaks).
    void setText(std::string_view text);
    std::string text() const;  // lines joined with CR LF
    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    bool empty() const { return lines_.empty(); }

private:
    int indexOfName(std::string_view name) const;
    std::vector<std::string> lines_;
};

}  // namespace corvane::host
