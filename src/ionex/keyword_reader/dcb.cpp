// Differential code biases of the header's auxiliary DCB block.
//
// The scans work on positions within the line and never look at or past its terminator:
// a position at or beyond the end of the line converts nothing.
#include "keyword_reader/dcb.h"

#include <cstdio>
#include <cstring>

namespace ionex {

namespace {

constexpr size_t kTokenCapacity = 16;  // 15 characters and the terminator

// The white space that sscanf skips before a conversion.
bool isScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Converts a double starting at `pos`, as "%lf" would.
// Returns false when `pos` lies at or beyond the end of the line or nothing converts.
bool scanDoubleAt(const char* line, size_t length, size_t pos, double* value) {
    if (pos >= length) return false;
    return std::sscanf(line + pos, "%lf", value) == 1;
}

// A satellite entry: the first number of the line is the PRN (an R before it means a GLONASS
// entry, which is ignored; a G is stepped over), the bias is read three characters after
// the place the PRN was scanned from.
void readSatelliteEntry(const char* line, size_t length, double* satellite_dcb, int count) {
    size_t pos = 0;
    for (;;) {
        while (pos < length && line[pos] == ' ') ++pos;
        if (pos >= length || line[pos] == 'R') return;
        if (line[pos] == 'G') ++pos;
        int prn = 0;
        if (pos < length && std::sscanf(line + pos, "%d", &prn) == 1) {
            if (prn < 1 || prn > count) return;
            double bias = 0.0;
            if (scanDoubleAt(line, length, pos + 3, &bias)) satellite_dcb[prn - 1] = bias;
            return;
        }
        ++pos;
    }
}

// Reads the non-blank token that starts at `pos` after white space, as "%s" would, into
// `token` when it fits. Returns its length (0 when none; longer than 15 when it did not fit).
size_t scanToken(const char* line, size_t length, size_t pos, char* token) {
    while (pos < length && isScanSpace(line[pos])) ++pos;
    size_t start = pos;
    while (pos < length && !isScanSpace(line[pos])) ++pos;
    size_t size = pos - start;
    if (size > 0 && size < kTokenCapacity) {
        for (size_t i = 0; i < size; ++i) {
            char c = line[start + i];
            token[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        token[size] = '\0';
    }
    return size;
}

// A station entry: every position's token (every tail of every token) is compared with the
// receiver name; a match takes the bias read 16 characters after that position.
void readStationEntry(const char* line, size_t length, const char* receiver, double* receiver_dcb) {
    char token[kTokenCapacity];
    size_t pos = 0;
    for (;;) {
        while (pos < length && line[pos] == ' ') ++pos;
        if (pos >= length) return;
        if (line[pos] == 'G' && pos + 1 < length && line[pos + 1] == ' ') pos += 2;
        size_t size = scanToken(line, length, pos, token);
        if (size > 0 && size < kTokenCapacity && std::strcmp(token, receiver) == 0) {
            double bias = 0.0;
            if (scanDoubleAt(line, length, pos + 16, &bias)) *receiver_dcb = bias;
        }
        ++pos;
        if (pos >= length) return;
    }
}

}  // namespace

void process_dcb(const char* line, double* satellite_dcb, int satellite_count, const char* receiver,
                 double* receiver_dcb) {
    if (line == nullptr || satellite_dcb == nullptr) return;
    size_t length = std::strlen(line);
    if (std::strstr(line, "PRN / BIAS / RMS") != nullptr) {
        readSatelliteEntry(line, length, satellite_dcb, satellite_count);
    } else if (std::strstr(line, "STATION / BIAS / RMS") != nullptr) {
        if (receiver_dcb != nullptr && receiver != nullptr) {
            readStationEntry(line, length, receiver, receiver_dcb);
        }
    }
}

}  // namespace ionex
