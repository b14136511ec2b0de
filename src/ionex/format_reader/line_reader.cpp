// Numbered, trimmed lines over the line source.
#include "format_reader/line_reader.h"

namespace ionex {

namespace {

bool isTrailingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Reads the rest of a line that did not fit the buffer, into `scratch`. Returns true when
// any of it is not a blank or line end (the line then cannot be read as one record).
bool skipRestOfLongLine(LineReader& r) {
    char scratch[kLineBufferSize];
    bool holds_text = false;
    for (;;) {
        const long n = readLineLength(r.source, scratch, kLineBufferSize);
        if (n <= 0) return holds_text;
        r.bytes_read += n;
        for (long i = 0; i < n; ++i) holds_text = holds_text || !isTrailingSpace(scratch[i]);
        if (scratch[n - 1] == '\n') return holds_text;
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
        r.too_long = skipRestOfLongLine(r);
        r.unterminated = false;
    }
    while (n > 0 && isTrailingSpace(r.text[n - 1])) --n;
    r.text[n] = '\0';
    r.length = n;
    return true;
}

}  // namespace ionex
