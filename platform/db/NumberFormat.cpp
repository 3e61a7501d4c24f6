#include "platform/db/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace corvane {
namespace {

std::vector<std::string> splitSections(std::string_view format) {
    std::vector<std::string> sections(1);
    char quote = 0;
    for (char c : format) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

struct Pattern {
    int minInt = 0;
    int minFrac = 0;
    int maxFrac = 0;
    bool thousands = false;
};

Pattern readPattern(std::string_view section) {
    Pattern p;
    bool fraction = false;
    char quote = 0;
    for (char c : section) {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') quote = c;
        else if (c == '.') fraction = true;
        else if (c == ',' && !fraction) p.thousands = true;
        else if (c == '0') (fraction ? (++p.minFrac, ++p.maxFrac) : ++p.minInt);
        else if (c == '#' && fraction) ++p.maxFrac;
    }
    return p;
}

// The digits of |value| rounded half away from zero to maxFrac decimals.
void splitDigits(double value, int decimals, std::string& integer, std::string& fraction) {
    char buffer[400];
    double scale = std::pow(10.0, decimals);
    double scaled = value * scale;
    if (scaled < 9e15) {
        double rounded = std::floor(scaled + 0.5 + 1e-9 * (scaled >= 1 ? 1 : 0));
        std::snprintf(buffer, sizeof buffer, "%.0f", rounded);
        std::string digits = buffer;
        if (static_cast<int>(digits.size()) <= decimals) digits.insert(0, decimals + 1 - digits.size(), '0');
        integer = digits.substr(0, digits.size() - decimals);
        fraction = digits.substr(digits.size() - decimals);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
        std::string digits = buffer;
        auto dot = digits.find('.');
        integer = digits.substr(0, dot);
        fraction = dot == std::string::npos ? std::string() : digits.substr(dot + 1);
    }
}

std::string formatNumber(const Pattern& p, double value) {
    std::string integer, fraction;
    splitDigits(value, p.maxFrac, integer, fraction);
    while (static_cast<int>(fraction.size()) > p.minFrac && !fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    while (integer.size() > 1 && integer.front() == '0') integer.erase(0, 1);
    if (integer == "0" && p.minInt == 0) integer.clear();
    if (static_cast<int>(integer.size()) < p.minInt) integer.insert(0, p.minInt - integer.size(), '0');
    if (p.thousands) {
        for (int pos = static_cast<int>(integer.size()) - 3; pos > 0; pos -= 3) integer.insert(pos, ",");
    }
    return fraction.empty() ? integer : integer + "." + fraction;
}

// The section with its number pattern replaced by the formatted number.
std::string render(std::string_view section, const std::string& number) {
    std::string out;
    bool placed = false;
    char quote = 0;
    for (char c : section) {
        if (quote) {
            if (c == quote) quote = 0;
            else out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '0' || c == '#' || c == ',' || c == '.') {
            if (!placed) out += number;
            placed = true;
        } else {
            out += c;
        }
    }
    if (!placed) out += number;
    return out;
}

}  // namespace

std::string FormatFloat(std::string_view format, double value) {
    if (format.empty()) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
        return buffer;
    }
    std::vector<std::string> sections = splitSections(format);
    std::string section = sections[0];
    bool sign = false;
    if (value < 0) {
        if (sections.size() > 1 && !sections[1].empty()) section = sections[1];
        else sign = true;
    }
    Pattern pattern = readPattern(section);
    std::string number = formatNumber(pattern, std::fabs(value));
    bool allZero = number.find_first_of("123456789") == std::string::npos;
    if (allZero) {
        sign = false;
        if (sections.size() > 2 && !sections[2].empty()) {
            section = sections[2];
            number = formatNumber(readPattern(section), 0);
        }
    }
    return (sign ? "-" : "") + render(section, number);
}

}  // namespace corvane
