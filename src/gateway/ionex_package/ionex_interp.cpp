// ionex.interp: vertical TEC and its RMS at any time and place, from the struct that
// ionex.read returns. The only exported symbol is mexFunction. Wrong arguments are raised
// as ionex:Input, saying what was wrong.
//
//   [VTEC, RMS] = ionex.interp(M, T, LAT, LON, 'Method', 'rotated', 'Height', h)

#include <cmath>
#include <cstddef>

#include "ionex_package/gateway_error.h"
#include "queries/map_set.h"
#include "mex.h"
#include "ionex_package/query_arguments.h"
#include "queries/tec_interp.h"

namespace {

using gateway::fail;
using gateway::GatewayError;

constexpr const char* kUsage = "[VTEC, RMS] = ionex.interp(M, T, LAT, LON, 'Method', m, 'Height', h)";

// The height layer the options choose: 'Height' must name one of M.height (to 1e-6 km); a
// file of several layers needs it. Returns true with `layer` set, or false with `error`.
bool chooseLayer(const ionex::MapSetView& view, const gateway::QueryOptions& options, std::size_t& layer,
                 GatewayError& error) {
    layer = 0;
    if (!options.has_height) {
        if (view.nheight > 1) {
            return fail(error, "ionex:Input", "M holds %zu height layers (3-D maps): choose one with 'Height' (km).",
                        view.nheight);
        }
        return true;
    }
    if (view.height == nullptr) return fail(error, "ionex:Input", "'Height' given but M.height is empty.");
    for (std::size_t k = 0; k < view.nheight; ++k) {
        if (std::fabs(view.height[k] - options.height) <= 1e-6) {
            layer = k;
            return true;
        }
    }
    return fail(error, "ionex:Input", "'Height' %g km is not one of the %zu heights of M.height (from %g to %g km).",
                options.height, view.nheight, view.height[0], view.height[view.nheight - 1]);
}

// Runs one call. Every C++ object that owns memory is gone when it returns.
// Returns true with the outputs set, or false with `error` filled.
bool runInterp(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], GatewayError& error) {
    if (nrhs < 4) return fail(error, "ionex:Input", "ionex.interp needs M, T, LAT and LON: %s.", kUsage);
    if (nlhs > 2) return fail(error, "ionex:Input", "ionex.interp returns at most 2 outputs (VTEC, RMS); %d were requested.", nlhs);
    ionex::MapSetView view;
    if (!gateway::readMapSet(prhs[0], gateway::MapNeeds::kMapsOnly, view, error)) return false;
    ionex::MapGrid grid;
    const ionex::GridStatus status = ionex::prepareGrid(view, grid);
    if (status != ionex::GridStatus::kOk) return fail(error, "ionex:Input", "%s.", ionex::describeGridStatus(status));

    gateway::QueryShape shape;
    ionex::QueryInput t{nullptr, 0}, lat{nullptr, 0}, lon{nullptr, 0};
    if (!gateway::addQueryInput(prhs[1], "T", t, shape, error)) return false;
    if (!gateway::addQueryInput(prhs[2], "LAT", lat, shape, error)) return false;
    if (!gateway::addQueryInput(prhs[3], "LON", lon, shape, error)) return false;
    gateway::QueryOptions options;
    if (!gateway::readQueryOptions(gateway::OptionSet::kInterp, 4, nrhs, prhs, options, error)) return false;
    std::size_t layer = 0;
    if (!chooseLayer(view, options, layer, error)) return false;

    plhs[0] = gateway::createOutput(shape);
    double* rms = nullptr;
    if (nlhs > 1) {
        plhs[1] = gateway::createOutput(shape);
        rms = mxGetPr(plhs[1]);
    }
    ionex::interpolateQueries(grid, view, layer, options.method, t, lat, lon, shape.count, mxGetPr(plhs[0]), rms);
    return true;
}

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    GatewayError error;  // plain arrays: nothing to release when the host unwinds
    if (!runInterp(nlhs, plhs, nrhs, prhs, error)) gateway::raiseError(error);
}
