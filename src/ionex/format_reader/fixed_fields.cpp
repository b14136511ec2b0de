// Fixed-column numbers. Decimals are converted without the C library: the digits form an
// exact integer and the power of ten is exact, so one IEEE division or multiplication gives
// the nearest double (and no locale can change what a point means).
#include "format_reader/fixed_fields.h"

#include <cmath>

namespace ionex {

namespace {

constexpr int kMaxExactDigits = 15;  // below 2^53: the digits form an exact double
constexpr int kMaxExactPower = 22;   // 10^22 is the largest exact power of ten

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double powerOfTen(int exponent) {
    static const double kPowers[kMaxExactPower + 1] = {
        1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    if (exponent >= 0 && exponent <= kMaxExactPower) return kPowers[exponent];
    return std::pow(10.0, static_cast<double>(exponent));
}

TextSpan trimmedField(const char* line, long length, int first, int last) {
    long begin = first - 1;
    long end = last < length ? last : length;
    if (begin < 0) begin = 0;
    while (begin < end && isBlank(line[begin])) ++begin;
    while (end > begin && isBlank(line[end - 1])) --end;
    return {begin, end > begin ? end : begin};
}

bool parseIntegerSpan(const char* line, const TextSpan& span, long* value) {
    long p = span.begin;
    bool negative = false;
    if (p < span.end && (line[p] == '-' || line[p] == '+')) negative = line[p++] == '-';
    const long digits = span.end - p;
    if (digits < 1 || digits > 9) return false;
    long n = 0;
    for (; p < span.end; ++p) {
        if (!isDigit(line[p])) return false;
        n = n * 10 + (line[p] - '0');
    }
    *value = negative ? -n : n;
    return true;
}

bool parseRealSpan(const char* line, const TextSpan& span, double* value) {
    long p = span.begin;
    bool negative = false;
    if (p < span.end && (line[p] == '-' || line[p] == '+')) negative = line[p++] == '-';
    long long mantissa = 0;
    int digits = 0;          // significant digits kept in the mantissa
    int fraction_digits = 0; // digits after the point kept in the mantissa
    int dropped = 0;         // integer digits beyond the exact range (scale up by 10 each)
    bool any_digit = false;
    bool point = false;
    for (; p < span.end; ++p) {
        const char c = line[p];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (!isDigit(c)) break;
        any_digit = true;
        if (mantissa == 0 && c == '0') {
            if (point) ++fraction_digits;  // leading zeros of a fraction only shift it
            continue;
        }
        if (digits < kMaxExactDigits + 2) {
            mantissa = mantissa * 10 + (c - '0');
            ++digits;
            if (point) ++fraction_digits;
        } else if (!point) {
            ++dropped;
        }
    }
    if (!any_digit) return false;
    long exponent = 0;
    if (p < span.end) {
        const char c = line[p];
        if (c != 'E' && c != 'e' && c != 'D' && c != 'd') return false;
        TextSpan rest{p + 1, span.end};
        if (isEmpty(rest) || rest.end - rest.begin > 4) return false;
        if (!parseIntegerSpan(line, rest, &exponent)) return false;
    }
    const long scale = exponent + dropped - fraction_digits;
    double result = 0.0;
    if (digits <= kMaxExactDigits && scale >= -kMaxExactPower && scale <= kMaxExactPower) {
        const double m = static_cast<double>(mantissa);
        result = scale < 0 ? m / powerOfTen(static_cast<int>(-scale)) : m * powerOfTen(static_cast<int>(scale));
    } else {
        // Beyond the exact range (never in a real file): the nearest long double, rounded once more.
        result = static_cast<double>(static_cast<long double>(mantissa) *
                                     std::pow(10.0L, static_cast<long double>(scale)));
    }
    *value = negative ? -result : result;
    return true;
}

bool parseIntegerField(const char* line, long length, int first, int last, long* value) {
    return parseIntegerSpan(line, trimmedField(line, length, first, last), value);
}

bool parseRealField(const char* line, long length, int first, int last, double* value) {
    return parseRealSpan(line, trimmedField(line, length, first, last), value);
}

}  // namespace ionex
