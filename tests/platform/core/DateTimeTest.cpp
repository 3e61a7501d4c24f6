#include "platform/core/DateTime.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(DateTimeTest, EncodesAndDecodesAcrossTheCalendar) {
    const struct {
        int y, m, d;
        double days;
    } cases[] = {
        {1899, 12, 30, 0}, {1900, 1, 1, 2}, {2024, 3, 5, 45356}, {1, 1, 1, -693593}, {9999, 12, 31, 2958465},
        {2000, 2, 29, 36585},
    };
    for (const auto& c : cases) {
        double days = -1;
        ASSERT_TRUE(tryEncodeDate(c.y, c.m, c.d, days));
        EXPECT_EQ(days, c.days);
        CalendarDate back = decodeDate(days);
        EXPECT_EQ(back.year, c.y);
        EXPECT_EQ(back.month, c.m);
        EXPECT_EQ(back.day, c.d);
    }
    double days = 0;
    EXPECT_FALSE(tryEncodeDate(2023, 2, 29, days));
    EXPECT_FALSE(tryEncodeDate(10000, 1, 1, days));
}

TEST(DateTimeTest, TimeOfDayToTheMillisecond) {
    double fraction = 0;
    ASSERT_TRUE(tryEncodeTime(14, 7, 9, 42, fraction));
    ClockTime t = decodeTime(45356 + fraction);
    EXPECT_EQ(t.hour, 14);
    EXPECT_EQ(t.minute, 7);
    EXPECT_EQ(t.second, 9);
    EXPECT_EQ(t.millisecond, 42);
    EXPECT_FALSE(tryEncodeTime(24, 0, 0, 0, fraction));
}

}  // namespace
}  // namespace corvane
