// One IONEX record line built by columns: content in columns 1-60, the label in 61-80.
// Numbers are formatted here without the C library's locale-dependent conversions, so that a
// point is always a point.
#pragma once

#include <cstddef>

namespace ionex {

// Room for an 80-column line, its line end and a NUL.
constexpr int kRecordColumns = 80;
constexpr int kContentColumns = 60;

// A record line being built: blanks until something is put there.
struct RecordLine {
    char text[kRecordColumns + 2];
    int length;  // the last column written (trailing blanks are not part of the line)
};

// Empties `line`: eighty blanks, length 0. Returns nothing.
void clearLine(RecordLine& line);

// Puts `count` characters of `text` at 1-based `column`, cut at column 80. Returns nothing.
void putText(RecordLine& line, int column, const char* text, std::size_t count);

// Puts the label from column 61 (`late`: from column 62). Returns nothing.
void putLabel(RecordLine& line, const char* label, bool late = false);

// Writes `value` right-aligned into `width` columns at `out` (no NUL). Returns false, writing
// nothing, when it needs more columns.
bool formatInteger(long long value, int width, char* out);

enum class RealText : int {
    kExact = 0,  // the text reads back as the same double
    kRounded,    // the closest text that fits is written; it reads back as another double
    kTooWide,    // not even the whole number fits: nothing written
};

// Writes `value` right-aligned into `width` columns at `out` with at least `min_decimals`
// digits after the point: the fewest decimals whose text reads back (by the +ionex reader's
// conversion) as the same double, else as many as fit. Returns which of the three it was.
RealText formatReal(double value, int width, int min_decimals, char* out);

}  // namespace ionex
