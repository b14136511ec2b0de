// Numbered lines of an IONEX file, as the +ionex readers see them: line ends (LF or CR LF)
// and trailing blanks removed, the line counted, the text read so far measured (for the memory
// budget), and lines longer than the line source's buffer recognised as such.
#pragma once

#include "input/line_source.h"
#include "common/records.h"

namespace ionex {

struct LineReader {
    LineSource* source = nullptr;
    // The line, then slack: field readers may load eight bytes from any column of the line.
    char text[kLineBufferSize + 8] = {};
    long length = 0;        // characters of the line after trimming
    long number = 0;        // 1-based number of the line in `text`
    long bytes_read = 0;    // characters read from the file so far
    bool too_long = false;  // the line had more than kLineBufferSize - 1 characters that are not blanks
    bool unterminated = false;  // no line end: the file's last line, perhaps cut short
};

// Reads the next line into `reader`. Returns false at the end of the input (or when the
// source fails: the line source reports both the same way).
bool nextLine(LineReader& reader);

// Tells whether the current line holds nothing but blanks. Returns true for a blank line.
inline bool isBlankLine(const LineReader& reader) { return reader.length == 0; }

}  // namespace ionex
