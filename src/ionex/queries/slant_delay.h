// The slant ionospheric delay of a signal: slant TEC along the ray (vertical TEC at the
// pierce point times the mapping function, summed over the layers of a 3-D file, each at
// its own height) turned into metres at the signal's frequency:
//   D = 40.3e16 / f^2 * STEC      (STEC in TECU, f in Hz, D in metres)
// SIGMA is the same with the RMS maps in place of the TEC maps.
#pragma once

#include <cstddef>

#include "queries/map_set.h"
#include "queries/pierce_point.h"
#include "queries/tec_interp.h"
#include "queries/time_bracket.h"

namespace ionex {

// The GPS L1 frequency (Hz), the default.
constexpr double kL1Frequency = 1575.42e6;

// Metres of delay per TECU of slant TEC at frequency f (Hz). Returns 40.3e16 / f^2.
inline double metresPerTecu(double frequency) { return 40.3e16 / (frequency * frequency); }

// How delays are worked out.
struct DelayOptions {
    TimeMethod method = TimeMethod::kRotated;
    MappingFunction mapping = MappingFunction::kSingleLayer;
    double frequency = kL1Frequency;  // Hz, > 0
};

// Receiver positions: row i is (lat[i * step], lon[i * step]) in degrees; step 0 gives
// every query the same receiver.
struct ReceiverInput {
    const double* lat;
    const double* lon;
    size_t step;
};

// Where the results go, n values each. `sigma`, `stec` and `ipp` may be null. `ipp` is
// column-major n-by-2-by-nheight: the pierce point [lat lon] (longitude in -180..180) of
// every query on every layer.
struct DelayOutputs {
    double* delay;
    double* sigma;
    double* stec;
    double* ipp;
};

// Tells whether the view's shell geometry is usable: a finite base radius > 0 and finite
// layer heights above the centre (R + H > 0). Returns true when it is.
bool shellGeometryUsable(const MapSetView& view);

// Works out the delay of the n queries (t, receiver, az, el)[i] (degrees; a datenum).
// EL <= 0, EL > 90 or a NaN receiver, AZ or EL gives NaN everywhere; a pierce point off the
// maps, or a time outside their span (or NaN), gives NaN delays but the pierce point.
// Allocates nothing. Returns nothing.
void slantDelays(const MapGrid& grid, const MapSetView& view, const DelayOptions& options,
                 QueryInput t, ReceiverInput rx, QueryInput az, QueryInput el, size_t n,
                 const DelayOutputs& out);

}  // namespace ionex
