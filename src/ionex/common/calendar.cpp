// Serial day numbers: the same arithmetic as datenum, so that the times handed to the host
// compare equal to the host's own datenum of the same fields.
#include "common/calendar.h"

#include <cmath>

namespace ionex {

namespace {

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Days of `month` (1-12) in `year`. Returns the count.
int daysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool isValidEpoch(const IonexEpoch& e) {
    if (e.year < 0 || e.year > 9999 || e.month < 1 || e.month > 12) return false;
    if (e.day < 1 || e.day > daysInMonth(e.year, e.month)) return false;
    if (e.hour < 0 || e.hour > 24 || e.minute < 0 || e.minute > 59) return false;
    return e.second >= 0.0 && e.second <= 60.0;
}

// The year starts in March, so that the leap day is the year's last; months are counted from
// there and the days of the years before are added, as datenum does.
double serialDayNumber(const IonexEpoch& e) {
    if (e.month < 1 || e.month > 12) return std::nan("");  // no month to start from
    static const double kMonthStart[12] = {306, 337, 0, 31, 61, 92, 122, 153, 184, 214, 245, 275};
    double year = e.year;
    const double month = e.month;
    year += std::ceil((month - 14.0) / 12.0);
    double day = e.day;
    day += kMonthStart[e.month - 1] + 60.0;
    day += 365.0 * year + std::floor(year / 4.0) - std::floor(year / 100.0) + std::floor(year / 400.0);
    return day + (e.hour + (e.minute + e.second / 60.0) / 60.0) / 24.0;
}

}  // namespace ionex
