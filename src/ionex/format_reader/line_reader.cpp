// Numbered, trimmed lines over the line source.
#include "format_reader/line_reader.h"

namespace ionex {

namespace {

bool isTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads the rest of a line that did not fit the buffer, `length` characters of which are read,
// into `scratch`: up to its line end, but no further than its first character that is not a
// blank and no further than kLongestLine characters in all. Returns true when the line is too
// long for a record (the reader then stands inside it).
bool skipRestOfLongLine(LineReader& r, long length) {
    char scratch[kLineBufferSize];
    for (;;) {
        const long n = readLineLength(r.source, scratch, kLineBufferSize);
        if (n <= 0) return false;
        r.bytes_read += n;
        length += n;
        for (long i = 0; i < n; ++i) {
            if (!isTrailingSpace(scratch[i])) return true;
        }
        if (scratch[n - 1] == '\n') return false;
        if (length > kLongestLine) return true;
    }
}

}  // namespace

bool nextLine(LineReader& r) {
    long n = readLineLength(r.source, r.text, kLineBufferSize);
    if (n < 0) {
        r.length = 0;
        return false;
    }
    ++r.number;
    r.bytes_read += n;
    r.too_long = false;
    r.unterminated = n > 0 && r.text[n - 1] != '\n';
    // A full buffer without its newline: the line goes on in the next pieces.
    if (n == kLineBufferSize - 1 && r.unterminated) {
        r.too_long = skipRestOfLongLine(r, n);
        r.unterminated = false;
    }
    while (n > 0 && isTrailingSpace(r.text[n - 1])) --n;
    r.text[n] = '\0';
    r.length = n;
    return true;
}

}  // namespace ionex
