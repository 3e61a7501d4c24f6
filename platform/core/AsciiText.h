#pragma once

// Small text helpers for names, keywords and SQL: they change ASCII letters
// only, which is safe for UTF-8 and for GBK lead bytes, but not for GBK
// trail bytes (0x40-0x7E overlaps the letters): fold GBK data text with a
// GBK-aware routine instead.

#include <string>
#include <string_view>

namespace corvane {

// Without the blanks (space, tab, CR, LF, VT, FF) at both ends.
std::string_view trimBlanks(std::string_view text);
inline std::string trimmedCopy(std::string_view text) { return std::string(trimBlanks(text)); }
std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace corvane
