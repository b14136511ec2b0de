// Numbered lines of an IONEX file, as the +ionex readers see them: line ends (LF or CR LF)
// and trailing blanks removed, the line counted, the text read so far measured (for the memory
// budget), and lines longer than the line source's buffer recognised as such.
#pragma once

#include "input/line_source.h"
#include "common/records.h"

namespace ionex {

// The most characters a line may have, line end and trailing blanks included; a longer one
// cannot be one record, and the reader reads no further into it. An input without line ends
// (a device, a FIFO) so ends after a bounded number of bytes.
constexpr long kLongestLine = 4096;

struct LineReader {
    LineSource* source = nullptr;
    // The line, then slack: field readers may load eight bytes from any column of the line.
    char text[kLineBufferSize + 8] = {};
    long length = 0;        // characters of the line after trimming
    long number = 0;        // 1-based number of the line in `text`
    long bytes_read = 0;    // characters read from the file so far
    // The line has text beyond its first kLineBufferSize - 1 characters, or more than
    // kLongestLine characters; the reader then stops inside it (the read must end there).
    bool too_long = false;
    bool unterminated = false;  // no line end: the file's last line, perhaps cut short
};

// Reads the next line into `reader`. Returns false at the end of the input (or when the
// source fails: the line source reports both the same way).
bool nextLine(LineReader& reader);

// Tells whether the current line holds nothing but blanks. Returns true for a blank line.
inline bool isBlankLine(const LineReader& reader) { return reader.length == 0; }

}  // namespace ionex
