// Hand-built map sets for the query tests.
#include "query_maps.h"

namespace querytest {

std::vector<double> axis(double first, double step, size_t count) {
    std::vector<double> nodes(count);
    for (size_t k = 0; k < count; ++k) nodes[k] = first + static_cast<double>(k) * step;
    return nodes;
}

ionex::MapSetView OwnedMaps::view() const {
    ionex::MapSetView v;
    v.lat = lat.data();
    v.nlat = lat.size();
    v.lon = lon.data();
    v.nlon = lon.size();
    v.time = time.data();
    v.nmaps = time.size();
    v.height = height.data();
    v.nheight = height.size();
    v.base_radius = base_radius;
    v.tec = tec.empty() ? nullptr : tec.data();
    v.rms = with_rms && !rms.empty() ? rms.data() : nullptr;
    ionex::useHostLayout(v);
    return v;
}

double& OwnedMaps::node(size_t i, size_t j, size_t k, size_t h) {
    const size_t nlat = lat.size(), nlon = lon.size(), nmaps = time.size();
    return tec[i + j * nlat + k * nlat * nlon + h * nlat * nlon * nmaps];
}

OwnedMaps makeMaps(std::vector<double> lat, std::vector<double> lon, std::vector<double> time,
                   const std::function<double(size_t, size_t, size_t, size_t)>& value,
                   std::vector<double> height) {
    OwnedMaps m;
    m.lat = std::move(lat);
    m.lon = std::move(lon);
    m.time = std::move(time);
    m.height = std::move(height);
    const size_t nlat = m.lat.size(), nlon = m.lon.size(), nmaps = m.time.size();
    m.tec.resize(nlat * nlon * nmaps * m.height.size());
    m.rms.resize(m.tec.size());
    for (size_t h = 0; h < m.height.size(); ++h)
        for (size_t k = 0; k < nmaps; ++k)
            for (size_t j = 0; j < nlon; ++j)
                for (size_t i = 0; i < nlat; ++i) {
                    m.node(i, j, k, h) = value(i, j, k, h);
                    m.rms[i + j * nlat + k * nlat * nlon + h * nlat * nlon * nmaps] = value(i, j, k, h) / 10;
                }
    return m;
}

double testValue(size_t i, size_t j, size_t k, size_t period) {
    const size_t column = period > 0 ? j % period : j;
    return 1000.0 * static_cast<double>(k) + 100.0 * static_cast<double>(i) +
           static_cast<double>(column * column);
}

bool near(double got, double want, double tol) {
    if (std::isnan(want)) return std::isnan(got);
    return std::fabs(got - want) <= tol;
}

}  // namespace querytest
