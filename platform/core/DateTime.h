#pragma once

// Calendar arithmetic on date values (days since 1899-12-30, the time of
// day as the fraction), proleptic Gregorian.

#include <cstdint>

namespace corvane {

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct ClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);
bool isValidCalendarDate(int year, int month, int day);
// Days of year 1..9999 dates; false when the date is not a calendar date.
bool tryEncodeDate(int year, int month, int day, double& days);
bool tryEncodeTime(int hour, int minute, int second, int millisecond, double& fraction);
CalendarDate decodeDate(double days);
ClockTime decodeTime(double days);
// The local date and time now.
double nowDateTime();

}  // namespace corvane
