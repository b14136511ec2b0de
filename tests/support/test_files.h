// Helpers of the core tests: temporary files, gzip bytes, whole-file line reads.
#pragma once

#include <string>
#include <vector>

#include "input/line_source.h"

namespace testfiles {

// Writes `bytes` to a new file in this process's temporary directory; returns its path.
std::string writeTemp(const std::string& name, const std::string& bytes);

// Deflates `text` with zlib at `level` and `strategy`; `window_bits` as deflateInit2 takes
// them (16 + 15: one complete gzip member; -15: a raw deflate stream). Returns the bytes.
std::string deflateBytes(const std::string& text, int level, int strategy, int window_bits);

// Returns one complete gzip member holding `text`.
std::string gzipBytes(const std::string& text);

// Returns the bytes of a file of the test data directory.
std::string readData(const std::string& name);

// Path of a file of the test data directory.
std::string dataPath(const std::string& name);

// Reads every line of `path` through the line source with the given buffer size.
std::vector<std::string> readAllLines(const std::string& path, int size = 512);

// Owns an open line source for one test.
struct OpenSource {
    explicit OpenSource(const std::string& path) : source(ionex::openLineSource(path.c_str())) {}
    ~OpenSource() { ionex::closeLineSource(source); }
    OpenSource(const OpenSource&) = delete;
    OpenSource& operator=(const OpenSource&) = delete;
    ionex::LineSource* source;
};

}  // namespace testfiles
