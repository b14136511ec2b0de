// Grid axes and the windows of nodes kept from them.
#include "format_reader/grid_axes.h"

#include <cmath>
#include <cstdio>

namespace ionex {

namespace {

constexpr double kIndexTolerance = 1e-6;  // in units of one step
constexpr double kDegreeTolerance = 1e-6;

// The position of `coordinate` along the axis, in steps from the first node.
double stepsFrom(const AxisDefinition& axis, double coordinate) { return (coordinate - axis.first) / axis.step; }

// The nodes of a global longitude axis repeat every `period` indices (0: not global). A grid
// whose last node is the first node's meridian (-180..180) repeats after count - 1 nodes.
long seamPeriod(const AxisDefinition& axis) {
    if (axis.step == 0 || axis.count < 2) return 0;
    const double span = std::fabs(axis.last - axis.first);
    if (std::fabs(span - 360.0) < kDegreeTolerance) return axis.count - 1;
    if (std::fabs(span + std::fabs(axis.step) - 360.0) < kDegreeTolerance) return axis.count;
    return 0;
}

// Fills the window with the nodes first .. first + count - 1, taken modulo the period.
void fillWindow(const AxisDefinition& axis, long first, long count, long period, LongitudeWindow& window) {
    window.column_of.assign(static_cast<size_t>(axis.count), -1);
    window.coordinates.clear();
    for (long j = 0; j < count; ++j) {
        long g = first + j;
        if (period > 0 && g >= axis.count) g -= period;
        window.column_of[static_cast<size_t>(g)] = static_cast<int>(j);
        window.coordinates.push_back(nodeAt(axis, g));
    }
}

}  // namespace

bool countNodes(AxisDefinition& axis, std::string& detail) {
    if (!std::isfinite(axis.first) || !std::isfinite(axis.last) || !std::isfinite(axis.step)) {
        detail = "a grid value that is not a number";
        return false;
    }
    if (axis.step == 0) {
        axis.count = 1;
        if (axis.first == axis.last) return true;
        detail = "a zero step between different first and last nodes";
        return false;
    }
    const double steps = (axis.last - axis.first) / axis.step;
    const double whole = std::round(steps);
    if (steps < -kIndexTolerance || std::fabs(steps - whole) > kIndexTolerance * (1.0 + std::fabs(whole))) {
        detail = "a step that does not lead from the first node to the last";
        return false;
    }
    if (whole + 1 > static_cast<double>(kMaxAxisNodes)) {
        detail = "more than " + std::to_string(kMaxAxisNodes) + " nodes";
        return false;
    }
    axis.count = static_cast<long>(whole) + 1;
    return true;
}

long nodeIndex(const AxisDefinition& axis, double coordinate) {
    if (!std::isfinite(coordinate)) return -1;
    if (axis.step == 0) return std::fabs(coordinate - axis.first) <= kDegreeTolerance ? 0 : -1;
    const double steps = stepsFrom(axis, coordinate);
    const double whole = std::round(steps);
    if (std::fabs(steps - whole) > 1e-3 || whole < 0 || whole >= static_cast<double>(axis.count)) return -1;
    return static_cast<long>(whole);
}

bool enclosingRun(const AxisDefinition& axis, double a, double b, AxisRun& run) {
    if (axis.step == 0) {
        const double lo = a < b ? a : b, hi = a < b ? b : a;
        run = {0, 1};
        return axis.first >= lo - kDegreeTolerance && axis.first <= hi + kDegreeTolerance;
    }
    const double u = stepsFrom(axis, a), v = stepsFrom(axis, b);
    const double near = u < v ? u : v, far = u < v ? v : u;  // in steps from the first node
    const double last = static_cast<double>(axis.count - 1);
    // A range wholly beyond either end of the axis holds no node: it has no enclosing window,
    // and the nearest edge node would only pretend to answer it.
    if (far < -kIndexTolerance || near > last + kIndexTolerance) return false;
    const double lo = std::floor(near + kIndexTolerance);
    const double hi = std::ceil(far - kIndexTolerance);
    const long first = lo < 0 ? 0 : static_cast<long>(lo);
    const long end = hi > last ? axis.count - 1 : static_cast<long>(hi);
    run = {first, end - first + 1};
    return true;
}

std::string rangeOutsideText(const char* name, const AxisDefinition& axis, double a, double b) {
    char text[200];
    std::snprintf(text, sizeof text, "the %s range [%.10g %.10g] lies outside the grid's %ss %.10g..%.10g", name, a, b,
                  name, axis.first, axis.last);
    return text;
}

void wholeLongitudes(const AxisDefinition& axis, LongitudeWindow& window) {
    fillWindow(axis, 0, axis.count, 0, window);
}

bool longitudeWindow(const AxisDefinition& axis, double a, double b, LongitudeWindow& window, std::string& detail) {
    const double given_b = b;
    if (b < a) b += 360.0;  // across the seam: one contiguous range of meridians
    const long period = seamPeriod(axis);
    if (axis.step == 0 || period == 0) {
        // A regional grid: the range as given, or shifted by a turn, must meet it.
        for (double shift : {0.0, 360.0, -360.0, 720.0, -720.0}) {
            AxisRun run;
            if (enclosingRun(axis, a + shift, b + shift, run)) {
                fillWindow(axis, run.first, run.count, 0, window);
                return true;
            }
        }
        detail = rangeOutsideText("longitude", axis, a, given_b);
        return false;
    }
    if (b - a >= 360.0 - kDegreeTolerance) {
        wholeLongitudes(axis, window);
        return true;
    }
    const double u = stepsFrom(axis, a), v = stepsFrom(axis, b);
    const double lo = std::floor((u < v ? u : v) + kIndexTolerance);
    const double hi = std::ceil((u < v ? v : u) - kIndexTolerance);
    const long count = static_cast<long>(hi - lo) + 1;
    if (count >= period) {
        wholeLongitudes(axis, window);
        return true;
    }
    const long first = static_cast<long>(std::fmod(std::fmod(lo, static_cast<double>(period)) + period, period));
    fillWindow(axis, first, count, period, window);
    return true;
}

}  // namespace ionex
