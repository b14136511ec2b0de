// 16I5 data fields. This is the reader's inner loop: one pass over the characters, no
// library calls, no allocation.
#include "map_values.h"

#include <cmath>
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

// The common shape of a field: blanks, then digits to its end. Five fixed steps, no branch
// per character. Returns false for any other shape (signs, blanks after a digit, others).
inline bool plainField(const char* f, long* value) {
    unsigned blanks = 0;
    unsigned bad = 0;
    long n = 0;
    for (int i = 0; i < kFieldWidth; ++i) {
        const unsigned c = static_cast<unsigned char>(f[i]);
        const unsigned blank = c == ' ';
        const unsigned digit = c - '0';
        bad |= static_cast<unsigned>(digit > 9) & (blank ^ 1u);
        blanks |= blank << i;
        n = n * 10 + static_cast<long>(blank ? 0 : digit);
    }
    // Blanks only in front (a run from bit 0), and at least one digit.
    if (bad != 0 || (blanks & (blanks + 1)) != 0 || blanks == 31) return false;
    *value = n;
    return true;
}

DataLineResult readDataValues(const char* line, long length, RowFill& row, long* field) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (long start = 0; start < length; start += kFieldWidth) {
        *field = start / kFieldWidth + 1;
        const long stop = start + kFieldWidth;
        // The line is trimmed, so a field cut short ends in a character that was written.
        if (stop > length) return DataLineResult::kCutField;
        long n = 0;
        if (plainField(line + start, &n)) {
            if (row.next >= row.end) return DataLineResult::kTooManyValues;
            if (row.dest != nullptr) {
                const int column = row.column_of[row.next];
                if (column >= 0) row.dest[column] = n < kSmallValues ? row.small[n] : scaled(row, n);
            }
            ++row.next;
            continue;
        }
        long p = start;
        while (p < stop && line[p] == ' ') ++p;
        if (p == stop) return DataLineResult::kBlankField;
        bool negative = false;
        if (line[p] == '-' || line[p] == '+') {
            negative = line[p] == '-';
            if (++p == stop) return DataLineResult::kBadField;
        }
        for (; p < stop; ++p) {
            const unsigned digit = static_cast<unsigned>(line[p]) - '0';
            if (digit > 9) return DataLineResult::kBadField;
            n = n * 10 + static_cast<long>(digit);
        }
        if (row.next >= row.end) return DataLineResult::kTooManyValues;
        if (row.dest != nullptr) {
            const int column = row.column_of[row.next];
            if (column >= 0) {
                if (!negative && n < kSmallValues) {
                    row.dest[column] = row.small[n];
                } else if (n == kNoValue && !negative) {
                    row.dest[column] = nan;
                } else {
                    row.dest[column] = negative ? -scaled(row, n) : scaled(row, n);
                }
            }
        }
        ++row.next;
    }
    return DataLineResult::kOk;
}

}  // namespace ionex
