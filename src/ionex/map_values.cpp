// 16I5 data fields. This is the reader's inner loop: one pass over the characters, no
// library calls, no allocation.
#include "map_values.h"

#include <cmath>
#include <limits>

#include "fixed_fields.h"

namespace ionex {

namespace {

constexpr long kFieldWidth = 5;

}  // namespace

void setRowScale(RowFill& row, int exponent) {
    // Dividing by an exact power of ten gives the double nearest to n * 10^exponent for a
    // negative exponent (1 / 10^k is not exact, so multiplying by it would not).
    row.divide = exponent < 0;
    row.divisor = exponent < 0 ? powerOfTen(-exponent) : 1.0;
    row.multiplier = exponent < 0 ? 1.0 : powerOfTen(exponent);
}

DataLineResult readDataValues(const char* line, long length, RowFill& row, long* field) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (long start = 0; start < length; start += kFieldWidth) {
        *field = start / kFieldWidth + 1;
        const long stop = start + kFieldWidth;
        // The line is trimmed, so a field cut short ends in a character that was written.
        if (stop > length) return DataLineResult::kCutField;
        long p = start;
        while (p < stop && line[p] == ' ') ++p;
        if (p == stop) return DataLineResult::kBlankField;
        bool negative = false;
        if (line[p] == '-' || line[p] == '+') {
            negative = line[p] == '-';
            if (++p == stop) return DataLineResult::kBadField;
        }
        long n = 0;
        for (; p < stop; ++p) {
            const unsigned digit = static_cast<unsigned>(line[p]) - '0';
            if (digit > 9) return DataLineResult::kBadField;
            n = n * 10 + static_cast<long>(digit);
        }
        if (row.next >= row.end) return DataLineResult::kTooManyValues;
        if (row.dest != nullptr) {
            const int column = row.column_of[row.next];
            if (column >= 0) {
                double value = nan;
                if (n != kNoValue || negative) {
                    const double magnitude = row.divide ? static_cast<double>(n) / row.divisor
                                                        : static_cast<double>(n) * row.multiplier;
                    value = negative ? -magnitude : magnitude;
                }
                row.dest[column] = value;
            }
        }
        ++row.next;
    }
    return DataLineResult::kOk;
}

}  // namespace ionex
