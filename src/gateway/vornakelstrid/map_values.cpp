// Map values extraction: reads each map of the file straight into its own output array (a
// whole window), or into one reusable grid for one interpolated value per map.

#include "vornakelstrid/map_values.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>

#include "keyword_reader/map_reader.h"

namespace gateway {

namespace {

// Spacing of the lattice onto which a point request's coordinates are moved. A float on
// purpose: the node coordinates carry its single-precision value.
constexpr float kFineStep = 0.1f;

// The host arrays of one call's map stage.
struct MapArrays {
    mxArray* lat_axis;  // 1-by-nlat
    mxArray* lon_axis;  // 1-by-nlon
    mxArray* grid;      // nlon-by-nlat, one map's window (read into by point requests)
};

// Truncates `x` toward zero like a conversion to int, saturating beyond int's range.
// Returns the int; 0 for NaN.
int truncateToInt(double x) {
    if (!(x == x)) return 0;
    if (x >= 2147483647.0) return INT_MAX;
    if (x <= -2147483648.0) return INT_MIN;
    return static_cast<int>(x);
}

// The fine step along an axis whose grid step is `step`: negative for a falling axis.
// Returns -0.1 or +0.1 (single precision, widened).
double fineStep(float step) {
    return static_cast<double>(step < 0.0f ? -kFineStep : kFineStep);
}

// Makes an uninitialised nlon-by-nlat map array. Made by the host's zeros where it can: an
// array the MEX file creates itself the host copies once more, value by value, into an array
// of its own when the call returns (Octave does), while an array the host made is handed over
// as it is. Returns the new array.
mxArray* createMapArray(int nlon, int nlat) {
    mxArray* sizes[2] = {mxCreateDoubleScalar(nlon), mxCreateDoubleScalar(nlat)};
    mxArray* map = nullptr;
    const bool called = mexCallMATLAB(1, &map, 2, sizes, "zeros") == 0;
    mxDestroyArray(sizes[0]);
    mxDestroyArray(sizes[1]);
    if (called && map != nullptr && mxIsDouble(map) && !mxIsComplex(map) && !mxIsSparse(map) &&
        mxGetNumberOfDimensions(map) == 2 && mxGetM(map) == static_cast<size_t>(nlon) &&
        mxGetN(map) == static_cast<size_t>(nlat) && mxGetPr(map) != nullptr) {
        return map;
    }
    if (map != nullptr) mxDestroyArray(map);
    return mxCreateUninitNumericMatrix(static_cast<mwSize>(nlon), static_cast<mwSize>(nlat), mxDOUBLE_CLASS, mxREAL);
}

// Makes a 1-by-n axis filled from first to last. Returns the host array.
mxArray* createAxis(float first, float last, int n) {
    mxArray* axis = mxCreateDoubleMatrix(1, static_cast<mwSize>(n), mxREAL);
    linspace(first, last, n, mxGetPr(axis));
    return axis;
}

// Makes an n-by-1 column holding the n values of `axis`. Returns the host array.
mxArray* createColumn(const mxArray* axis, int n) {
    mxArray* column = mxCreateDoubleMatrix(static_cast<mwSize>(n), 1, mxREAL);
    std::memcpy(mxGetPr(column), mxGetPr(axis), static_cast<size_t>(n) * sizeof(double));
    return column;
}

// Makes outputs 1, 3 and 4 of a whole-window request: a num_maps-by-1 cell and the axes as
// columns. Returns nothing.
void createWindowOutputs(int nlhs, mxArray* plhs[], int num_maps, const MapRequest& request,
                         const MapArrays& arrays) {
    plhs[0] = mxCreateCellMatrix(static_cast<mwSize>(num_maps), 1);
    if (nlhs >= 3) plhs[2] = createColumn(arrays.lat_axis, request.nlat);
    if (nlhs >= 4) plhs[3] = createColumn(arrays.lon_axis, request.nlon);
}

// Makes outputs 1, 3 and 4 of a point request: a 1-by-num_maps row and the node
// coordinates. Returns nothing.
void createPointOutputs(int nlhs, mxArray* plhs[], int num_maps, const MapRequest& request) {
    plhs[0] = mxCreateDoubleMatrix(1, static_cast<mwSize>(num_maps), mxREAL);
    const NodeCoordinates node = nodeCoordinates(request);
    if (nlhs >= 3) plhs[2] = mxCreateDoubleScalar(node.lat);
    if (nlhs >= 4) plhs[3] = mxCreateDoubleScalar(node.lon);
}

// Translates a map reader result. Returns kOk or the matching failure.
ErrorCode mapFailure(int result) {
    switch (result) {
        case ionex::kMapOutOfOrder: return kMapsOutOfOrder;
        case ionex::kMapLonMismatch: return kLonRangeMismatch;
        case ionex::kMapReadFailure: return kProcessingFailed;
        default: return kOk;
    }
}

// Destroys the array in `slot` when there is one and clears the slot. Returns nothing.
void destroySlot(mxArray*& slot) {
    if (slot == nullptr) return;
    mxDestroyArray(slot);
    slot = nullptr;
}

// Releases outputs 1 to 4 (as far as requested) and the map stage's own arrays, so that a
// refused request leaves nothing of its maps behind. Returns nothing.
void releaseMapStage(int nlhs, mxArray* plhs[], MapArrays& arrays) {
    for (int i = 0; i < 4 && i < (nlhs > 0 ? nlhs : 1); ++i) destroySlot(plhs[i]);
    destroySlot(arrays.lat_axis);
    destroySlot(arrays.lon_axis);
    destroySlot(arrays.grid);
}

// Reads maps 0 .. num_maps - 1: a whole-window request straight into a new array per map,
// which goes into output 1; a point request into the reused grid, whose bilinear value goes
// into the row. Returns kOk or the first failure; no map is read after it. kNotIonexMap: the
// input ended before a map of a whole-window request and the maps never reached are too
// many to fill.
ErrorCode readMaps(mxArray* plhs[], ionex::LineSource* file, const ionex::IonexHeader& header,
                   const MapRequest& request, unsigned long long stored_size, char* line,
                   mxArray* grid) {
    const size_t count = static_cast<size_t>(request.nlat) * static_cast<size_t>(request.nlon);
    double* row = request.whole_window ? nullptr : mxGetPr(plhs[0]);
    for (int j = 0; j < header.num_maps; ++j) {
        mxArray* map = nullptr;
        if (request.whole_window) {
            map = createMapArray(request.nlon, request.nlat);
        }
        double* values = mxGetPr(map != nullptr ? map : grid);
        // Places a map does not supply must read as missing, not as an earlier map's values.
        std::fill(values, values + count, std::numeric_limits<double>::quiet_NaN());
        bool never_reached = false;
        const ErrorCode code = mapFailure(ionex::readIonexMap(file, header, request.lat_index,
                                                              request.lon_index, request.scale,
                                                              j, line, values, &never_reached));
        if (code != kOk) {
            if (map != nullptr) mxDestroyArray(map);  // a map cut short is not handed out
            return code;
        }
        // A header may announce far more maps than its file holds; their NaN grids are only
        // made while they stay in proportion to the file. Later maps are never reached
        // either and are fewer, so the first such map decides.
        if (never_reached && request.whole_window &&
            !missingMapsFit(static_cast<long long>(header.num_maps) - j, request, stored_size)) {
            if (map != nullptr) mxDestroyArray(map);
            return kNotIonexMap;
        }
        if (map != nullptr) {
            mxSetCell(plhs[0], static_cast<mwIndex>(j), map);
        } else {
            row[j] = bilinearValue(request, values);
        }
    }
    return kOk;
}

}  // namespace

void linspace(double a, double b, int n, double* values) {
    values[0] = a;
    if (n <= 1) return;
    const double step = (b - a) / (n - 1);
    for (int k = 1; k < n; ++k) values[k] = values[k - 1] + step;
}

NodeCoordinates nodeCoordinates(const MapRequest& request) {
    const double lat_fine = fineStep(request.lat_coord.step);
    const double lon_fine = fineStep(request.lon_coord.step);
    const double lat_first = request.lat_coord.first;
    const double lon_first = request.lon_coord.first;
    // Nearest lattice node, ties toward the larger index.
    const int lon_node = truncateToInt((request.point.lon - lon_first) / lon_fine + 0.5);
    const int lat_node = truncateToInt((request.point.lat - lat_first) / lat_fine + 0.5);
    return NodeCoordinates{lat_first + lat_node * lat_fine, lon_node * lon_fine + lon_first};
}

double bilinearValue(const MapRequest& request, const double* grid) {
    const double lat_first = request.lat_coord.first;
    const double lon_first = request.lon_coord.first;
    const double L = (request.point.lat - lat_first) / (request.lat_coord.last - lat_first);
    const double K = (request.point.lon - lon_first) / (request.lon_coord.last - lon_first);
    // Each weight is formed before it meets its grid value; the terms add left to right.
    const double w0 = (1 - K) * (1 - L);
    const double w1 = K * (1 - L);
    const double w2 = (1 - K) * L;
    const double w3 = K * L;
    return w0 * grid[0] + w1 * grid[1] + w2 * grid[2] + w3 * grid[3];
}

unsigned long long storedFileSize(const char* path) {
    std::error_code error;
    // u8path: the name is UTF-8 (on Windows a plain string would go through the ANSI code page).
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::u8path(path), error);
    return error ? 0 : static_cast<unsigned long long>(size);
}

bool missingMapsFit(long long missing_maps, const MapRequest& request,
                    unsigned long long stored_size) {
    if (missing_maps <= 0) return true;
    // At most 10^6 maps of at most 2^31 nodes: the product stays far inside 64 bits.
    const unsigned long long values = static_cast<unsigned long long>(missing_maps) *
                                      static_cast<unsigned long long>(request.nlat) *
                                      static_cast<unsigned long long>(request.nlon);
    return values <= std::max(kMissingValuesFloor, stored_size);
}

ErrorCode extractMapValues(int nlhs, mxArray* plhs[], ionex::LineSource* file,
                           const ionex::IonexHeader& header, const MapRequest& request,
                           unsigned long long stored_size, char* line) {
    MapArrays arrays;
    arrays.lat_axis = createAxis(request.lat_coord.first, request.lat_coord.last, request.nlat);
    arrays.lon_axis = createAxis(request.lon_coord.first, request.lon_coord.last, request.nlon);
    // The grid is made for every request, so that a call makes its arrays in one fixed order
    // whatever it asks (the allocation-fault tests count on that order); only a point
    // request reads into it.
    arrays.grid = mxCreateDoubleMatrix(static_cast<mwSize>(request.nlon),
                                       static_cast<mwSize>(request.nlat), mxREAL);
    if (request.whole_window) {
        createWindowOutputs(nlhs, plhs, header.num_maps, request, arrays);
    } else {
        createPointOutputs(nlhs, plhs, header.num_maps, request);
    }
    const ErrorCode code = readMaps(plhs, file, header, request, stored_size, line, arrays.grid);
    if (code == kNotIonexMap) releaseMapStage(nlhs, plhs, arrays);
    return code;
}

}  // namespace gateway
