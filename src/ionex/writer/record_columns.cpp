// Record lines by column, and the numbers written into them.
#include "writer/record_columns.h"

#include <cmath>
#include <cstring>

#include "format_reader/fixed_fields.h"

namespace ionex {

namespace {

constexpr int kMaxDecimals = 15;

// Writes the decimal text of round(value * 10^decimals) with the point placed `decimals`
// digits from the right into `out` (at most `room` characters). Returns its length, or 0
// when it does not fit or the scaled value leaves the exact integer range.
int decimalText(double value, int decimals, char* out, int room) {
    const double scaled = std::round(std::fabs(value) * powerOfTen(decimals));
    if (!(scaled < 9e15)) return 0;
    unsigned long long n = static_cast<unsigned long long>(scaled);
    char digits[40];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    while (count <= decimals) digits[count++] = '0';  // a leading 0 before the point
    const bool negative = std::signbit(value) && scaled != 0;
    const int length = count + (decimals > 0 ? 1 : 0) + (negative ? 1 : 0);
    if (length > room) return 0;
    int p = 0;
    if (negative) out[p++] = '-';
    for (int k = count - 1; k >= 0; --k) {
        out[p++] = digits[k];
        if (k == decimals && decimals > 0) out[p++] = '.';
    }
    return length;
}

}  // namespace

void clearLine(RecordLine& line) {
    std::memset(line.text, ' ', sizeof line.text);
    line.length = 0;
}

void putText(RecordLine& line, int column, const char* text, std::size_t count) {
    if (column < 1) return;
    for (std::size_t k = 0; k < count && column + static_cast<int>(k) <= kRecordColumns; ++k) {
        line.text[column - 1 + static_cast<int>(k)] = text[k];
        if (text[k] != ' ' && column + static_cast<int>(k) > line.length) line.length = column + static_cast<int>(k);
    }
}

void putLabel(RecordLine& line, const char* label, bool late) {
    putText(line, late ? kContentColumns + 2 : kContentColumns + 1, label, std::strlen(label));
}

bool formatInteger(long long value, int width, char* out) {
    char digits[24];
    int count = 0;
    unsigned long long n = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (value < 0) digits[count++] = '-';
    if (count > width) return false;
    for (int p = 0; p < width - count; ++p) out[p] = ' ';
    for (int k = 0; k < count; ++k) out[width - 1 - k] = digits[k];
    return true;
}

RealText formatReal(double value, int width, int min_decimals, char* out) {
    char text[40];
    int best = 0;
    char best_text[40];
    for (int decimals = min_decimals; decimals <= kMaxDecimals; ++decimals) {
        const int length = std::isfinite(value) ? decimalText(value, decimals, text, width) : 0;
        if (length == 0) break;  // more decimals only make it longer
        std::memcpy(best_text, text, static_cast<std::size_t>(length));
        best = length;
        double back = 0;
        if (parseRealSpan(text, TextSpan{0, length}, &back) && back == value) break;
    }
    if (best == 0) return RealText::kTooWide;
    for (int p = 0; p < width - best; ++p) out[p] = ' ';
    std::memcpy(out + (width - best), best_text, static_cast<std::size_t>(best));
    double back = 0;
    return parseRealSpan(best_text, TextSpan{0, best}, &back) && back == value ? RealText::kExact : RealText::kRounded;
}

}  // namespace ionex
