// A plain view over the maps that ionex.read returns, as the host holds them, and the grid
// facts worked out once per call from its axes (steps, wrap-around, time table), so that a
// query needs no allocation and no search over the axes.
#pragma once

#include <cstddef>

namespace ionex {

// The maps and axes of one read, borrowed from their owner (the host's arrays, or a
// reader's vectors); nothing here owns memory. Map values of node (lat i, lon j, map k,
// height h) are at values[i + j * lon_stride + k * map_stride + h * height_stride]:
// the host's nlat-by-nlon-by-nmaps-by-nheight column-major array has lon_stride = nlat,
// map_stride = nlat * nlon and height_stride = nlat * nlon * nmaps.
struct MapSetView {
    const double* lat = nullptr;     // nlat node latitudes (degrees), in file order
    size_t nlat = 0;
    const double* lon = nullptr;     // nlon node longitudes (degrees), in file order
    size_t nlon = 0;
    const double* time = nullptr;    // nmaps map epochs (serial day numbers), increasing
    size_t nmaps = 0;
    const double* height = nullptr;  // nheight layer heights (km)
    size_t nheight = 0;
    double base_radius = 0;          // km; used by the slant delay only
    const double* tec = nullptr;     // TEC maps (TECU); null when absent
    const double* rms = nullptr;     // RMS maps (TECU); null when absent
    size_t lon_stride = 0;
    size_t map_stride = 0;
    size_t height_stride = 0;
};

// Fills the strides of `view` for the host's layout (latitude, longitude, map, height).
// Returns nothing.
void useHostLayout(MapSetView& view);

// An evenly spaced axis: node k lies at first + k * step (step 0 for a single node).
struct EvenAxis {
    double first = 0;
    double step = 0;
    double inverse_step = 0;  // 1 / step, 0 for a single node
    size_t count = 0;
};

// The longitude axis, with what it takes to bring any longitude onto it.
struct LonAxis {
    EvenAxis axis;
    double direction = 1;      // +1 east-going, -1 west-going
    double span = 0;           // |step| * (count - 1), degrees
    bool wraps = false;        // the nodes cover 360 degrees (with or without a seam column)
    size_t period = 0;         // columns in 360 degrees when it wraps
};

// The map epochs and what brackets a time quickly.
struct TimeAxis {
    const double* epochs = nullptr;
    size_t count = 0;
    double first = 0;
    double last = 0;
    double guess_scale = 0;  // (count - 1) / (last - first): a first guess of the interval
};

// Everything a query needs from the axes, worked out once per call.
struct MapGrid {
    EvenAxis lat;
    LonAxis lon;
    TimeAxis time;
};

// Why a view's axes cannot be interpolated on.
enum class GridStatus : int {
    kOk = 0,
    kNoLatitudes,        // no latitude nodes
    kNoLongitudes,       // no longitude nodes
    kNoMaps,             // no map epochs, or no TEC values
    kLatNotEven,         // latitudes not finite or not evenly spaced
    kLonNotEven,         // longitudes not finite, not evenly spaced, or spread over more than 360 degrees
    kTimeNotIncreasing,  // epochs not finite or not strictly increasing
};

// Works out the grid of `view`: the steps of its axes (which must be evenly spaced, as an
// IONEX grid is), whether longitudes wrap, the time table. Returns kOk or what is wrong.
GridStatus prepareGrid(const MapSetView& view, MapGrid& grid);

// A short text for a grid status, for the gateways' messages. Returns a static string.
const char* describeGridStatus(GridStatus status);

}  // namespace ionex
