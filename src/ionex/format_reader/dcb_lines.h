// The lines of a differential-code-bias block, read by their columns.
//   satellite: system letter column 4 (blank: GPS), PRN 5-6, bias 7-16, RMS 17-26
//   station:   system letter column 4, name 7-10, DOMES number 12-20, bias 27-36, RMS 37-46
#pragma once

#include "common/ionex_contents.h"

namespace ionex {

// Reads a "PRN / BIAS / RMS" line of `length` characters. Returns false when a field
// cannot be read (then `bias` is unspecified).
bool readSatelliteBias(const char* line, long length, SatelliteBias& bias);

// Reads a "STATION / BIAS / RMS" line of `length` characters. Returns false when a field
// cannot be read (then `bias` is unspecified).
bool readStationBias(const char* line, long length, StationBias& bias);

}  // namespace ionex
