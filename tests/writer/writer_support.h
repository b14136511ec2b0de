// Helpers of the writer tests: a WriteInput over the maps of a read (or over maps made here),
// the text written, and a read of that text.
#pragma once

#include <string>
#include <vector>

#include "common/ionex_contents.h"
#include "writer/write_input.h"

namespace writertest {


// Maps made here, in the host's layout (latitude, longitude, map, height), with the axes
// and epochs that go with them.
struct MapSet {
    std::vector<double> lat, lon, height, time;
    std::vector<double> tec, rms;
    ionex::WriteInput input() const;  // borrows tec (and rms when not empty)
};

// A set of `nmaps` hourly maps from 2020-01-08 on the given axes; value(map, i, j, h).
MapSet makeSet(const std::vector<double>& lat, const std::vector<double>& lon, const std::vector<double>& height,
               std::size_t nmaps, double (*value)(std::size_t m, std::size_t i, std::size_t j, std::size_t h));

// The text for `input`; fails the test when the writer refuses. Returns it.
std::string textOf(const ionex::WriteInput& input);

// Reads `text` through a temporary file. Returns the contents (the test fails when the read does).
ionex::IonexContents readBack(const std::string& text);

// Splits text into lines (without their line ends). Returns them.
std::vector<std::string> linesOf(const std::string& text);

// `lo` to `hi` in `n` nodes, first + k * step. Returns them.
std::vector<double> axis(double first, double step, std::size_t n);

// The names in `folder` (not . and ..), in the order the system lists them. Returns them.
std::vector<std::string> namesIn(const std::string& folder);

// The bytes of the file `path` (empty when it cannot be read). Returns them.
std::string fileText(const std::string& path);

}  // namespace writertest
