// The TEC map reader and the power-of-ten scale of IONEX exponents.
#pragma once

#include "input/line_source.h"
#include "common/records.h"

namespace ionex {

// Results of readIonexMap.
enum MapResult : int {
    kMapRead = 0,          // "END OF TEC MAP" reached, or the input ended
    kMapOutOfOrder = 1,    // "START OF TEC MAP" does not carry map_index + 1
    kMapLonMismatch = 2,   // a row's longitude range differs from the header's
    kMapReadFailure = 3,   // reading a line raised an exception
};

// 10 raised to `exponent` as a float: exact for 0..9, the float nearest 1/10^m for -9..-1,
// and the float of the double 10^exponent beyond (0 or infinity outside float's range).
float pow10(int exponent);

// Reads the next TEC map (numbered map_index + 1 in the file) from `file`, keeping the values
// of rows lat_index and columns lon_index. The value of (row, column) goes to
// values[(row - lat_index.first) * nlon + (column - lon_index.first)]; places the file does not
// supply are left untouched. When `ended_before_start` is given it tells whether the input
// ended before the map's "START OF TEC MAP" line (the map was never reached). Returns a
// MapResult.
int readIonexMap(LineSource* file, const IonexHeader& header, const Range<int>& lat_index,
                 const Range<int>& lon_index, float scale, int map_index, char* line,
                 double* values, bool* ended_before_start = nullptr);

}  // namespace ionex
