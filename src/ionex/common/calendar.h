// Calendar epochs as serial day numbers, the host's datenum convention (day 1 = 1 January of
// year 0, proleptic Gregorian calendar).
#pragma once

#include "common/records.h"

namespace ionex {

// Tells whether the fields of `epoch` name a real instant: month 1-12, day within the month,
// hour 0-24, minute 0-59, second in [0, 60]. Returns true when they do.
bool isValidEpoch(const IonexEpoch& epoch);

// The serial day number of `epoch`, computed with the same operations, in the same order,
// as the host's datenum(y, mo, d, h, mi, s). Returns the day number (NaN for a month
// outside 1-12).
double serialDayNumber(const IonexEpoch& epoch);

}  // namespace ionex
