#pragma once

// Comparing GBK texts without regard to case: only single-byte letters
// fold; the second byte of a double-byte character (which may look like an
// ASCII letter) is left alone, so two different characters never compare
// equal.

#include <string>
#include <string_view>

namespace corvane {

// The text with its single-byte letters in upper case.
std::string upperGbk(std::string_view text);
// <0, 0 or >0 as a is before, equal to or after b, letters folded.
int compareGbkIgnoreCase(std::string_view a, std::string_view b);
// True when position pos of text is not the second byte of a character.
bool isCharacterBoundary(std::string_view text, std::size_t pos);

}  // namespace corvane
