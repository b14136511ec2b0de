// Tokenizer of TEC data lines. Nearly every value of a real file is a short unsigned or
// negative integer between blanks; those are converted here directly. Every other shape goes
// through the same conversion as sscanf's "%f".
#include "keyword_reader/data_line.h"

#include <cstdio>
#include <cstring>

#include "keyword_reader/value_parser.h"

namespace ionex {

namespace {

// Characters at which sscanf's "%f" ends an integer without failing or extending it.
bool endsInteger(char c) { return c == ' ' || c == '\n' || c == '\0' || c == '\r' || c == '\t'; }

// Converts one to seven digits at `digits` followed by a character that ends an integer.
// Returns the end of the digits, or null for any other shape.
const char* readDigits(const char* digits, unsigned* value) {
    const char* q = digits;
    unsigned n = 0;
    unsigned d = 0;
    while ((d = static_cast<unsigned>(*q - '0')) < 10 && q - digits < 8) {
        n = n * 10 + d;
        ++q;
    }
    const long count = q - digits;
    if (count == 0 || count > 7 || !endsInteger(*q)) return nullptr;
    *value = n;
    return q;
}

// Converts the token at `p` when it is a plain integer of one to seven digits with an
// optional minus sign (exact as a float: below 2^24). Returns the end, or null otherwise.
const char* readInteger(const char* p, float* value) {
    const bool negative = *p == '-';
    const char* digits = p + (negative ? 1 : 0);
    unsigned n = 0;
    const char* end = readDigits(digits, &n);
    if (end == nullptr) return nullptr;
    const float f = static_cast<float>(n);
    *value = negative ? -f : f;
    return end;
}

}  // namespace

long readDataLine(const char* line, long column,
                  const Range<int>& lon_index, double scale, double* row_values) {
    const char* p = line;
    // Once the row is past the window's last column nothing more of it can be kept.
    while (*p != '\0' && column <= lon_index.last) {
        while (*p == ' ' || *p == '\t') ++p;
        float number = 0.0f;
        const char* end = readInteger(p, &number);
        if (end == nullptr) end = parseShortDecimal(p, &number);
        if (end != nullptr || std::sscanf(p, "%f", &number) == 1) {
            if (column >= lon_index.first) {
                row_values[column - lon_index.first] = scale * static_cast<double>(number);
            }
            ++column;
        }
        // The next token starts at the next space; a fast-path token holds none.
        if (end != nullptr && *end == ' ') {
            p = end;
        } else {
            p = std::strchr(end != nullptr ? end : p, ' ');
            if (p == nullptr) break;
        }
    }
    return column;
}

}  // namespace ionex
