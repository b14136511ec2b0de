// 16I5 data fields. This is the reader's inner loop: one pass over the characters, no
// library calls, no allocation.
#include "format_reader/map_values.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define IONEX_PAIR_FIELDS 1
#endif

#include "format_reader/fixed_fields.h"

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

#ifdef IONEX_PAIR_FIELDS
// Two plain fields (ten characters at `f`) at once, with SSSE3: each field goes to its own
// eight-byte lane behind three zeros, is checked byte by byte, and the digits are combined by
// multiply-adds. Sixteen bytes are loaded. Returns false when either field has another shape.
__attribute__((target("ssse3"))) inline bool plainFieldPair(const char* f, long* first, long* second) {
    const __m128i text = _mm_loadu_si128(reinterpret_cast<const __m128i*>(f));
    // Lane bytes 0-2 come out zero (index with the high bit set), 3-7 hold a field.
    const __m128i spread = _mm_setr_epi8(-128, -128, -128, 0, 1, 2, 3, 4, -128, -128, -128, 5, 6, 7, 8, 9);
    const __m128i c = _mm_shuffle_epi8(text, spread);
    const __m128i pads = _mm_setr_epi8(1, 1, 1, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0);
    const __m128i pad_mask = _mm_cmpeq_epi8(pads, _mm_set1_epi8(1));
    const __m128i d = _mm_sub_epi8(c, _mm_set1_epi8('0'));
    const __m128i is_digit = _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(9)), d);
    const __m128i is_blank = _mm_cmpeq_epi8(c, _mm_set1_epi8(' '));
    const __m128i ok = _mm_or_si128(_mm_or_si128(is_digit, is_blank), pad_mask);
    if (_mm_movemask_epi8(ok) != 0xFFFF) return false;
    // Blanks only in front of each field's first digit, and at least one digit.
    const unsigned blanks = static_cast<unsigned>(_mm_movemask_epi8(_mm_andnot_si128(pad_mask, is_blank)));
    const unsigned a = (blanks >> 3) & 31u, b = (blanks >> 11) & 31u;
    if ((a & (a + 1)) != 0 || (b & (b + 1)) != 0 || a == 31 || b == 31) return false;
    // Digits with blanks and pads as zeros, then pairs, then four-digit halves.
    const __m128i digits = _mm_and_si128(d, is_digit);
    const __m128i pairs = _mm_maddubs_epi16(digits, _mm_setr_epi8(10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1));
    const __m128i quads = _mm_madd_epi16(pairs, _mm_setr_epi16(100, 1, 100, 1, 100, 1, 100, 1));
    alignas(16) int32_t q[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(q), quads);
    *first = static_cast<long>(q[0]) * 10000 + q[1];
    *second = static_cast<long>(q[2]) * 10000 + q[3];
    return true;
}

// Where a row's plain values go, in locals: stores through `dest` cannot change them.
struct PlainStore {
    const int* column_of;
    double* dest;
    long stride;
    const double* small;
};

// Stores integer n (not negative) at output column `column` of the row. Returns nothing.
inline void storePlain(const RowFill& row, const PlainStore& to, int column, long n) {
    if (column < 0) return;
    to.dest[column * to.stride] = n < kSmallValues ? to.small[n] : scaled(row, n);
}

// Reads the leading plain fields of a line two at a time, as long as the row takes two more
// values, and stores them; one function, so that the pair reader is inlined into its loop.
// Returns the offset of the first field not read (row.next advanced past those read).
__attribute__((target("ssse3"))) long readPlainPairs(const char* line, long length, RowFill& row) {
    long next = row.next;
    const long end = row.end;
    long start = 0;
    long a = 0, b = 0;
    if (row.dest == nullptr) {
        while (start + 2 * kFieldWidth <= length && next + 2 <= end && plainFieldPair(line + start, &a, &b)) {
            next += 2;
            start += 2 * kFieldWidth;
        }
    } else {
        const PlainStore to{row.column_of, row.dest, row.stride, row.small};
        while (start + 2 * kFieldWidth <= length && next + 2 <= end && plainFieldPair(line + start, &a, &b)) {
            storePlain(row, to, to.column_of[next], a);
            storePlain(row, to, to.column_of[next + 1], b);
            next += 2;
            start += 2 * kFieldWidth;
        }
    }
    row.next = next;
    return start;
}

// Tells once whether the processor runs plainFieldPair.
bool pairFieldsAvailable() {
    static const bool available = __builtin_cpu_supports("ssse3");
    return available;
}
#endif

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
    long start = 0;
#ifdef IONEX_PAIR_FIELDS
    if (pairFieldsAvailable()) start = readPlainPairs(line, length, row);
#endif
    // The row's state in locals: stores through `dest` cannot change them.
    long next = row.next;
    const long end = row.end;
    const int* const column_of = row.column_of;
    double* const dest = row.dest;
    const long stride = row.stride;
    const double* const small = row.small;
    DataLineResult result = DataLineResult::kOk;
    // Stores integer n at the row's next place. Returns false when the row is full.
    auto store = [&](long n, bool negative) {
        if (next >= end) return false;
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
        return true;
    };
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
        if (!store(n, negative)) {
            result = DataLineResult::kTooManyValues;
            break;
        }
    }
    row.next = next;
    *field = start / kFieldWidth + 1;
    return result;
}

}  // namespace ionex
