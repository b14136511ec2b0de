// Map values as IONEX integers: each value is the integer nearest to value / 10^exponent
// (halves away from zero) in a five-column field, 9999 where there is no value. The scale
// read back is the +ionex reader's, so that a value is "exact" at an exponent when reading
// its integer gives back the same double.
#pragma once

#include <cstddef>

namespace ionex {

// What a five-column field can hold: -9999 .. 99999; 9999 itself means "no value".
constexpr long kLowestFieldValue = -9999;
constexpr long kHighestFieldValue = 99999;
constexpr long kMissingValue = 9999;
// The exponents an EXPONENT record may carry.
constexpr int kLowestExponent = -99;
constexpr int kHighestExponent = 99;

enum class Encoding : int {
    kFits = 0,   // an integer of the field's range (NaN: 9999)
    kTooLarge,   // beyond the field, or rounding to 9999
    kNotFinite,  // an infinity: no field holds it
};

// Scales `value` for `exponent`: the integer nearest value * 10^-exponent, the product (or
// quotient, for exponent >= 0) taken in double arithmetic so that 0.15 at -1 is 2, as its
// decimal says. NaN gives 9999. Returns whether the field holds it (*integer set when so).
Encoding encodeValue(double value, int exponent, long* integer);

// The double the +ionex reader makes of `integer` written with `exponent` (9999: NaN).
// Returns it.
double decodeValue(long integer, int exponent);

// Tells whether `value` written with `exponent` reads back as the same double (NaN as NaN).
// Returns false when it does not, or does not fit the field.
bool exactAt(double value, int exponent);

// Writes `integer` (within the field's range) right-aligned into five columns at `out`.
// Returns nothing.
void formatField(long integer, char* out);

// One map of nlat x nlon x nhgt values: layer h starts at values + h * height_stride, and
// within a layer the latitude runs fastest.
struct MapLayers {
    const double* values = nullptr;
    std::size_t nlat = 0;
    std::size_t nlon = 0;
    std::size_t nhgt = 1;
    std::size_t height_stride = 0;
};

// Where in a map a value lies, for messages (0-based).
struct NodeIndex {
    std::size_t lat = 0;
    std::size_t lon = 0;
    std::size_t hgt = 0;
};

// Finds the first value of `map` that `exponent` cannot write. Returns false with its node
// and value (and whether it is infinite) when there is one, true when every value fits.
bool mapFits(const MapLayers& map, int exponent, NodeIndex* node, double* value, Encoding* why);

// Tells whether every value of `map` is exact at `exponent`. Returns true when it is.
bool mapExact(const MapLayers& map, int exponent);

// The first exponent below `exponent`, going down, at which every value of `map` is exact;
// the search stops where the values no longer fit. Returns it, or `exponent` itself when
// there is none.
int finerExactExponent(const MapLayers& map, int exponent);

}  // namespace ionex
