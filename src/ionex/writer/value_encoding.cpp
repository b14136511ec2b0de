// IONEX integers from map values, and the exponents that write a map without loss.
#include "writer/value_encoding.h"

#include <cmath>
#include <limits>

#include "format_reader/fixed_fields.h"

namespace ionex {

namespace {

// The value of map node (i, j, h). Returns it.
inline double nodeValue(const MapLayers& map, std::size_t i, std::size_t j, std::size_t h) {
    return map.values[h * map.height_stride + j * map.nlat + i];
}

}  // namespace

Encoding encodeValue(double value, int exponent, long* integer) {
    if (std::isnan(value)) {
        *integer = kMissingValue;
        return Encoding::kFits;
    }
    if (!std::isfinite(value)) return Encoding::kNotFinite;
    const double scaled = exponent < 0 ? value * powerOfTen(-exponent) : value / powerOfTen(exponent);
    // Checked before the conversion: a double beyond long's range must never be converted.
    if (!(std::fabs(scaled) < 1e6)) return Encoding::kTooLarge;
    const long n = static_cast<long>(std::round(scaled));  // halves away from zero
    if (n < kLowestFieldValue || n > kHighestFieldValue || n == kMissingValue) return Encoding::kTooLarge;
    *integer = n;
    return Encoding::kFits;
}

double decodeValue(long integer, int exponent) {
    if (integer == kMissingValue) return std::numeric_limits<double>::quiet_NaN();
    // The reader divides by an exact power of ten for a negative exponent.
    const double n = static_cast<double>(integer);
    return exponent < 0 ? n / powerOfTen(-exponent) : n * powerOfTen(exponent);
}

bool exactAt(double value, int exponent) {
    long n = 0;
    if (encodeValue(value, exponent, &n) != Encoding::kFits) return false;
    if (n == kMissingValue) return true;  // NaN
    return decodeValue(n, exponent) == value;
}

void formatField(long integer, char* out) {
    const bool negative = integer < 0;
    unsigned long magnitude = static_cast<unsigned long>(negative ? -integer : integer);
    int p = 4;
    do {
        out[p--] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && p >= 0);
    if (negative && p >= 0) out[p--] = '-';
    while (p >= 0) out[p--] = ' ';
}

bool mapFits(const MapLayers& map, int exponent, NodeIndex* node, double* value, Encoding* why) {
    for (std::size_t h = 0; h < map.nhgt; ++h) {
        for (std::size_t i = 0; i < map.nlat; ++i) {
            for (std::size_t j = 0; j < map.nlon; ++j) {
                const double v = nodeValue(map, i, j, h);
                long n = 0;
                const Encoding e = encodeValue(v, exponent, &n);
                if (e == Encoding::kFits) continue;
                *node = NodeIndex{i, j, h};
                *value = v;
                *why = e;
                return false;
            }
        }
    }
    return true;
}

bool mapExact(const MapLayers& map, int exponent) {
    const std::size_t layer = map.nlat * map.nlon;
    for (std::size_t h = 0; h < map.nhgt; ++h) {
        const double* values = map.values + h * map.height_stride;
        for (std::size_t k = 0; k < layer; ++k) {
            if (!exactAt(values[k], exponent)) return false;
        }
    }
    return true;
}

int finerExactExponent(const MapLayers& map, int exponent) {
    NodeIndex node;
    double value = 0;
    Encoding why = Encoding::kFits;
    for (int e = exponent - 1; e >= kLowestExponent; --e) {
        if (mapExact(map, e)) return e;
        if (!mapFits(map, e, &node, &value, &why)) break;  // finer ones fit still less
    }
    return exponent;
}

}  // namespace ionex
