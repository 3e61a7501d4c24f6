#pragma once

// The lookup window's calculator: an arithmetic expression with + - * /,
// parentheses, unary signs and decimal numbers. A malformed expression or
// a division by zero gives no value (parsers of user text never raise).

#include <optional>
#include <string>
#include <string_view>

namespace corvane::host {

std::optional<double> evaluateExpression(std::string_view expression);
// The value as the calculator shows it: up to 10 decimals, no trailing zeros.
std::string formatCalcValue(double value);

}  // namespace corvane::host
