// Grid facts of a map set: evenly spaced axes, longitude wrap-around, the time table.
#include "queries/map_set.h"

#include <cmath>

namespace ionex {

namespace {

// How far (degrees) a node may lie from first + k * step: far below the 0.1-degree
// resolution IONEX writes, far above the rounding of first + k * step.
constexpr double kNodeTolerance = 1e-6;

// The longitude difference `d` brought into [-180, 180]. Returns it.
double wrappedDifference(double d) {
    return d - 360.0 * std::round(d / 360.0);
}

// Fills `axis` from its first node, its last and the node count, and checks that every node
// lies at first + k * step; with `modulo_turn`, a node may also lie whole turns away from it.
// Returns false when the nodes are not finite or not evenly spaced.
bool fillEvenAxis(const double* nodes, size_t count, double last, bool modulo_turn, EvenAxis& axis) {
    axis.count = count;
    axis.first = nodes[0];
    axis.step = 0;
    axis.inverse_step = 0;
    if (!std::isfinite(nodes[0])) return false;
    if (count == 1) return true;
    if (!std::isfinite(last) || last == nodes[0]) return false;
    axis.step = (last - nodes[0]) / static_cast<double>(count - 1);
    if (!std::isfinite(axis.step) || axis.step == 0) return false;
    axis.inverse_step = 1.0 / axis.step;
    for (size_t k = 0; k < count; ++k) {
        double off = nodes[k] - (axis.first + static_cast<double>(k) * axis.step);
        if (modulo_turn) off = wrappedDifference(off);
        if (!(std::fabs(off) <= kNodeTolerance)) return false;
    }
    return true;
}

// Checks that `nodes` are finite and evenly spaced (a single node is), and fills `axis`.
// Returns false when they are not.
bool makeEvenAxis(const double* nodes, size_t count, EvenAxis& axis) {
    if (count == 0 || nodes == nullptr) return false;
    return fillEvenAxis(nodes, count, nodes[count - 1], false, axis);
}

// Checks that longitude `nodes` are evenly spaced once unwrapped: a window across the
// antimeridian, as ionex.read cuts it, jumps by a turn between two neighbours (170, 175,
// 180, -175, -170) and is the even axis 170..190. Fills `axis` with the unwrapped axis.
// Returns false when the nodes are not finite or not evenly spaced even so.
bool makeUnwrappedLonAxis(const double* nodes, size_t count, EvenAxis& axis) {
    if (count < 2 || nodes == nullptr) return false;
    double last = nodes[0];
    for (size_t k = 1; k < count; ++k) last += wrappedDifference(nodes[k] - nodes[k - 1]);
    return fillEvenAxis(nodes, count, last, true, axis);
}

// Fills the wrap-around facts of a longitude axis. Returns false when its nodes spread
// over more than 360 degrees and one more column (they would overlap themselves).
bool makeLonAxis(const double* nodes, size_t count, LonAxis& lon) {
    if (!makeEvenAxis(nodes, count, lon.axis) && !makeUnwrappedLonAxis(nodes, count, lon.axis)) return false;
    const double step = std::fabs(lon.axis.step);
    lon.direction = lon.axis.step < 0 ? -1.0 : 1.0;
    lon.span = step * static_cast<double>(count - 1);
    lon.wraps = false;
    lon.period = 0;
    if (count < 2) return true;
    if (lon.span > 360.0 + kNodeTolerance) return false;
    const double columns = 360.0 / step;
    const double whole = std::round(columns);
    // Columns in 360 degrees: whole (no seam column) or whole + 1 (the seam repeated).
    if (std::fabs(columns - whole) * step <= kNodeTolerance && whole >= 2 &&
        static_cast<double>(count) >= whole) {
        lon.wraps = true;
        lon.period = static_cast<size_t>(whole);
    }
    return true;
}

// Checks that the epochs are finite and strictly increasing and fills the time table.
// Returns false when they are not.
bool makeTimeAxis(const double* epochs, size_t count, TimeAxis& time) {
    if (count == 0 || epochs == nullptr) return false;
    for (size_t k = 0; k < count; ++k) {
        if (!std::isfinite(epochs[k])) return false;
        if (k > 0 && !(epochs[k] > epochs[k - 1])) return false;
    }
    time.epochs = epochs;
    time.count = count;
    time.first = epochs[0];
    time.last = epochs[count - 1];
    time.guess_scale = count > 1 ? static_cast<double>(count - 1) / (time.last - time.first) : 0;
    if (!std::isfinite(time.guess_scale)) time.guess_scale = 0;
    return true;
}

}  // namespace

void useHostLayout(MapSetView& view) {
    view.lon_stride = view.nlat;
    view.map_stride = view.nlat * view.nlon;
    view.height_stride = view.nlat * view.nlon * view.nmaps;
}

GridStatus prepareGrid(const MapSetView& view, MapGrid& grid) {
    if (view.nlat == 0 || view.lat == nullptr) return GridStatus::kNoLatitudes;
    if (view.nlon == 0 || view.lon == nullptr) return GridStatus::kNoLongitudes;
    if (view.nmaps == 0 || view.time == nullptr || view.tec == nullptr) return GridStatus::kNoMaps;
    if (!makeEvenAxis(view.lat, view.nlat, grid.lat)) return GridStatus::kLatNotEven;
    if (!makeLonAxis(view.lon, view.nlon, grid.lon)) return GridStatus::kLonNotEven;
    if (!makeTimeAxis(view.time, view.nmaps, grid.time)) return GridStatus::kTimeNotIncreasing;
    return GridStatus::kOk;
}

const char* describeGridStatus(GridStatus status) {
    switch (status) {
        case GridStatus::kOk: return "the grid is usable";
        case GridStatus::kNoLatitudes: return "M.lat holds no latitude";
        case GridStatus::kNoLongitudes: return "M.lon holds no longitude";
        case GridStatus::kNoMaps: return "M holds no maps (M.time or M.tec is empty)";
        case GridStatus::kLatNotEven: return "M.lat is not a finite, evenly spaced axis";
        case GridStatus::kLonNotEven:
            return "M.lon is not a finite, evenly spaced axis of at most 360 degrees";
        case GridStatus::kTimeNotIncreasing: return "M.time is not finite and strictly increasing";
    }
    return "unknown grid status";
}

}  // namespace ionex
