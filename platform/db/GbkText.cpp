#include "platform/db/GbkText.h"

#include <cctype>

namespace corvane {
namespace {

bool isLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

}  // namespace

std::string upperGbk(std::string_view text) {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (isLead(c) && i + 1 < out.size()) ++i;  // keep the character's second byte
        else out[i] = static_cast<char>(std::toupper(c));
    }
    return out;
}

bool isCharacterBoundary(std::string_view text, std::size_t pos) {
    std::size_t i = 0;
    while (i < pos && i < text.size()) i += isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    return i == pos;
}

int compareGbkIgnoreCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    for (; i < a.size() && i < b.size(); ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (isLead(x) && isLead(y) && x == y && i + 1 < a.size() && i + 1 < b.size()) {
            ++i;  // the same lead byte: the second bytes compare as they are
            if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
            continue;
        }
        int cx = isLead(x) ? x : std::toupper(x);
        int cy = isLead(y) ? y : std::toupper(y);
        if (cx != cy) return cx < cy ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace corvane
