// The line source: reads a plain, gzip (one or more members) or Unix-compress file
// line by line, with the semantics of zlib's gzgets(file, line, 512).
#pragma once

#include <cstddef>

#include "common/stop_check.h"
#include "input/gzip_inflater.h"

namespace ionex {

struct LineSource;  // opaque: one open input file and its decoder state

// Opens `path` for reading and decides the kind of its first member. Its gzip members are
// inflated by the build's inflater, or by the one the environment variable IONEX_INFLATER
// names ("zlib" or "isal"; a switch for tests that compare the two, which give the same
// bytes on every input).
// Returns null when the file cannot be opened (or IONEX_INFLATER names an inflater the
// build lacks); a path that opens but cannot be read
// (a directory) gives a source that reads as empty.
LineSource* openLineSource(const char* path);

// The same with a chosen gzip inflater (tests and benchmarks compare the two).
// Returns null also when that inflater is not built in.
LineSource* openLineSource(const char* path, InflaterKind inflater);

// The inflater the source's gzip members start with: the one asked for, or zlib for an input
// that is no regular file (a pipe or FIFO: a member cannot be read again there, see
// line_source.cpp). Returns it.
InflaterKind lineSourceInflater(const LineSource* source);

// Closes the file and releases the source. Accepts null.
void closeLineSource(LineSource* source);

// Makes `source` ask `check` whether to stop: at its first read and then every few MiB of
// input read or text decoded. A source told to stop ends as at the end of its input.
// Returns nothing.
void setStopCheck(LineSource* source, const StopCheck& check);

// Tells whether the source ended because its stop check said so. Returns true then.
bool lineSourceStopped(const LineSource* source);

// Reads the next line into `line` (capacity `size` >= 2): characters up to and including
// the next newline, but at most size - 1 of them, then a NUL. Returns the number of
// characters stored, or -1 when not a single character could be read (end of input;
// read and decompression errors look the same).
long readLineLength(LineSource* source, char* line, int size);

// gzgets-style form of readLineLength: returns `line`, or null at the end of input.
char* readLine(LineSource* source, char* line, int size);

}  // namespace ionex
