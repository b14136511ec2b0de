// The single-layer model: where a ray from a receiver pierces the shell of radius R + H,
// and the mapping function that turns vertical TEC there into slant TEC.
//
// With z = 90 deg - EL the zenith angle at the receiver:
//   sin z' = R / (R + H) sin z                 zenith angle at the pierce point
//   psi    = z - z'                            earth-central angle receiver - pierce point
//   lat_p  = asin(sin lat cos psi + cos lat sin psi cos A)
//   lon_p  = lon + the angle whose sine is sin psi sin A / cos lat_p, on the branch beyond
//            180 degrees when the ray passes over the pole
// Mapping functions: 'slm' 1/cos z'; 'mslm' 1/cos z'' with
//   sin z'' = R / (R + 506.7 km) sin(0.9782 z); 'none' 1.
#pragma once

namespace ionex {

// The mapping function from vertical to slant TEC.
enum class MappingFunction : int {
    kSingleLayer = 0,          // 'slm': 1 / cos z'
    kModifiedSingleLayer = 1,  // 'mslm': 1 / cos z'', 506.7 km and 0.9782
    kNone = 2,                 // 'none': 1
};

// The height (km) and zenith-angle factor of the modified single-layer function.
constexpr double kMslmHeight = 506.7;
constexpr double kMslmAlpha = 0.9782;

// A receiver, with the sines it needs worked out once.
struct ReceiverSite {
    double sin_lat;
    double cos_lat;
    double lon;  // degrees
};

// A direction to a satellite, with its sines worked out once. z is the zenith angle.
struct LineOfSight {
    double sin_z;   // cos EL
    double cos_z;   // sin EL
    double sin_az;
    double cos_az;
    double z;       // radians
};

// Where the ray pierces the shell, and the mapping function there.
struct PiercePoint {
    double lat;  // degrees
    double lon;  // degrees, receiver longitude plus the pierce point's offset (not wrapped)
    double mapping;
};

// The receiver at latitude and longitude (degrees). Returns it; `valid` is false for a
// latitude beyond +-90 degrees or a non-finite coordinate.
ReceiverSite makeReceiver(double lat_deg, double lon_deg, bool& valid);

// The direction at azimuth and elevation (degrees). Returns it; `valid` is false unless
// 0 < EL <= 90 and AZ is finite.
LineOfSight makeLineOfSight(double az_deg, double el_deg, bool& valid);

// The mapping function `mf` at zenith angle `los.z` for a shell of ratio R / (R + H),
// base radius `radius` (km). Returns the factor, >= 1.
double mappingFactor(MappingFunction mf, const LineOfSight& los, double shell_ratio, double radius);

// The pierce point of the ray on the shell of ratio R / (R + H), with the mapping function.
// Returns it.
PiercePoint piercePoint(const ReceiverSite& rx, const LineOfSight& los, double shell_ratio,
                        MappingFunction mf, double radius);

// A longitude brought into -180..180 degrees. Returns it.
double wrapLongitude(double lon_deg);

}  // namespace ionex
