#pragma once

// Fills the placeholders of a host message text with the call's arguments.
// Texts come from message files that people edit, so formatting never
// raises: a stray "%", an unknown directive or a missing argument leaves
// the directive as it stands, and surplus arguments are ignored.
//
// Directives: %% and %[index:][-][width][.precision]type with type s, d,
// u, x, f, g, e, n, m (case-insensitive); "*" takes width or precision
// from the arguments.

#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"

namespace corvane::host {

std::string formatMessage(std::string_view text, const std::vector<Variant>& args);

}  // namespace corvane::host
