// Everything the text writer needs beyond the input, worked out and checked before a file is
// created: the texts of the grid records, the map epochs, the derived header records and the
// exponent of every map. A field that cannot be written is reported here, naming it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/records.h"
#include "writer/write_input.h"

namespace ionex {

// One axis as written: first, last and step in six columns each, and the text of each node
// for the row records.
struct AxisText {
    char first[6];
    char last[6];
    char step[6];
    std::vector<std::string> nodes;  // six columns each
};

struct WritePlan {
    AxisText lat;
    AxisText lon;
    AxisText height;
    std::vector<double> heights;  // the height axis written (450 km when none was given)
    std::vector<IonexEpoch> epochs;
    bool has_interval = false;
    double interval = 0;          // s
    int map_dimension = 2;
    int file_exponent = -1;
    std::vector<int> map_exponent[kMapKindCount];  // per map of each kind written
    std::size_t nmaps = 0;
    // The LAT/LON1/LON2/DLON/H record of each row, the same in every map: row i of height
    // layer h at (h * nlat + i) * 81, eighty columns and the line end.
    std::string row_records;
};

// The height of the single layer of a map set that gives none, km.
constexpr double kDefaultHeight = 450.0;

// Checks `input` and works out its plan. Returns kOk, or kInput with `failure` naming the
// field and saying what is wrong.
WriteStatus planWrite(const WriteInput& input, WritePlan& plan, WriteFailure& failure);

}  // namespace ionex
