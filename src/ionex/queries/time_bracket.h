// Which maps a time uses and with what weights: 'nearest', 'linear' and 'rotated' (the
// maps turn with the Sun, 360 degrees a day), and the 1 ms tolerance at both ends.
#pragma once

#include <cstddef>

#include "queries/map_set.h"

namespace ionex {

// How the maps of two epochs are combined.
enum class TimeMethod : int {
    kRotated = 0,  // linear in time, each map turned by the time since its epoch (default)
    kLinear = 1,   // linear in time, maps as they are
    kNearest = 2,  // the map nearest in time; a tie goes to the later map
};

// A time within this many days of a map epoch (the first and the last included) counts as
// that epoch (1 ms).
constexpr double kEpochTolerance = 1e-3 / 86400.0;

// The maps a time uses: map[0] with weight[0], map[1] with weight[1] (a map whose weight is
// exactly 0 is not needed), each looked up at its longitude plus shift[] degrees.
struct TimeBracket {
    bool inside = false;  // false: the time lies outside the maps' span (or is not finite)
    size_t map[2] = {0, 0};
    double weight[2] = {0, 0};
    double shift[2] = {0, 0};  // degrees east added to the longitude ('rotated' only)
};

// Brackets time `t` (serial day number) on `time` with `method`.
// Returns the bracket; inside == false outside [first, last] (after the 1 ms tolerance).
TimeBracket bracketTime(const TimeAxis& time, TimeMethod method, double t);

}  // namespace ionex
