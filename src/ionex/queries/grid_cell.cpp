// Locating a point in the grid: latitude rows, longitudes brought onto the axis (either
// convention, wrap-around on grids that cover 360 degrees), cell fractions.
#include "queries/grid_cell.h"

#include <cmath>

namespace ionex {

namespace {

// How far past the first or last node (in cells) a point still counts as on it: rounding
// of the axis arithmetic, nothing more.
constexpr double kEdgeTolerance = 1e-9;

// Position of a point along an axis in cells from node 0, with the node below it and the
// fraction towards the next node.
struct AxisPlace {
    size_t node;      // the lower node of the cell
    size_t next;      // the upper node (== node on a single-node axis)
    double fraction;  // 0 at `node`, 1 at `next`
};

// Places `x` (cells from node 0) on an axis of `count` nodes that does not wrap.
// Returns false when x lies beyond the first or last node.
bool placeOnAxis(double x, size_t count, AxisPlace& place) {
    const double last = static_cast<double>(count - 1);
    if (!(x >= -kEdgeTolerance && x <= last + kEdgeTolerance)) return false;
    if (count == 1) {
        place = {0, 0, 0};
        return true;
    }
    if (x < 0) x = 0;
    if (x > last) x = last;
    size_t node = static_cast<size_t>(x);  // x >= 0: truncation is floor
    if (node >= count - 1) node = count - 2;
    place = {node, node + 1, x - static_cast<double>(node)};
    return true;
}

// Degrees from the first longitude node in the axis direction, brought into [0, 360).
// Returns the distance; NaN when `lon` is not finite.
double distanceAlongLon(const LonAxis& lon_axis, double lon) {
    double d = (lon - lon_axis.axis.first) * lon_axis.direction;
    if (!std::isfinite(d)) return std::numeric_limits<double>::quiet_NaN();
    if (d < 0 || d >= 360) {
        d = std::fmod(d, 360.0);  // exact
        if (d < 0) d += 360.0;
        if (d >= 360.0) d -= 360.0;
    }
    return d;
}

// Places longitude `lon` on the longitude axis. On a grid that covers 360 degrees every
// longitude lands in a cell, the last cell closing onto the first column when there is no
// seam column. Returns false when the longitude lies beyond a regional grid.
bool placeLongitude(const LonAxis& lon_axis, double lon, AxisPlace& place) {
    double d = distanceAlongLon(lon_axis, lon);
    if (std::isnan(d)) return false;
    const size_t count = lon_axis.axis.count;
    if (count == 1) {
        // One column: only its own meridian (or a rounding away from it) is on the grid.
        return (d <= 1e-9 || d >= 360.0 - 1e-9) ? (place = {0, 0, 0}, true) : false;
    }
    const double step = std::fabs(lon_axis.axis.step);
    if (lon_axis.wraps) {
        double x = d * std::fabs(lon_axis.axis.inverse_step);
        const double period = static_cast<double>(lon_axis.period);
        if (x >= period) x -= period;
        if (x < 0) x = 0;
        size_t node = static_cast<size_t>(x);
        if (node >= lon_axis.period) node = lon_axis.period - 1;
        const size_t next = node + 1 < count ? node + 1 : 0;
        place = {node, next, x - static_cast<double>(node)};
        return true;
    }
    // A point just west of the first node (by rounding) came round to nearly 360.
    if (d > lon_axis.span && d >= 360.0 - kEdgeTolerance * step) d -= 360.0;
    return placeOnAxis(d / step, count, place);
}

}  // namespace

GridCell locateCell(const MapGrid& grid, size_t lon_stride, double lat, double lon) {
    GridCell cell;
    AxisPlace row;
    AxisPlace column;
    if (!std::isfinite(lat)) return cell;
    const double y = grid.lat.count == 1 ? (lat == grid.lat.first ? 0.0 : -1.0)
                                         : (lat - grid.lat.first) * grid.lat.inverse_step;
    if (!placeOnAxis(y, grid.lat.count, row)) return cell;
    if (!placeLongitude(grid.lon, lon, column)) return cell;
    const double p = column.fraction;
    const double q = row.fraction;
    cell.inside = true;
    cell.offset[0] = row.node + column.node * lon_stride;
    cell.offset[1] = row.node + column.next * lon_stride;
    cell.offset[2] = row.next + column.node * lon_stride;
    cell.offset[3] = row.next + column.next * lon_stride;
    cell.weight[0] = (1 - p) * (1 - q);
    cell.weight[1] = p * (1 - q);
    cell.weight[2] = q * (1 - p);
    cell.weight[3] = p * q;
    return cell;
}

}  // namespace ionex
