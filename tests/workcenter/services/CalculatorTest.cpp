#include "workcenter/services/Calculator.h"

#include <gtest/gtest.h>

using namespace corvane::host;

TEST(Calculator, EvaluatesArithmetic) {
    struct Case {
        const char* expression;
        const char* shown;  // nullptr: no value
    };
    const Case cases[] = {
        {"1+2*3", "7"},
        {"(1+2)*3", "9"},
        {"10/4", "2.5"},
        {"-3 + -(2 - 5)", "0"},
        {" 2 * 3.25 ", "6.5"},
        {"1/3", "0.3333333333"},
        {"8-2-1", "5"},
        {"12/3/2", "2"},
        {"0.1+0.2", "0.3"},
        {"1/0", nullptr},
        {"", nullptr},
        {"2+", nullptr},
        {"(1+2", nullptr},
        {"1+2)", nullptr},
        {"abc", nullptr},
        {"1..2", nullptr},
        {"3 4", nullptr},
    };
    for (const Case& c : cases) {
        auto v = evaluateExpression(c.expression);
        if (c.shown) {
            ASSERT_TRUE(v.has_value()) << c.expression;
            EXPECT_EQ(formatCalcValue(*v), c.shown) << c.expression;
        } else {
            EXPECT_FALSE(v.has_value()) << c.expression;
        }
    }
}

TEST(Calculator, DeepNestingIsRefusedNotACrash) {
    std::string deep(100000, '(');
    deep += "1";
    deep += std::string(100000, ')');
    EXPECT_FALSE(evaluateExpression(deep).has_value());
    EXPECT_FALSE(evaluateExpression(std::string(100000, '-') + "1").has_value());
}
