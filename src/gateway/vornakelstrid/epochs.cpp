// Map epochs: the header's first epoch as a serial day number, then one interval per map.

#include "vornakelstrid/epochs.h"

namespace gateway {

namespace {

// Days of a common year before month m (index 0 to 12); month 0 counts like January.
constexpr int kDaysBefore[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};

constexpr double kSecondsPerDay = 86400.0;

// Tells whether `year` of the Gregorian calendar has 29 February.
// Returns true for leap years.
bool isLeapYear(long long year) {
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

}  // namespace

double datenum(int year, int month, int day, int hour, int minute, double second) {
    // 64-bit arithmetic: no header field can make the whole-day part wrap around.
    long long y = year;
    long long m = month;
    if (m > 12) {
        const long long years = (m - 1) / 12;
        m -= 12 * years;
        y += years;
    }
    if (m < 0) m = 0;
    const long long y1 = y - 1;
    const long long leap_days = y1 / 4 - y1 / 100 + y1 / 400 + 1;
    const long long day_term = day + kDaysBefore[m] + ((m > 2 && isLeapYear(y)) ? 1 : 0);
    const long long whole_days = 365 * y + leap_days + day_term;
    return static_cast<double>(whole_days) + hour / 24.0 + minute / 1440.0 + second / kSecondsPerDay;
}

void fillEpochs(const ionex::IonexHeader& header, double* epochs) {
    if (header.num_maps < 1) return;
    const ionex::IonexEpoch& e = header.first_epoch;
    epochs[0] = datenum(e.year, e.month, e.day, e.hour, e.minute, e.second);
    const double step = header.interval / kSecondsPerDay;
    // A running sum, so that each epoch carries the rounding of the ones before it.
    for (int k = 1; k < header.num_maps; ++k) epochs[k] = epochs[k - 1] + step;
}

void createEpochOutput(int nlhs, mxArray* plhs[], const ionex::IonexHeader& header) {
    if (nlhs <= 1 || header.num_maps < 0) return;
    plhs[1] = mxCreateDoubleMatrix(static_cast<mwSize>(header.num_maps), 1, mxREAL);
    fillEpochs(header, mxGetPr(plhs[1]));
}

}  // namespace gateway
