// The IONEX bivariate interpolation inside the grid cell that holds a point:
//   E = (1-p)(1-q) E00 + p(1-q) E10 + q(1-p) E01 + pq E11,
// p and q being the fractions of the cell along longitude and latitude.
#pragma once

#include <cmath>
#include <cstddef>
#include <limits>

#include "queries/map_set.h"

namespace ionex {

// The four nodes around a point (offsets within one map) and their weights.
// A point off the grid has inside == false.
struct GridCell {
    bool inside = false;
    size_t offset[4] = {0, 0, 0, 0};  // E00, E10 (next longitude), E01 (next latitude), E11
    double weight[4] = {0, 0, 0, 0};
};

// Finds the cell of `grid` that holds (lat, lon) (degrees, longitude in any convention)
// for maps whose longitude columns are `lon_stride` values apart.
// Returns the cell, inside == false when the point lies off the grid or is not finite.
GridCell locateCell(const MapGrid& grid, size_t lon_stride, double lat, double lon);

// The interpolated value of one map (`map` points at its node (0, 0)) in `cell`. A node
// whose weight is exactly 0 is not read, so a NaN there does not matter.
// Returns the value; NaN when the cell is off the grid or a needed node is NaN.
inline double valueInCell(const double* map, const GridCell& cell) {
    if (!cell.inside) return std::numeric_limits<double>::quiet_NaN();
    double sum = 0;
    for (int n = 0; n < 4; ++n) {
        // Every offset is a node of the map, so the read is safe; the select (not a branch)
        // drops the term of a weight 0, NaN or not.
        const double term = cell.weight[n] * map[cell.offset[n]];
        sum += cell.weight[n] != 0 ? term : 0.0;
    }
    return sum;
}

}  // namespace ionex
