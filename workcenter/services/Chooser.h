#pragma once

// The lookup window's pick list, behind an interface: the Qt host shows a
// real list, script mode and tests answer from a queue of `pick` commands.

#include <deque>
#include <string>
#include <vector>

#include "platform/core/Variant.h"

namespace corvane::host {

struct ChoiceRequest {
    std::string kind;                             // "lookup", "phrase" or "character"
    std::u16string title;                         // e.g. the lookup's table and kind
    std::vector<std::u16string> captions;         // column captions
    std::vector<std::vector<std::u16string>> rows;  // the shown texts
};

class Chooser {
public:
    virtual ~Chooser() = default;
    // The index (from 0) of the chosen row, or -1 when the user cancelled.
    virtual int choose(const ChoiceRequest& request) = 0;
};

// Answers from a queue the script fills: an integer N chooses row N
// (counted from 1, as the rows are numbered on screen), an empty variant
// cancels. A list that opens with nothing queued, or a row that is not
// there, raises EOleError so that the script fails visibly.
class ScriptedChooser : public Chooser {
public:
    explicit ScriptedChooser(std::deque<Variant>& queue) : queue_(queue) {}
    int choose(const ChoiceRequest& request) override;

private:
    std::deque<Variant>& queue_;
};

}  // namespace corvane::host
