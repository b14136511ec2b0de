// Map epochs from serial day numbers (the host's datenum) back to calendar fields, to the
// second.
#pragma once

#include "common/records.h"

namespace ionex {

// The epoch of day number `day`, rounded to the nearest second; 24:00 is the next day's 00:00.
// *seconds receives the epoch in whole seconds since day 0 (to compare epochs exactly).
// Returns false for a number that is not finite or lies outside the years 0 .. 9999.
bool epochFromDayNumber(double day, IonexEpoch& epoch, long long* seconds);

}  // namespace ionex
