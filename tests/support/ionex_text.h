// Helpers of the +ionex reader tests: IONEX text written from a few parameters, and reads of
// a file with options, with the map values at a node looked up.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "format_reader/ionex_reader.h"

namespace ionextext {

// One IONEX record: the content padded to 60 columns, then the label.
std::string record(const std::string& content, const std::string& label);

// A grid as the header writes it.
struct Grid {
    double lat1 = 10, lat2 = 0, dlat = -5;
    double lon1 = -10, lon2 = 10, dlon = 5;
    double hgt1 = 450, hgt2 = 450, dhgt = 0;
    int exponent = -1;
    long nlat() const;
    long nlon() const;
    long nhgt() const;
};

// The header of a file with `maps` maps two hours apart from 2020-01-08 00:00 on `grid`;
// `extra` lines go just before END OF HEADER.
std::string header(const Grid& grid, int maps, const std::string& extra = "");

// Values of map number `map` (1-based) at node (lat, lon, hgt) as written integers.
using ValueAt = std::function<long(int map, long lat, long lon, long hgt)>;

// A map block of `kind` ("TEC", "RMS", "HEIGHT") numbered `map`, epoch two hours per map
// from 2020-01-08 00:00, rows in 16I5 lines; `inside` goes after the epoch record.
std::string mapBlock(const std::string& kind, int map, const Grid& grid, const ValueAt& value,
                     const std::string& inside = "");

// The default value pattern: map * 1000 + lat * 100 + lon * 3 + hgt * 7.
long defaultValue(int map, long lat, long lon, long hgt);

// A complete file: header, `maps` TEC maps, then as many RMS maps when `rms`, END OF FILE.
std::string file(const Grid& grid, int maps, bool rms, const ValueAt& value = defaultValue);

// The result of one read.
struct Read {
    ionex::ReadStatus status;
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
};

// Reads the file at `path` with `options`.
Read readPath(const std::string& path, const ionex::ReadOptions& options = ionex::ReadOptions{});

// Writes `text` to a temporary file named `name` and reads it.
Read readText(const std::string& name, const std::string& text, const ionex::ReadOptions& options = ionex::ReadOptions{});

// The value of map `map` (0-based) of `kind` at the output node (lat, lon, hgt).
double at(const ionex::IonexContents& c, int kind, long lat, long lon, long map, long hgt = 0);

}  // namespace ionextext
