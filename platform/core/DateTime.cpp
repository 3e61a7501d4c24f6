#include "platform/core/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace corvane {

namespace {

// Days from 0001-01-01 to 1899-12-30.
constexpr std::int64_t kEpochOffset = 693593;
constexpr double kMsPerDay = 86400000.0;

std::int64_t daysBeforeYear(int year) {
    std::int64_t y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

}  // namespace

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return kDays[month - 1] + (month == 2 && isLeapYear(year) ? 1 : 0);
}

bool isValidCalendarDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= daysInMonth(year, month);
}

bool tryEncodeDate(int year, int month, int day, double& days) {
    if (!isValidCalendarDate(year, month, day)) return false;
    std::int64_t n = daysBeforeYear(year);
    for (int m = 1; m < month; ++m) n += daysInMonth(year, m);
    n += day - 1;
    days = static_cast<double>(n - kEpochOffset);
    return true;
}

bool tryEncodeTime(int hour, int minute, int second, int millisecond, double& fraction) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return false;
    fraction = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
    return true;
}

CalendarDate decodeDate(double days) {
    std::int64_t n = static_cast<std::int64_t>(std::floor(days)) + kEpochOffset;  // days since 0001-01-01
    if (n < 0) return {};
    std::int64_t n400 = n / 146097, r = n % 146097;
    std::int64_t n100 = r / 36524;
    if (n100 == 4) n100 = 3;
    r -= n100 * 36524;
    std::int64_t n4 = r / 1461;
    r -= n4 * 1461;
    std::int64_t n1 = r / 365;
    if (n1 == 4) n1 = 3;
    r -= n1 * 365;
    CalendarDate d;
    d.year = static_cast<int>(n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1);
    d.month = 1;
    while (r >= daysInMonth(d.year, d.month)) r -= daysInMonth(d.year, d.month++);
    d.day = static_cast<int>(r + 1);
    return d;
}

ClockTime decodeTime(double days) {
    double fraction = std::fabs(days - std::trunc(days));
    auto ms = static_cast<std::int64_t>(std::llround(fraction * kMsPerDay));
    if (ms >= static_cast<std::int64_t>(kMsPerDay)) ms = static_cast<std::int64_t>(kMsPerDay) - 1;
    ClockTime t;
    t.millisecond = static_cast<int>(ms % 1000);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.hour = static_cast<int>(ms / 3600000);
    return t;
}

double nowDateTime() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    double date = 0, time = 0;
    tryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, date);
    tryEncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms), time);
    return date + time;
}

}  // namespace corvane
