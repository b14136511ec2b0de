// Map epochs as host serial day numbers (day 1 is 1 January of year 0).
#pragma once

#include "mex.h"
#include "common/records.h"

namespace gateway {

// Serial day number of a calendar date and time. Months above 12 carry into the year,
// months below 0 count as month 0; day, hour, minute and second add linearly as given.
// Returns the day number, its fraction the time of day.
double datenum(int year, int month, int day, int hour, int minute, double second);

// Writes the epoch of each of the header's num_maps maps into `epochs`: the first epoch,
// then a running sum of interval / 86400. Returns nothing; writes nothing for num_maps < 1.
void fillEpochs(const ionex::IonexHeader& header, double* epochs);

// Makes output 2, a num_maps-by-1 column of map epochs, when two or more outputs are
// requested. Returns nothing; the caller has refused negative map counts.
void createEpochOutput(int nlhs, mxArray* plhs[], const ionex::IonexHeader& header);

}  // namespace gateway
