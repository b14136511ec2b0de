// Map values: the axes of the window, and per map either its own output array, read straight
// into (whole window), or the bilinear value at the requested point from one reused grid.
#pragma once

#include "vornakelstrid/error_result.h"
#include "input/line_source.h"
#include "mex.h"
#include "common/records.h"
#include "vornakelstrid/window_request.h"

namespace gateway {

// Fills values[0..n) with n evenly spaced doubles from a toward b, as a running sum of
// (b - a) / (n - 1); the caller passes n >= 1. Returns nothing.
void linspace(double a, double b, int n, double* values);

// Coordinates of the lattice node of 0.1-degree spacing (anchored at the window's first
// node) nearest the requested point.
struct NodeCoordinates {
    double lat;
    double lon;
};

// Moves the requested point of a point request onto the 0.1-degree lattice.
// Returns the node's latitude and longitude.
NodeCoordinates nodeCoordinates(const MapRequest& request);

// Interpolates the 2-by-2 map grid `grid` bilinearly at the requested point, without
// clamping. Returns the value; NaN when any corner is NaN.
double bilinearValue(const MapRequest& request, const double* grid);

// Fewest NaN values a whole-window request may get for the maps its input never reached,
// whatever the size of the file: room for every truncated real product.
constexpr unsigned long long kMissingValuesFloor = 1ULL << 24;

// Size of the file at `path` in bytes as stored (compressed or not).
// Returns the size; 0 when it cannot be learnt.
unsigned long long storedFileSize(const char* path);

// Tells whether `missing_maps` maps a whole-window request never reached may become NaN
// grids: their values, missing_maps x nlat x nlon, number at most
// max(kMissingValuesFloor, stored_size). Returns true when they may.
bool missingMapsFit(long long missing_maps, const MapRequest& request,
                    unsigned long long stored_size);

// Makes outputs 1, 3 and 4 and reads the header's num_maps maps from `file`, whose size as
// stored is `stored_size` bytes. Returns kOk, or the failure of the map reader
// (kMapsOutOfOrder, kLonRangeMismatch, kProcessingFailed), or kNotIonexMap when the input
// ended before a map whose missing maps break missingMapsFit: then outputs 1 to 4 and
// every array made for the maps are released.
ErrorCode extractMapValues(int nlhs, mxArray* plhs[], ionex::LineSource* file,
                           const ionex::IonexHeader& header, const MapRequest& request,
                           unsigned long long stored_size, char* line);

}  // namespace gateway
