// The grid of an IONEX file (latitude, longitude and height axes from the header's
// LAT1 / LAT2 / DLAT, LON1 / LON2 / DLON and HGT1 / HGT2 / DHGT records) and the windows of
// nodes that a read keeps.
#pragma once

#include <string>
#include <vector>

namespace ionex {

// No axis of a real product comes near this many nodes; a header that claims more is not
// read (the axes alone would otherwise take what the header asks for).
constexpr long kMaxAxisNodes = 1L << 18;

// One axis as the header defines it: node k is first + k * step.
struct AxisDefinition {
    bool present = false;
    double first = 0;
    double last = 0;
    double step = 0;
    long count = 0;  // nodes from first to last; set by countNodes
};

// Counts the nodes of `axis` into axis.count. Returns false (with `detail` saying why) when
// the record does not define a whole number of nodes, or more than kMaxAxisNodes.
bool countNodes(AxisDefinition& axis, std::string& detail);

// Node k of the axis, computed as first + k * step (never as a running sum).
inline double nodeAt(const AxisDefinition& axis, long k) { return axis.first + static_cast<double>(k) * axis.step; }

// Index of the node at `coordinate` within a small tolerance. Returns -1 when no node lies there.
long nodeIndex(const AxisDefinition& axis, double coordinate);

// A run of consecutive latitude nodes, in file order.
struct AxisRun {
    long first = 0;
    long count = 0;
};

// The smallest run of nodes of `axis` whose span encloses [a, b] (either order) cut to the
// grid: a range between two nodes gives those two, a range that overlaps the grid in part
// gives the nodes within it and the enclosing node on the grid's side. Returns false when
// the range lies wholly beyond an end of the axis (it holds no node and none encloses it).
bool enclosingRun(const AxisDefinition& axis, double a, double b, AxisRun& run);

// The message for a range that lies outside the axis: "the <name> range [a b] lies outside
// the grid's <name>s <first>..<last>". Returns it.
std::string rangeOutsideText(const char* name, const AxisDefinition& axis, double a, double b);

// The longitude columns a read keeps: column_of[g] is the output column of grid node g, or -1.
// A window across the seam of a global grid continues from the last node to the first, and
// the seam's meridian appears once.
struct LongitudeWindow {
    std::vector<int> column_of;
    std::vector<double> coordinates;  // of each output column
};

// Every node of the axis, in file order. Returns nothing.
void wholeLongitudes(const AxisDefinition& axis, LongitudeWindow& window);

// The smallest window of nodes that encloses the longitudes [a, b] (a > b: the range crosses
// the seam), a and b given in -180..180 or 0..360. Returns false (with `detail`) when the
// range lies outside the grid.
bool longitudeWindow(const AxisDefinition& axis, double a, double b, LongitudeWindow& window,
                     std::string& detail);

}  // namespace ionex
