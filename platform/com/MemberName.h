#pragma once

// Member names and programmatic ids compare without regard to (ASCII) case.

#include <string>
#include <string_view>

namespace corvane::com {

bool sameName(std::string_view a, std::string_view b);
std::string foldName(std::string_view name);  // the lower-case key of a name

struct NameLess {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};

}  // namespace corvane::com
