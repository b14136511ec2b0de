// Conversion of TEC data values. Almost every value of a real file is a short run of digits
// with an optional sign; those are converted here without sscanf, to the same float.
#include "value_parser.h"

#include <cstdio>

namespace ionex {

namespace {

// Characters after which sscanf's "%f" stops a digit run without extending the number.
bool endsPlainInteger(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

// Seven digits stay below 2^24, so the float of such an integer is exact.
const char* parsePlainInteger(const char* p, float* value) {
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    int digits = 0;
    long n = 0;
    while (isDigit(*p) && digits < 8) {
        n = n * 10 + (*p - '0');
        ++p;
        ++digits;
    }
    if (digits == 0 || digits > 7 || !endsPlainInteger(*p)) return nullptr;
    float f = static_cast<float>(n);
    *value = negative ? -f : f;
    return p;
}

bool parseFloatToken(const char* text, float* value) {
    if (parsePlainInteger(text, value) != nullptr) return true;
    return std::sscanf(text, "%f", value) == 1;
}

}  // namespace ionex
