#pragma once

// Input masks such as "99:99;1; ": the pattern, whether literals are
// stored with the value (1) or not (0), and the character shown for a
// position not yet typed. Pattern characters: '0' digit required, '9'
// digit optional, '#' digit or sign optional, 'L'/'l' letter
// required/optional, 'A'/'a' letter or digit, 'C'/'c' any character;
// '\' makes the next character a literal; '!', '>' and '<' are switches
// and take no position; every other character is a literal.

#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class EditMask {
public:
    EditMask() = default;
    explicit EditMask(std::string_view mask);

    bool empty() const { return positions_.empty(); }
    bool saveLiterals() const { return saveLiterals_; }
    char blank() const { return blank_; }
    int length() const { return static_cast<int>(positions_.size()); }

    // The text an editor shows for a stored value: literals in place and
    // the blank character where nothing was typed.
    std::string format(std::string_view stored) const;
    // Whether an edited text fits: literals in place, required positions
    // typed, every typed character of the kind its position accepts. An
    // empty text fits (the field is cleared).
    bool accepts(std::string_view text) const;
    // What is stored for an edited text: the text as typed when literals
    // are saved, else the typed positions only.
    std::string stored(std::string_view text) const;

private:
    struct Position {
        char kind;  // the pattern character, or 0 for a literal
        char literal;
    };
    bool fits(const Position& p, char c) const;

    std::vector<Position> positions_;
    bool saveLiterals_ = true;
    char blank_ = '_';
};

}  // namespace corvane
