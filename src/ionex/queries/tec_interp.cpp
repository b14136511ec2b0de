// Space and time together: each map the time needs, turned by its shift, interpolated in
// its cell, and the maps weighted by time.
#include "queries/tec_interp.h"

#include <limits>

namespace ionex {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

}  // namespace

TecValue valueAtBracket(const MapGrid& grid, const MapSetView& view, size_t layer,
                        const TimeBracket& bracket, double lat, double lon, bool want_rms) {
    TecValue out{kNaN, kNaN};
    if (!bracket.inside) return out;
    const bool rms_wanted = want_rms && view.rms != nullptr;
    const size_t layer_offset = layer * view.height_stride;
    double vtec = 0;
    double rms = 0;
    GridCell cell;
    bool located = false;
    double located_shift = 0;
    for (int m = 0; m < 2; ++m) {
        if (bracket.weight[m] == 0) continue;  // not needed: its NaNs do not matter
        if (!located || bracket.shift[m] != located_shift) {
            cell = locateCell(grid, view.lon_stride, lat, lon + bracket.shift[m]);
            located = true;
            located_shift = bracket.shift[m];
        }
        const size_t map_offset = layer_offset + bracket.map[m] * view.map_stride;
        vtec += bracket.weight[m] * valueInCell(view.tec + map_offset, cell);
        if (rms_wanted) rms += bracket.weight[m] * valueInCell(view.rms + map_offset, cell);
    }
    out.vtec = vtec;
    if (rms_wanted) out.rms = rms;
    return out;
}

TecValue interpolateTec(const MapGrid& grid, const MapSetView& view, size_t layer, TimeMethod method,
                        double t, double lat, double lon) {
    return valueAtBracket(grid, view, layer, bracketTime(grid.time, method, t), lat, lon, true);
}

void interpolateQueries(const MapGrid& grid, const MapSetView& view, size_t layer, TimeMethod method,
                        QueryInput t, QueryInput lat, QueryInput lon, size_t n, double* vtec, double* rms) {
    for (size_t i = 0; i < n; ++i) {
        const TimeBracket bracket = bracketTime(grid.time, method, t.at(i));
        const TecValue v = valueAtBracket(grid, view, layer, bracket, lat.at(i), lon.at(i), rms != nullptr);
        vtec[i] = v.vtec;
        if (rms != nullptr) rms[i] = v.rms;
    }
}

}  // namespace ionex
