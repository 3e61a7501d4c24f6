#include "host/MessageFormat.h"

#include <gtest/gtest.h>

namespace corvane::host {
namespace {

TEST(MessageFormatTest, FillsDirectivesAndNeverRaises) {
    struct Case {
        const char* text;
        std::vector<Variant> args;
        const char* expected;
    };
    const Case cases[] = {
        {"%s不存在 ", {"MB001"}, "MB001不存在 "},
        {"%s and %s", {"a", "b"}, "a and b"},
        {"100%% done", {}, "100% done"},
        {"%d rows, %5.2f%%", {12, 3.14159}, "12 rows,  3.14%"},
        {"[%-4s]|[%4s]", {"ab", "cd"}, "[ab  ]|[  cd]"},
        {"%1:s %0:s %s", {"x", "y"}, "y x y"},
        {"%.3d|%x|%n", {7, 255, 1234567.5}, "007|FF|1,234,567.50"},
        {"%*d", {4, 7}, "   7"},
        {"%.2s", {"abcdef"}, "ab"},
        // faults in the text or the call: shown as they stand
        {"50% off", {}, "50% off"},
        {"%s and %s", {"only"}, "only and %s"},
        {"%d", {"not a number"}, "%d"},
        {"trailing %", {}, "trailing %"},
        {"%q unknown", {"a"}, "%q unknown"},
        {"%9:s", {"a"}, "%9:s"},
        {"no placeholders ", {"ignored", "too"}, "no placeholders "},
        {"%s", {Variant::null()}, ""},
        {"%s", {Variant::arrayOf({1})}, "%s"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatMessage(c.text, c.args), c.expected) << c.text;
}

}  // namespace
}  // namespace corvane::host
