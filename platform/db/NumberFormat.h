#pragma once

// Numbers shown through a display or edit format such as "#,##0.00" or
// "##0.#######": '0' is a digit always shown, '#' a digit shown when
// needed, ',' asks for thousands separators, '.' places the decimal point,
// text in quotes and other characters are copied. Up to three sections
// separated by ';' give the format of positive, negative and zero values.

#include <string>
#include <string_view>

namespace corvane {

std::string FormatFloat(std::string_view format, double value);

}  // namespace corvane
