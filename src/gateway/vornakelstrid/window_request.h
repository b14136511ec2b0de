// The part of the grid a call reads: index and coordinate windows, their node counts, the
// mode (whole window or one point) and the value scale.
#pragma once

#include "vornakelstrid/arguments.h"
#include "vornakelstrid/error_result.h"
#include "common/records.h"

namespace gateway {

// Everything the map stage needs to know about the request.
struct MapRequest {
    ionex::Range<int> lat_index;    // grid node numbers along latitude
    ionex::Range<int> lon_index;    // grid node numbers along longitude
    ionex::Range<float> lat_coord;  // coordinates of the window's first and last nodes
    ionex::Range<float> lon_coord;
    int nlat;                       // nodes of the window along latitude
    int nlon;                       // nodes of the window along longitude
    bool whole_window;              // no location or an area: every node; else one point
    ionex::Location point;          // the requested point in point mode
    float scale;                    // 10 to the header's exponent
};

// Most maps a file may announce: far more than any product holds.
constexpr int kMaxMaps = 1000000;

// Most doubles a whole-window result may hold (2^31), so that counts no real file has
// are refused before anything is allocated from them.
constexpr long long kMaxWindowValues = 2147483648LL;

// Selects the window of `args` in the header's grid and fills `request`. The requested
// longitudes must already be in the header's convention.
// Returns kOk; kRangeMissing when the window is not inside the grid; kNotIonexMap when the
// counts exceed the limits above.
ErrorCode selectWindow(const ionex::IonexHeader& header, const CallArguments& args,
                       MapRequest& request);

// Tells whether a request of `num_maps` maps of nlat-by-nlon nodes is beyond the limits.
// Returns true for too many maps, or a whole-window result above kMaxWindowValues.
bool exceedsSizeLimits(long long num_maps, long long nlat, long long nlon, bool whole_window);

}  // namespace gateway
