// The inputs of ionex.interp and ionex.delay: the struct M that ionex.read returns, seen
// through a MapSetView without copying; query arrays, scalars expanded against arrays; and
// the name-value options. Every check fails with ionex:Input and says what was wrong.
#pragma once

#include <cstddef>

#include "ionex_package/gateway_error.h"
#include "queries/map_set.h"
#include "mex.h"
#include "queries/pierce_point.h"
#include "queries/tec_interp.h"
#include "queries/time_bracket.h"

namespace gateway {

// At most this many dimensions in a query array (MATLAB arrays rarely have more than 4).
constexpr std::size_t kMaxQueryDims = 32;

// The size of the queries: the dimensions of the outputs and their element count.
struct QueryShape {
    mwSize ndim = 2;
    mwSize dims[kMaxQueryDims] = {1, 1};
    std::size_t count = 1;
    bool from_array = false;  // some input was not a scalar
};

// What ionex.delay needs of M beyond the maps.
enum class MapNeeds { kMapsOnly, kShell };

// Reads the fields of M (lat, lon, time, tec, and rms, height, base_radius) into `view`,
// checking classes and sizes; with kShell also the base radius and heights. The view
// borrows M's arrays. Returns true, or false with `error` filled.
bool readMapSet(const mxArray* m, MapNeeds needs, ionex::MapSetView& view, GatewayError& error);

// Takes input `a` (called `name` in messages) as a query array: real double, not sparse,
// of any size. Merges its size into `shape`: a scalar fits any size, arrays must agree.
// Returns true, or false with `error` filled.
bool addQueryInput(const mxArray* a, const char* name, ionex::QueryInput& input, QueryShape& shape,
                   GatewayError& error);

// The options of a call, as given by name-value pairs.
struct QueryOptions {
    ionex::TimeMethod method = ionex::TimeMethod::kRotated;
    bool has_height = false;
    double height = 0;                    // km ('Height', ionex.interp)
    ionex::MappingFunction mapping = ionex::MappingFunction::kSingleLayer;
    double frequency = 1575.42e6;         // Hz ('Frequency', ionex.delay)
};

// Which options an entry takes.
enum class OptionSet { kInterp, kDelay };

// Decodes the name-value pairs prhs[first..nrhs) (names case-insensitive) into `options`.
// Returns true, or false with `error` filled.
bool readQueryOptions(OptionSet set, int first, int nrhs, const mxArray* prhs[], QueryOptions& options,
                      GatewayError& error);

// Makes a real double output array of `shape`, filled with zeros. Returns the array.
mxArray* createOutput(const QueryShape& shape);

// Text of a size ("3x1x2") for messages, written into `text` of `size` bytes.
// Returns text.
const char* sizeText(const mwSize* dims, mwSize ndim, char* text, std::size_t size);

}  // namespace gateway
