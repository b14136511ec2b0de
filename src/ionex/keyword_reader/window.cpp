// Window selection: the run of grid nodes a request needs, along latitude and longitude.
//
// Coordinates and steps are floats; the arithmetic is done in double precision and only
// the stored window coordinates are rounded to float.
#include "keyword_reader/window.h"

#include <climits>
#include <cmath>
#include <utility>

namespace ionex {

namespace {

// One grid axis as the header gives it.
struct Axis {
    double first;  // coordinate of node 0
    double last;   // coordinate the header names as the last node
    double step;
};

// Quotients beyond this bound cannot name a node of any real grid; they are refused before
// they are converted to int.
constexpr double kIndexBound = 1.0e9;

// The number of the axis's last node, trunc((last - first) / step).
// Returns false when that is not a valid node number (step 0, NaN, away from the last node).
bool lastNodeOf(const Axis& a, int* last_node) {
    double q = (a.last - a.first) / a.step;
    if (!std::isfinite(q) || q <= -1.0 || q >= static_cast<double>(INT_MAX)) return false;
    *last_node = static_cast<int>(q);  // truncation toward zero
    return true;
}

// Position of `coordinate` on the axis, in steps from node 0. Returns false when not usable.
bool positionOn(const Axis& a, double coordinate, double* q) {
    *q = (coordinate - a.first) / a.step;
    return std::isfinite(*q) && std::fabs(*q) < kIndexBound;
}

// The run of nodes that encloses [c0, c1] (c0 <= c1 for a point or an area), widened to two
// nodes when it holds one. Returns false when a position cannot be computed.
bool enclosingNodes(const Axis& a, double c0, double c1, Range<int>& index) {
    double q0 = 0.0;
    double q1 = 0.0;
    if (!positionOn(a, c0, &q0) || !positionOn(a, c1, &q1)) return false;
    if (a.step > 0) {
        // Ascending axis: c0 maps below c1 unless the longitudes were reordered by a change of
        // convention; then the indices are exchanged and the window runs through the interior.
        index.first = static_cast<int>(std::floor(q0));
        index.last = static_cast<int>(std::ceil(q1));
        if (index.first > index.last) std::swap(index.first, index.last);
    } else {
        // Descending axis: the larger coordinate has the smaller position.
        index.first = static_cast<int>(std::floor(std::fmin(q0, q1)));
        index.last = static_cast<int>(std::ceil(std::fmax(q0, q1)));
    }
    if (index.first == index.last) {
        int i = index.first;
        double node = a.first + i * a.step;
        // Grow toward the axis's last node; at node 0 of a descending axis that is node 1.
        if (a.last > node || (i == 0 && a.step < 0)) {
            index.last = i + 1;
        } else {
            index.first = i - 1;
        }
    }
    return true;
}

void setCoordinates(const Axis& a, const Range<int>& index, float step, Range<float>& coord) {
    coord.first = static_cast<float>(a.first + index.first * a.step);
    coord.last = static_cast<float>(a.first + index.last * a.step);
    coord.step = step;
}

// Builds the index and coordinate windows of one axis for a located request.
// Returns false when the window is not a run of the grid's nodes.
bool locatedWindow(const Axis& a, float step, double c0, double c1, Range<int>& index,
                   Range<float>& coord) {
    index.first = 0;
    index.last = 0;
    int last_node = 0;
    bool ok = std::isfinite(a.first) && std::isfinite(a.step) && a.step != 0 &&
              lastNodeOf(a, &last_node) && enclosingNodes(a, c0, c1, index);
    setCoordinates(a, index, step, coord);
    return ok && index.first >= 0 && index.last <= last_node;
}

// Builds the windows of one axis for the whole grid. Returns false when the grid has no
// defined node count.
bool wholeWindow(const Axis& a, float first, float last, float step, Range<int>& index,
                 Range<float>& coord) {
    int last_node = 0;
    bool ok = lastNodeOf(a, &last_node);
    index.first = 0;
    index.last = ok ? last_node : 0;
    coord.first = first;
    coord.last = last;
    coord.step = step;
    return ok;
}

// The latitude window must hold the requested latitudes (compared as floats).
bool latitudeCovered(const Range<float>& coord, float lat0, float lat1) {
    float low = coord.step > 0 ? coord.first : coord.last;
    float high = coord.step > 0 ? coord.last : coord.first;
    if (low > lat0) return false;
    if (lat1 > high) return false;
    return true;
}

}  // namespace

bool process_locations(const Location& loc0, const Location& loc1, const IonexHeader& header,
                       bool locations_given, Range<int>& lat_index, Range<int>& lon_index,
                       Range<float>& lat_coord, Range<float>& lon_coord) {
    const Axis lat{header.lat1, header.lat2, header.dlat};
    const Axis lon{header.lon1, header.lon2, header.dlon};
    if (!locations_given) {
        bool lat_ok = wholeWindow(lat, header.lat1, header.lat2, header.dlat, lat_index, lat_coord);
        bool lon_ok = wholeWindow(lon, header.lon1, header.lon2, header.dlon, lon_index, lon_coord);
        return lat_ok && lon_ok;
    }
    bool lat_ok = locatedWindow(lat, header.dlat, loc0.lat, loc1.lat, lat_index, lat_coord);
    bool lon_ok = locatedWindow(lon, header.dlon, loc0.lon, loc1.lon, lon_index, lon_coord);
    return lat_ok && lon_ok && latitudeCovered(lat_coord, loc0.lat, loc1.lat);
}

}  // namespace ionex
