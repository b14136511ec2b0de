// Window selection: turns a requested point, area or the whole grid into index and
// coordinate windows of the header's grid.
#pragma once

#include "common/records.h"

namespace ionex {

// Writes the four windows for the request. With `locations_given` false the window is the
// whole grid and loc0/loc1 are not read. Returns false when the located window does not lie
// within the grid (or any coordinate, step or location is not finite, or a step is 0);
// the outputs are written on every call.
bool process_locations(const Location& loc0, const Location& loc1, const IonexHeader& header,
                       bool locations_given, Range<int>& lat_index, Range<int>& lon_index,
                       Range<float>& lat_coord, Range<float>& lon_coord);

}  // namespace ionex
