// ionex.delay: the slant ionospheric delay of a signal from a receiver towards a satellite,
// its uncertainty, the slant TEC and the pierce points, from the struct that ionex.read
// returns. The only exported symbol is mexFunction. Wrong arguments are raised as
// ionex:Input, saying what was wrong.
//
//   [D, SIGMA, STEC, IPP] = ionex.delay(M, T, RX, AZ, EL, 'Frequency', f,
//                                       'MappingFunction', 'slm', 'Method', 'rotated')

#include <cstddef>

#include "ionex_package/gateway_error.h"
#include "queries/map_set.h"
#include "mex.h"
#include "ionex_package/query_arguments.h"
#include "queries/slant_delay.h"

namespace {

using gateway::fail;
using gateway::GatewayError;

constexpr const char* kUsage = "[D, SIGMA, STEC, IPP] = ionex.delay(M, T, RX, AZ, EL, name, value, ...)";

// Takes RX: a real double matrix of 2 or 3 columns ([lat lon] or [lat lon h]) with one row
// for all queries or one per query; when T, AZ and EL are all scalars its rows set the
// number of queries (an n-by-1 output). Returns true, or false with `error` filled.
bool readReceivers(const mxArray* a, gateway::QueryShape& shape, ionex::ReceiverInput& rx, GatewayError& error) {
    if (a == nullptr || !mxIsDouble(a) || mxIsComplex(a) || mxIsSparse(a) || mxGetNumberOfDimensions(a) != 2) {
        return fail(error, "ionex:Input", "RX must be a real double matrix [lat lon] or [lat lon h], one row per receiver.");
    }
    const std::size_t rows = mxGetM(a);
    const std::size_t columns = mxGetN(a);
    if (columns != 2 && columns != 3) {
        return fail(error, "ionex:Input", "RX has %zu columns: give [lat lon] or [lat lon h] (degrees, metres).", columns);
    }
    const double* values = rows > 0 ? mxGetPr(a) : nullptr;
    rx = {values, values != nullptr ? values + rows : nullptr, rows == 1 ? 0u : 1u};
    if (rows == 1) return true;
    if (!shape.from_array) {
        shape.from_array = true;
        shape.ndim = 2;
        shape.dims[0] = rows;
        shape.dims[1] = 1;
        shape.count = rows;
        return true;
    }
    if (rows != shape.count) {
        return fail(error, "ionex:Input", "RX has %zu rows: give one row for all queries, or one per query (%zu).", rows,
                    shape.count);
    }
    return true;
}

// Makes IPP: n-by-2 (by nheight for maps of several layers). Returns the array.
mxArray* createPiercePoints(std::size_t n, std::size_t layers) {
    const mwSize dims[3] = {static_cast<mwSize>(n), 2, static_cast<mwSize>(layers)};
    return mxCreateNumericArray(layers > 1 ? 3 : 2, dims, mxDOUBLE_CLASS, mxREAL);
}

// Runs one call. Every C++ object that owns memory is gone when it returns.
// Returns true with the outputs set, or false with `error` filled.
bool runDelay(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], GatewayError& error) {
    if (nrhs < 5) return fail(error, "ionex:Input", "ionex.delay needs M, T, RX, AZ and EL: %s.", kUsage);
    if (nlhs > 4) {
        return fail(error, "ionex:Input", "ionex.delay returns at most 4 outputs (D, SIGMA, STEC, IPP); %d were requested.", nlhs);
    }
    ionex::MapSetView view;
    if (!gateway::readMapSet(prhs[0], gateway::MapNeeds::kShell, view, error)) return false;
    ionex::MapGrid grid;
    const ionex::GridStatus status = ionex::prepareGrid(view, grid);
    if (status != ionex::GridStatus::kOk) return fail(error, "ionex:Input", "%s.", ionex::describeGridStatus(status));

    gateway::QueryShape shape;
    ionex::QueryInput t{nullptr, 0}, az{nullptr, 0}, el{nullptr, 0};
    if (!gateway::addQueryInput(prhs[1], "T", t, shape, error)) return false;
    if (!gateway::addQueryInput(prhs[3], "AZ", az, shape, error)) return false;
    if (!gateway::addQueryInput(prhs[4], "EL", el, shape, error)) return false;
    ionex::ReceiverInput rx{nullptr, nullptr, 0};
    if (!readReceivers(prhs[2], shape, rx, error)) return false;
    if (rx.lat == nullptr && shape.count > 0) return fail(error, "ionex:Input", "RX is empty: give [lat lon] of the receiver.");
    gateway::QueryOptions options;
    if (!gateway::readQueryOptions(gateway::OptionSet::kDelay, 5, nrhs, prhs, options, error)) return false;

    ionex::DelayOptions delay_options;
    delay_options.method = options.method;
    delay_options.mapping = options.mapping;
    delay_options.frequency = options.frequency;
    plhs[0] = gateway::createOutput(shape);
    ionex::DelayOutputs out{mxGetPr(plhs[0]), nullptr, nullptr, nullptr};
    if (nlhs > 1) out.sigma = mxGetPr(plhs[1] = gateway::createOutput(shape));
    if (nlhs > 2) out.stec = mxGetPr(plhs[2] = gateway::createOutput(shape));
    if (nlhs > 3) out.ipp = mxGetPr(plhs[3] = createPiercePoints(shape.count, view.nheight));
    if (shape.count > 0) ionex::slantDelays(grid, view, delay_options, t, rx, az, el, shape.count, out);
    return true;
}

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    GatewayError error;  // plain arrays: nothing to release when the host unwinds
    if (!runDelay(nlhs, plhs, nrhs, prhs, error)) gateway::raiseError(error);
}
