// IONEX integers from map values, and the exponents that write a map without loss.
#include "writer/value_encoding.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "format_reader/fixed_fields.h"

namespace ionex {

namespace {

// The value of map node (i, j, h). Returns it.
inline double nodeValue(const MapLayers& map, std::size_t i, std::size_t j, std::size_t h) {
    return map.values[h * map.height_stride + j * map.nlat + i];
}

}  // namespace

ValueScale scaleFor(int exponent) {
    ValueScale scale;
    scale.multiply = exponent < 0;
    scale.factor = exponent < 0 ? powerOfTen(-exponent) : powerOfTen(exponent);
    return scale;
}

Encoding encodeValue(double value, int exponent, long* integer) { return encodeScaled(value, scaleFor(exponent), integer); }

double decodeValue(long integer, int exponent) {
    if (integer == kMissingValue) return std::numeric_limits<double>::quiet_NaN();
    return decodeScaled(integer, scaleFor(exponent));
}

bool exactAt(double value, int exponent) {
    long n = 0;
    if (encodeValue(value, exponent, &n) != Encoding::kFits) return false;
    if (n == kMissingValue) return true;  // NaN
    return decodeValue(n, exponent) == value;
}

namespace {

// The five-column text of 0 .. 9999, right-aligned: nearly every value of a real map.
struct FieldTable {
    char text[kMissingValue + 1][kFieldColumns];
    FieldTable() {
        for (long n = 0; n <= kMissingValue; ++n) {
            long rest = n;
            for (int p = kFieldColumns - 1; p >= 0; --p) {
                text[n][p] = (rest != 0 || p == kFieldColumns - 1) ? static_cast<char>('0' + rest % 10) : ' ';
                rest /= 10;
            }
        }
    }
};
}  // namespace

const char* smallFieldTexts() {
    static const FieldTable table;  // made once, never changed
    return table.text[0];
}

void formatField(long integer, char* out) {
    if (integer >= 0 && integer <= kMissingValue) {
        std::memcpy(out, smallFieldTexts() + integer * kFieldColumns, kFieldColumns);
        return;
    }
    const bool negative = integer < 0;
    unsigned long magnitude = static_cast<unsigned long>(negative ? -integer : integer);
    int p = kFieldColumns - 1;
    do {
        out[p--] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0 && p >= 0);
    if (negative && p >= 0) out[p--] = '-';
    while (p >= 0) out[p--] = ' ';
}

bool mapFits(const MapLayers& map, int exponent, NodeIndex* node, double* value, Encoding* why) {
    // The whole map in memory order first; only a map that fails is searched in file order
    // (row by row) for the first value that does not fit.
    const std::size_t layer = map.nlat * map.nlon;
    bool all = true;
    for (std::size_t h = 0; h < map.nhgt && all; ++h) {
        const double* values = map.values + h * map.height_stride;
        for (std::size_t k = 0; k < layer; ++k) {
            long n = 0;
            if (encodeValue(values[k], exponent, &n) != Encoding::kFits) {
                all = false;
                break;
            }
        }
    }
    if (all) return true;
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

MapScan scanMap(const MapLayers& map, int exponent, const DecodeTable* table) {
    const std::size_t layer = map.nlat * map.nlon;
    const ValueScale scale = scaleFor(exponent);
    const double* small = table != nullptr && table->exponent == exponent ? table->values.data() : nullptr;
    MapScan scan;
    for (std::size_t h = 0; h < map.nhgt; ++h) {
        const double* values = map.values + h * map.height_stride;
        for (std::size_t k = 0; k < layer; ++k) {
            long n = 0;
            if (encodeScaled(values[k], scale, &n) != Encoding::kFits) {
                scan.fits = false;
                scan.exact = false;
                return scan;
            }
            if (n == kMissingValue) continue;
            // Most integers are small and positive: their doubles are looked up, not divided.
            const double back = small != nullptr && n >= 0 && n < kMissingValue ? small[n] : decodeScaled(n, scale);
            if (back != values[k]) scan.exact = false;
        }
    }
    return scan;
}

void fillDecodeTable(int exponent, DecodeTable& table) {
    const ValueScale scale = scaleFor(exponent);
    table.exponent = exponent;
    table.values.resize(kMissingValue);
    for (long n = 0; n < kMissingValue; ++n) table.values[static_cast<std::size_t>(n)] = decodeScaled(n, scale);
}

std::shared_ptr<const DecodeTable> sharedDecodeTable(int exponent) {
    // The last table made, kept for the whole process: a write uses one exponent for nearly
    // all of its maps, and a loop of writes the same one again.
    static std::mutex mutex;
    static std::shared_ptr<const DecodeTable> last;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (last != nullptr && last->exponent == exponent) return last;
    }
    auto table = std::make_shared<DecodeTable>();
    fillDecodeTable(exponent, *table);
    std::lock_guard<std::mutex> lock(mutex);
    last = table;
    return table;
}

namespace {

// Whether the values of a stretch all fit, and all are exact.
struct LayerFlags {
    bool fits = true;
    bool exact = true;
};

// encodeScaled and the exactness check of scanMap over `count` values into `codes`
// (`kMultiply`: the scale multiplies); `small` holds the reader's doubles of 0 .. 9998 (or is
// null). Stops at the first value that does not fit. Returns the flags.
template <bool kMultiply>
LayerFlags encodeLayer(const double* values, std::size_t count, double factor, const double* small, int* codes) {
    LayerFlags flags;
    bool exact = true;
    for (std::size_t k = 0; k < count; ++k) {
        const double v = values[k];
        const double scaled = kMultiply ? v * factor : v / factor;
        if (!(scaled > -1e6 && scaled < 1e6)) {  // NaN, or too large for any field
            if (v == v) {
                flags.fits = false;
                flags.exact = false;
                return flags;
            }
            codes[k] = static_cast<int>(kMissingValue);
            continue;
        }
        // Halves away from zero, as encodeScaled rounds.
        long n = static_cast<long>(scaled);
        const double rest = scaled - static_cast<double>(n);
        n += static_cast<long>(rest >= 0.5) - static_cast<long>(rest <= -0.5);
        if (n < kLowestFieldValue || n > kHighestFieldValue || n == kMissingValue) {
            flags.fits = false;
            flags.exact = false;
            return flags;
        }
        codes[k] = static_cast<int>(n);
        // Most integers are small and positive: their doubles are looked up, not divided.
        const double back = small != nullptr && n >= 0 && n < kMissingValue
                                ? small[n]
                                : (kMultiply ? static_cast<double>(n) / factor : static_cast<double>(n) * factor);
        exact = exact && back == v;
    }
    flags.exact = exact;
    return flags;
}

}  // namespace

MapScan encodeMap(const MapLayers& map, int exponent, const DecodeTable& table, int* codes) {
    const std::size_t layer = map.nlat * map.nlon;
    const ValueScale scale = scaleFor(exponent);
    const bool looked_up = table.exponent == exponent && table.values.size() == static_cast<std::size_t>(kMissingValue);
    const double* const small = looked_up ? table.values.data() : nullptr;
    MapScan scan;
    for (std::size_t h = 0; h < map.nhgt; ++h, codes += layer) {
        const double* values = map.values + h * map.height_stride;
        const LayerFlags flags = scale.multiply ? encodeLayer<true>(values, layer, scale.factor, small, codes)
                                                : encodeLayer<false>(values, layer, scale.factor, small, codes);
        if (!flags.fits) {
            scan.fits = false;
            scan.exact = false;
            return scan;
        }
        scan.exact = scan.exact && flags.exact;
    }
    return scan;
}

void encodeCheckedMap(const MapLayers& map, const ValueScale& scale, int* codes) {
    const std::size_t layer = map.nlat * map.nlon;
    for (std::size_t h = 0; h < map.nhgt; ++h, codes += layer) {
        const double* values = map.values + h * map.height_stride;
        for (std::size_t k = 0; k < layer; ++k) {
            long n = kMissingValue;
            encodeScaled(values[k], scale, &n);
            codes[k] = static_cast<int>(n);
        }
    }
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
