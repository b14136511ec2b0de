// Window selection as the gateway sees it: the core picks the nodes, the gateway checks what
// it will allocate from them.

#include "vornakelstrid/window_request.h"

#include <climits>

#include "keyword_reader/map_reader.h"
#include "keyword_reader/window.h"

namespace gateway {

namespace {

// Number of nodes of an index window, computed without overflow.
// Returns last - first + 1, or 0 when that is below 1 or above INT_MAX.
int nodeCount(const ionex::Range<int>& index) {
    const long long count = static_cast<long long>(index.last) - index.first + 1;
    return (count < 1 || count > INT_MAX) ? 0 : static_cast<int>(count);
}

}  // namespace

bool exceedsSizeLimits(long long num_maps, long long nlat, long long nlon, bool whole_window) {
    if (num_maps > kMaxMaps) return true;
    if (!whole_window) return false;
    // Both counts are below 2^31, so the product fits; a map grid is made even without maps.
    const long long nodes = nlat * nlon;
    return nodes > kMaxWindowValues || num_maps * nodes > kMaxWindowValues;
}

ErrorCode selectWindow(const ionex::IonexHeader& header, const CallArguments& args,
                       MapRequest& request) {
    if (!ionex::process_locations(args.loc0, args.loc1, header, args.locations_given,
                                  request.lat_index, request.lon_index, request.lat_coord,
                                  request.lon_coord)) {
        return kRangeMissing;
    }
    if (request.lat_index.first < 0 || request.lon_index.first < 0) return kRangeMissing;
    request.nlat = nodeCount(request.lat_index);
    request.nlon = nodeCount(request.lon_index);
    if (request.nlat == 0 || request.nlon == 0) return kRangeMissing;
    request.whole_window = !args.locations_given || args.is_area;
    request.point = args.loc0;
    // The bilinear value reads exactly the four corners of a 2-by-2 window.
    if (!request.whole_window && (request.nlat != 2 || request.nlon != 2)) return kRangeMissing;
    if (exceedsSizeLimits(header.num_maps, request.nlat, request.nlon, request.whole_window)) {
        return kNotIonexMap;
    }
    request.scale = ionex::pow10(header.exponent);
    return kOk;
}

}  // namespace gateway
