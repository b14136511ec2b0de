// Day numbers to calendar dates: the days since 1 March of year 0 are split into 400-year
// eras, years and days of the year, as the Gregorian calendar repeats every 400 years.
#include "writer/epoch_fields.h"

#include <cmath>

namespace ionex {

namespace {

constexpr long long kSecondsPerDay = 86400;
// Day number of 1 March of year 0 (1 January of year 0 is day 1, and year 0 is a leap year).
constexpr long long kMarchFirstOfYearZero = 61;
constexpr double kFirstDay = 1.0;             // 1 January of year 0
constexpr double kDayAfterLast = 3652426.0;   // 1 January of year 10000

}  // namespace

bool epochFromDayNumber(double day, IonexEpoch& e, long long* seconds) {
    if (!std::isfinite(day) || day < kFirstDay - 0.5 / kSecondsPerDay || day >= kDayAfterLast) return false;
    long long whole = static_cast<long long>(std::floor(day));
    long long second = static_cast<long long>(std::llround((day - static_cast<double>(whole)) * kSecondsPerDay));
    if (second >= kSecondsPerDay) {  // rounds up to midnight: the next day's 00:00
        whole += 1;
        second -= kSecondsPerDay;
    }
    if (whole >= static_cast<long long>(kDayAfterLast)) return false;
    *seconds = whole * kSecondsPerDay + second;
    // Days since 1 March of year 0: the leap day ends each year.
    const long long z = whole - kMarchFirstOfYearZero;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;                                // 0 .. 146096
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;  // 0 .. 399
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);         // 0 .. 365
    const long long mp = (5 * doy + 2) / 153;                              // March = 0
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    const long long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    if (y < 0 || y > 9999) return false;
    e.year = static_cast<int>(y);
    e.month = static_cast<int>(m);
    e.day = static_cast<int>(d);
    e.hour = static_cast<int>(second / 3600);
    e.minute = static_cast<int>(second / 60 % 60);
    e.second = static_cast<double>(second % 60);
    return true;
}

}  // namespace ionex
