// Inputs of the benchmark: the bundled daily file and a generated high-rate file, each as
// plain text, gzip and Unix-compress copies in a temporary directory.
#pragma once

#include <string>

namespace bench {

struct FileSet {
    std::string name;
    std::string plain;
    std::string gz;
    std::string z;      // empty when the compress tool is missing
    size_t text_bytes;  // size of the uncompressed text
};

// Copies of the bundled CODE daily product.
FileSet dailyFiles(const std::string& dir);

// A 15-minute product on a 1-degree grid: 97 maps of 181 x 361 values (about 33 MB of text).
FileSet highRateFiles(const std::string& dir);

// Reads a whole file into memory.
std::string readFile(const std::string& path);

}  // namespace bench
