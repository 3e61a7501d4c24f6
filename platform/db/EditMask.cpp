#include "platform/db/EditMask.h"

#include <cctype>

namespace corvane {
namespace {

bool isMaskCharacter(char c) {
    switch (c) {
    case '0': case '9': case '#': case 'L': case 'l': case 'A': case 'a': case 'C': case 'c':
        return true;
    default:
        return false;
    }
}

bool isRequired(char kind) { return kind == '0' || kind == 'L' || kind == 'A' || kind == 'C'; }

}  // namespace

EditMask::EditMask(std::string_view mask) {
    // The last two ';'-separated items are the save flag and the blank.
    std::string_view pattern = mask;
    auto last = mask.rfind(';');
    if (last != std::string_view::npos && last + 2 == mask.size()) {
        blank_ = mask[last + 1];
        pattern = mask.substr(0, last);
        auto second = pattern.rfind(';');
        if (second != std::string_view::npos && second + 2 == pattern.size()) {
            saveLiterals_ = pattern[second + 1] != '0';
            pattern = pattern.substr(0, second);
        }
    } else if (last != std::string_view::npos && last + 2 == mask.size() + 1) {
        pattern = mask.substr(0, last);
    }
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == '!' || c == '>' || c == '<') continue;
        if (c == '\\' && i + 1 < pattern.size()) {
            positions_.push_back({0, pattern[++i]});
        } else if (isMaskCharacter(c)) {
            positions_.push_back({c, 0});
        } else {
            positions_.push_back({0, c});
        }
    }
}

bool EditMask::fits(const Position& p, char c) const {
    bool blank = c == blank_ || c == ' ';
    if (blank) return !isRequired(p.kind);
    unsigned char u = static_cast<unsigned char>(c);
    switch (p.kind) {
    case '0': case '9': return std::isdigit(u) != 0;
    case '#': return std::isdigit(u) || c == '+' || c == '-';
    case 'L': case 'l': return std::isalpha(u) != 0;
    case 'A': case 'a': return std::isalnum(u) != 0;
    default: return true;
    }
}

std::string EditMask::format(std::string_view stored) const {
    std::string out;
    std::size_t next = 0;
    for (const Position& p : positions_) {
        if (p.kind == 0) {
            out += p.literal;
            if (saveLiterals_ && next < stored.size() && stored[next] == p.literal) ++next;
        } else {
            out += next < stored.size() ? stored[next++] : blank_;
        }
    }
    return out;
}

bool EditMask::accepts(std::string_view text) const {
    if (text.empty() || positions_.empty()) return true;
    if (text.size() > positions_.size()) return false;
    for (std::size_t i = 0; i < positions_.size(); ++i) {
        const Position& p = positions_[i];
        char c = i < text.size() ? text[i] : blank_;
        if (p.kind == 0) {
            if (c != p.literal) return false;
        } else if (!fits(p, c)) {
            return false;
        }
    }
    return true;
}

std::string EditMask::stored(std::string_view text) const {
    if (saveLiterals_) return std::string(text);
    std::string out;
    for (std::size_t i = 0; i < positions_.size() && i < text.size(); ++i)
        if (positions_[i].kind != 0) out += text[i];
    return out;
}

}  // namespace corvane
