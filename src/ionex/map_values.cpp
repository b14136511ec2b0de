// 16I5 data fields. This is the reader's inner loop: one pass over the characters, no
// library calls, no allocation.
#include "map_values.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "fixed_fields.h"

namespace ionex {

namespace {

constexpr long kFieldWidth = 5;

// Scales one integer. Returns the value.
inline double scaled(const RowFill& row, long n) {
    return row.divide ? static_cast<double>(n) / row.divisor : static_cast<double>(n) * row.multiplier;
}

}  // namespace

void setRowScale(RowFill& row, int exponent, ValueTable& table) {
    // Dividing by an exact power of ten gives the double nearest to n * 10^exponent for a
    // negative exponent (1 / 10^k is not exact, so multiplying by it would not).
    row.divide = exponent < 0;
    row.divisor = exponent < 0 ? powerOfTen(-exponent) : 1.0;
    row.multiplier = exponent < 0 ? 1.0 : powerOfTen(exponent);
    if (!table.filled || table.exponent != exponent) {
        for (long n = 0; n < kSmallValues; ++n) table.values[n] = scaled(row, n);
        table.values[kNoValue] = std::numeric_limits<double>::quiet_NaN();
        table.exponent = exponent;
        table.filled = true;
    }
    row.small = table.values;
}

// The common shape of a field: blanks, then digits to its end. Its five characters are
// checked and converted together, in one 64-bit word (the first character in the lowest
// byte), without a branch per character. Returns false for any other shape (signs, blanks
// after a digit, anything else), which the caller then reads character by character.
inline bool plainField(const char* f, long* value) {
    constexpr uint64_t kFive = 0xFFFFFFFFFFull;            // the field's five bytes
    constexpr uint64_t kHigh = 0x8080808080ull;            // the high bit of each
    constexpr uint64_t kLow7 = 0x7F7F7F7F7Full;
    uint64_t w = 0;
    std::memcpy(&w, f, sizeof w);
    w &= kFive;
    const uint64_t v = w ^ 0x3030303030ull;                // digits become 0..9
    const uint64_t digits = ~(((v & kLow7) + 0x7676767676ull) | v) & kHigh;   // bytes below 10
    const uint64_t e = w ^ 0x2020202020ull;                // blanks become 0
    const uint64_t blanks = ~(((e & kLow7) + kLow7) | e) & kHigh;             // zero bytes
    if ((digits | blanks) != kHigh || digits == 0) return false;
    // Blanks only in front of the first digit.
    const uint64_t first_digit = digits & (~digits + 1);
    if ((blanks & ~(first_digit - 1)) != 0) return false;
    // Eight digit characters: three leading zeros, then the field with blanks as zeros.
    uint64_t chars = ((w | 0x1010101010ull) << 24) | 0x303030ull;
    chars = ((chars & 0x0F0F0F0F0F0F0F0Full) * 2561) >> 8;
    chars = ((chars & 0x00FF00FF00FF00FFull) * 6553601) >> 16;
    *value = static_cast<long>(((chars & 0x0000FFFF0000FFFFull) * 42949672960001ull) >> 32);
    return true;
}

// Any field of another shape than plainField's: blanks, an optional sign, digits to the end.
// Returns kOk with the magnitude and sign, or why the field cannot be read.
DataLineResult readOtherField(const char* f, long* value, bool* negative) {
    long p = 0;
    while (p < kFieldWidth && f[p] == ' ') ++p;
    if (p == kFieldWidth) return DataLineResult::kBlankField;
    if (f[p] == '-' || f[p] == '+') {
        *negative = f[p] == '-';
        if (++p == kFieldWidth) return DataLineResult::kBadField;
    }
    long n = 0;
    for (; p < kFieldWidth; ++p) {
        const unsigned digit = static_cast<unsigned>(f[p]) - '0';
        if (digit > 9) return DataLineResult::kBadField;
        n = n * 10 + static_cast<long>(digit);
    }
    *value = n;
    return DataLineResult::kOk;
}

DataLineResult readDataValues(const char* line, long length, RowFill& row, long* field) {
    // The row's state in locals: stores through `dest` cannot change them.
    long next = row.next;
    const long end = row.end;
    const int* const column_of = row.column_of;
    double* const dest = row.dest;
    const long stride = row.stride;
    const double* const small = row.small;
    DataLineResult result = DataLineResult::kOk;
    long start = 0;
    for (; start < length; start += kFieldWidth) {
        // The line is trimmed, so a field cut short ends in a character that was written.
        if (start + kFieldWidth > length) {
            result = DataLineResult::kCutField;
            break;
        }
        long n = 0;
        bool negative = false;
        if (!plainField(line + start, &n)) {
            result = readOtherField(line + start, &n, &negative);
            if (result != DataLineResult::kOk) break;
        }
        if (next >= end) {
            result = DataLineResult::kTooManyValues;
            break;
        }
        if (dest != nullptr) {
            const int column = column_of[next];
            if (column >= 0) {
                double* const out = dest + column * stride;
                if (!negative && n < kSmallValues) {
                    *out = small[n];
                } else {
                    *out = negative ? -scaled(row, n) : scaled(row, n);
                }
            }
        }
        ++next;
    }
    row.next = next;
    *field = start / kFieldWidth + 1;
    return result;
}

}  // namespace ionex
