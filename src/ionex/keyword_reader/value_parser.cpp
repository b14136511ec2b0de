// Conversion of TEC map numbers. Almost every number of a real file is a short decimal:
// those are converted here without sscanf, to the same float; anything else goes to sscanf.
#include "keyword_reader/value_parser.h"

#include <cstdio>

namespace ionex {

namespace {

constexpr int kMaxFastDigits = 7;  // below 2^24: the digits form an exact float
constexpr float kPowersOfTen[kMaxFastDigits + 1] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The white space that sscanf skips before a conversion.
bool isScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Characters after which sscanf's "%f" stops a decimal without extending it or failing.
bool endsShortDecimal(char c, bool sign_ends) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0' ||
           (sign_ends && (c == '-' || c == '+'));
}

// Adds the digits at `p` to `n`, at most up to kMaxFastDigits in all (one more is read so
// that a longer run is seen). Returns the end of the digits.
const char* readDigits(const char* p, long* n, int* digits) {
    while (isDigit(*p) && *digits <= kMaxFastDigits) {
        *n = *n * 10 + (*p - '0');
        ++p;
        ++*digits;
    }
    return p;
}

}  // namespace

// Both the digits (below 2^24) and the power of ten (at most 10^7) are exact floats, so one
// IEEE division gives the correctly rounded value of the decimal, as strtof does.
const char* parseShortDecimal(const char* p, float* value, bool sign_ends) {
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    long n = 0;
    int digits = 0;
    p = readDigits(p, &n, &digits);
    int integer_digits = digits;
    if (integer_digits == 0) return nullptr;
    if (*p == '.') {
        p = readDigits(p + 1, &n, &digits);
        if (digits == integer_digits) return nullptr;  // "5." is left to sscanf
    }
    if (digits > kMaxFastDigits || !endsShortDecimal(*p, sign_ends)) return nullptr;
    float f = static_cast<float>(n) / kPowersOfTen[digits - integer_digits];
    *value = negative ? -f : f;
    return p;
}

bool parseFloatToken(const char* text, float* value) {
    if (parseShortDecimal(text, value) != nullptr) return true;
    return std::sscanf(text, "%f", value) == 1;
}

int scanFloats(const char* line, float* values, int count) {
    const char* p = line;
    for (int i = 0; i < count; ++i) {
        while (isScanSpace(*p)) ++p;
        const char* end = parseShortDecimal(p, &values[i], true);
        if (end == nullptr) {
            // Any other shape: the rest of the line is converted by sscanf itself.
            int converted = 0;
            for (; i < count; ++i) {
                if (std::sscanf(p, "%f%n", &values[i], &converted) != 1) return i;
                p += converted;
            }
            return count;
        }
        p = end;
    }
    return count;
}

}  // namespace ionex
