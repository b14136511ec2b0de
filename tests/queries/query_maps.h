// Hand-built map sets for the query tests: axes, epochs and node values held in vectors,
// with a MapSetView over them in the host's layout.
#pragma once

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "queries/map_set.h"

namespace querytest {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// 2020-01-08 00:00 as a serial day number (datenum), and one hour in days.
constexpr double kDay = 737798.0;
constexpr double kHour = 1.0 / 24.0;

// Nodes first, first + step, ... (count of them).
std::vector<double> axis(double first, double step, size_t count);

// A map set that owns its arrays; view() lends them out.
struct OwnedMaps {
    std::vector<double> lat, lon, time, height, tec, rms;
    double base_radius = 6371.0;
    bool with_rms = true;
    ionex::MapSetView view() const;
    // Value of node (lat row i, lon column j, map k, layer h) in the TEC maps.
    double& node(size_t i, size_t j, size_t k, size_t h = 0);
};

// Maps on the given axes whose node (i, j, k, h) holds value(i, j, k, h); the RMS maps
// hold a tenth of it. Heights default to one layer at 450 km.
OwnedMaps makeMaps(std::vector<double> lat, std::vector<double> lon, std::vector<double> time,
                   const std::function<double(size_t, size_t, size_t, size_t)>& value,
                   std::vector<double> height = {450.0});

// The value the tests use on their grids: 1000 k + 100 i + j^2 (k map, i row, j column),
// with column j taken modulo `period` (0: no wrap), so that a seam column repeats column 0.
double testValue(size_t i, size_t j, size_t k, size_t period);

// Tells whether two results are equal to within `tol` (both NaN counts as equal).
bool near(double got, double want, double tol);

}  // namespace querytest
