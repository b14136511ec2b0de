// Slant delays over the layers of the maps.
#include "queries/slant_delay.h"

#include <cmath>
#include <limits>

namespace ionex {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Fills the delays of query i (D, SIGMA, STEC) with NaN. Returns nothing.
void fillDelaysNaN(const DelayOutputs& out, size_t i) {
    out.delay[i] = kNaN;
    if (out.sigma != nullptr) out.sigma[i] = kNaN;
    if (out.stec != nullptr) out.stec[i] = kNaN;
}

// Stores the pierce point of query i on layer h (NaN for a ray that has none).
// Returns nothing.
void storePiercePoint(const DelayOutputs& out, size_t i, size_t n, size_t h, double lat, double lon) {
    if (out.ipp == nullptr) return;
    out.ipp[i + (2 * h) * n] = lat;
    out.ipp[i + (2 * h + 1) * n] = lon;
}

}  // namespace

bool shellGeometryUsable(const MapSetView& view) {
    if (!(std::isfinite(view.base_radius) && view.base_radius > 0)) return false;
    if (view.height == nullptr || view.nheight == 0) return false;
    for (size_t h = 0; h < view.nheight; ++h) {
        if (!std::isfinite(view.height[h]) || !(view.base_radius + view.height[h] > 0)) return false;
    }
    return true;
}

void slantDelays(const MapGrid& grid, const MapSetView& view, const DelayOptions& options,
                 QueryInput t, ReceiverInput rx, QueryInput az, QueryInput el, size_t n,
                 const DelayOutputs& out) {
    const double scale = metresPerTecu(options.frequency);
    const bool want_sigma = out.sigma != nullptr && view.rms != nullptr;
    const double radius = view.base_radius;
    for (size_t i = 0; i < n; ++i) {
        bool rx_valid = false;
        bool los_valid = false;
        const ReceiverSite site = makeReceiver(rx.lat[i * rx.step], rx.lon[i * rx.step], rx_valid);
        const LineOfSight los = makeLineOfSight(az.at(i), el.at(i), los_valid);
        if (!rx_valid || !los_valid) {
            fillDelaysNaN(out, i);
            for (size_t h = 0; h < view.nheight; ++h) storePiercePoint(out, i, n, h, kNaN, kNaN);
            continue;
        }
        // The pierce point is geometry: it needs no map, so a time outside the maps (or no
        // time at all) still gives it; only the delays need the maps at T.
        const TimeBracket bracket = bracketTime(grid.time, options.method, t.at(i));
        double stec = 0;
        double srms = 0;
        for (size_t h = 0; h < view.nheight; ++h) {
            const double ratio = radius / (radius + view.height[h]);
            const PiercePoint p = piercePoint(site, los, ratio, options.mapping, radius);
            storePiercePoint(out, i, n, h, p.lat, wrapLongitude(p.lon));
            if (!bracket.inside) continue;
            const TecValue v = valueAtBracket(grid, view, h, bracket, p.lat, p.lon, want_sigma);
            stec += v.vtec * p.mapping;
            srms += v.rms * p.mapping;
        }
        if (!bracket.inside) {
            fillDelaysNaN(out, i);
            continue;
        }
        out.delay[i] = scale * stec;
        if (out.stec != nullptr) out.stec[i] = stec;
        if (out.sigma != nullptr) out.sigma[i] = want_sigma ? scale * srms : kNaN;
    }
}

}  // namespace ionex
