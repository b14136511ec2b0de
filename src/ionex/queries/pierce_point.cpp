// Pierce point and mapping functions of the single-layer model.
#include "queries/pierce_point.h"

#include <cmath>

namespace ionex {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadians = kPi / 180.0;
constexpr double kDegrees = 180.0 / kPi;

// 1 / cos of the angle whose sine is s (0 <= s < 1). Returns the factor.
double secantFromSine(double s) { return 1.0 / std::sqrt(1.0 - s * s); }

}  // namespace

ReceiverSite makeReceiver(double lat_deg, double lon_deg, bool& valid) {
    valid = std::isfinite(lat_deg) && std::isfinite(lon_deg) && lat_deg >= -90.0 && lat_deg <= 90.0;
    const double lat = lat_deg * kRadians;
    return {std::sin(lat), std::cos(lat), lon_deg};
}

LineOfSight makeLineOfSight(double az_deg, double el_deg, bool& valid) {
    valid = std::isfinite(az_deg) && el_deg > 0.0 && el_deg <= 90.0;
    const double el = el_deg * kRadians;
    const double az = az_deg * kRadians;
    LineOfSight los;
    los.sin_z = std::cos(el);
    los.cos_z = std::sin(el);
    los.sin_az = std::sin(az);
    los.cos_az = std::cos(az);
    los.z = (90.0 - el_deg) * kRadians;
    return los;
}

double mappingFactor(MappingFunction mf, const LineOfSight& los, double shell_ratio, double radius) {
    switch (mf) {
        case MappingFunction::kSingleLayer:
            return secantFromSine(shell_ratio * los.sin_z);
        case MappingFunction::kModifiedSingleLayer:
            return secantFromSine(radius / (radius + kMslmHeight) * std::sin(kMslmAlpha * los.z));
        case MappingFunction::kNone:
            return 1.0;
    }
    return 1.0;
}

PiercePoint piercePoint(const ReceiverSite& rx, const LineOfSight& los, double shell_ratio,
                        MappingFunction mf, double radius) {
    // z' from sin z' = ratio sin z; psi = z - z' by its sine and cosine.
    const double sin_zp = shell_ratio * los.sin_z;
    const double cos_zp = std::sqrt(1.0 - sin_zp * sin_zp);
    const double sin_psi = los.sin_z * cos_zp - los.cos_z * sin_zp;
    const double cos_psi = los.cos_z * cos_zp + los.sin_z * sin_zp;
    double s = rx.sin_lat * cos_psi + rx.cos_lat * sin_psi * los.cos_az;
    if (s > 1.0) s = 1.0;
    if (s < -1.0) s = -1.0;
    const double lat_p = std::asin(s);
    // sin(dlon) cos lat_p = sin psi sin A, and cos(dlon) cos lat_p cos lat = cos psi -
    // sin lat sin lat_p: atan2 of the two takes the branch beyond the pole by itself.
    const double dlon = std::atan2(sin_psi * los.sin_az * rx.cos_lat, cos_psi - rx.sin_lat * s);
    PiercePoint p;
    p.lat = lat_p * kDegrees;
    p.lon = rx.lon + dlon * kDegrees;
    p.mapping = mf == MappingFunction::kSingleLayer ? 1.0 / cos_zp : mappingFactor(mf, los, shell_ratio, radius);
    return p;
}

double wrapLongitude(double lon_deg) {
    if (!std::isfinite(lon_deg)) return lon_deg;
    double w = std::remainder(lon_deg, 360.0);  // exact, in [-180, 180]
    if (w == -180.0) w = 180.0;
    return w;
}

}  // namespace ionex
