// Map values as IONEX integers: each value is the integer nearest to value / 10^exponent
// (halves away from zero) in a five-column field, 9999 where there is no value. The scale
// read back is the +ionex reader's, so that a value is "exact" at an exponent when reading
// its integer gives back the same double.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace ionex {

// What a five-column field can hold: -9999 .. 99999; 9999 itself means "no value".
constexpr long kLowestFieldValue = -9999;
constexpr long kHighestFieldValue = 99999;
constexpr long kMissingValue = 9999;
constexpr int kFieldColumns = 5;
// The exponents an EXPONENT record may carry.
constexpr int kLowestExponent = -99;
constexpr int kHighestExponent = 99;

enum class Encoding : int {
    kFits = 0,   // an integer of the field's range (NaN: 9999)
    kTooLarge,   // beyond the field, or rounding to 9999
    kNotFinite,  // an infinity: no field holds it
};

// How values are scaled for one exponent: multiplied by 10^-exponent (exponent < 0) or
// divided by 10^exponent.
struct ValueScale {
    bool multiply = true;
    double factor = 10.0;
};

// The scale of `exponent`. Returns it.
ValueScale scaleFor(int exponent);

// encodeValue with the scale worked out: the writer's inner loop. Returns the same.
inline Encoding encodeScaled(double value, const ValueScale& scale, long* integer) {
    if (value != value) {  // NaN
        *integer = kMissingValue;
        return Encoding::kFits;
    }
    const double scaled = scale.multiply ? value * scale.factor : value / scale.factor;
    // Checked before the conversion: a double beyond long's range must never be converted
    // (infinities fail here too).
    if (!(scaled > -1e6 && scaled < 1e6)) return value - value == 0 ? Encoding::kTooLarge : Encoding::kNotFinite;
    // Halves away from zero: the truncated part and the exact remainder decide. Added as
    // comparisons, not branched on: half of all values round up, and a branch taken at random
    // costs more than the rest of the encoding.
    long n = static_cast<long>(scaled);
    const double rest = scaled - static_cast<double>(n);
    n += static_cast<long>(rest >= 0.5) - static_cast<long>(rest <= -0.5);
    if (n < kLowestFieldValue || n > kHighestFieldValue || n == kMissingValue) return Encoding::kTooLarge;
    *integer = n;
    return Encoding::kFits;
}

// Scales `value` for `exponent`: the integer nearest value * 10^-exponent, the product (or
// quotient, for exponent >= 0) taken in double arithmetic so that 0.15 at -1 is 2, as its
// decimal says. NaN gives 9999. Returns whether the field holds it (*integer set when so).
Encoding encodeValue(double value, int exponent, long* integer);

// The double the +ionex reader makes of `integer` written with `exponent` (9999: NaN).
// Returns it.
double decodeValue(long integer, int exponent);

// decodeValue with the scale worked out (any integer, 9999 included: no NaN here).
// Returns the double.
inline double decodeScaled(long integer, const ValueScale& scale) {
    // The reader divides by an exact power of ten for a negative exponent.
    const double n = static_cast<double>(integer);
    return scale.multiply ? n / scale.factor : n * scale.factor;
}

// Tells whether `value` written with `exponent` reads back as the same double (NaN as NaN).
// Returns false when it does not, or does not fit the field.
bool exactAt(double value, int exponent);

// Writes `integer` (within the field's range) right-aligned into five columns at `out`.
// Returns nothing.
void formatField(long integer, char* out);

// The five-column texts of 0 .. 9999, one after the other (5 characters each, no NUL): what
// formatField writes for them, for the writer's inner loop. Returns the table.
const char* smallFieldTexts();

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

// Whether every value of a map fits at an exponent, and whether every one is exact there.
struct MapScan {
    bool fits = true;
    bool exact = true;
};

// The doubles the reader makes of the integers 0 .. 9998 at one exponent.
struct DecodeTable {
    int exponent = 0;
    std::vector<double> values;
};

// Fills `table` for `exponent`. Returns nothing.
void fillDecodeTable(int exponent, DecodeTable& table);

// The table for `exponent`, shared and never changed once made (the last one made is kept
// for the next call). Safe to call from any thread. Returns it; may throw std::bad_alloc.
std::shared_ptr<const DecodeTable> sharedDecodeTable(int exponent);

// Encodes every value of `map` at `exponent` into `codes` (nlat * nlon integers per layer,
// the layers one after the other, latitude fastest), checking each as scanMap does (`table`
// is looked up when it is for `exponent`). Stops at the first value that does not fit.
// Returns what it found; `codes` is complete only when every value fits.
MapScan encodeMap(const MapLayers& map, int exponent, const DecodeTable& table, int* codes);

// Encodes every value of `map` at `scale` into `codes` as encodeMap does, for values known
// to fit (a value that does not is written as 9999). Returns nothing.
void encodeCheckedMap(const MapLayers& map, const ValueScale& scale, int* codes);

// Scans `map` once at `exponent`, looking small integers up in `table` when it is for that
// exponent (it may be null). Returns what it found (exact is false when a value does not fit).
MapScan scanMap(const MapLayers& map, int exponent, const DecodeTable* table = nullptr);

// Tells whether every value of `map` is exact at `exponent`. Returns true when it is.
bool mapExact(const MapLayers& map, int exponent);

// The first exponent below `exponent`, going down, at which every value of `map` is exact;
// the search stops where the values no longer fit. Returns it, or `exponent` itself when
// there is none.
int finerExactExponent(const MapLayers& map, int exponent);

}  // namespace ionex
