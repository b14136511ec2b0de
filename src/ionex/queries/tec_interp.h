// Vertical TEC (and its RMS) at any time and place: the time bracket of time_bracket.h over
// the cell interpolation of grid_cell.h, for one point or a whole array of queries.
#pragma once

#include <cstddef>

#include "queries/grid_cell.h"
#include "queries/map_set.h"
#include "queries/time_bracket.h"

namespace ionex {

// One query input: element i is values[i * step]; step 0 repeats one value for every query
// (a scalar expanded against arrays).
struct QueryInput {
    const double* values;
    size_t step;
    double at(size_t i) const { return values[i * step]; }
};

// TEC and RMS at one point; NaN where not defined (RMS: also when the maps have none).
struct TecValue {
    double vtec;
    double rms;
};

// The value of the maps of `view`, height layer `layer`, at (lat, lon) (degrees) for a time
// already bracketed. RMS is worked out only when `want_rms` and the view holds RMS maps.
// Returns both values, NaN where a needed node is NaN or the point lies off the grid.
TecValue valueAtBracket(const MapGrid& grid, const MapSetView& view, size_t layer,
                        const TimeBracket& bracket, double lat, double lon, bool want_rms);

// TEC and RMS at time t (serial day number), latitude and longitude (degrees), layer
// `layer`, combined in time by `method`. Returns both; NaN outside the maps' span or grid.
TecValue interpolateTec(const MapGrid& grid, const MapSetView& view, size_t layer, TimeMethod method,
                        double t, double lat, double lon);

// Fills vtec[i] and, when `rms` is not null, rms[i] for the n queries (t, lat, lon)[i].
// Allocates nothing. Returns nothing.
void interpolateQueries(const MapGrid& grid, const MapSetView& view, size_t layer, TimeMethod method,
                        QueryInput t, QueryInput lat, QueryInput lon, size_t n, double* vtec, double* rms);

}  // namespace ionex
