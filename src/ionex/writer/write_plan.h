// Everything the text writer needs beyond the input, worked out and checked before a file is
// created: the texts of the grid records, the map epochs, the derived header records and the
// exponent of every map (or only the preferred one, the text writer checking the values). A
// field that cannot be written is reported here, naming it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/records.h"
#include "writer/value_encoding.h"
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
    // Whether the map values have been checked and every map's exponent decided. A plan made
    // without them has the preferred exponent as the file's, and the text writer checks each
    // value as it encodes it (see writeIonexText).
    bool values_checked = false;
    std::vector<int> map_exponent[kMapKindCount];  // per map of each kind written (when checked)
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

// Checks everything of `input` but the map values and works out the plan, the file's
// exponent being the preferred one (the option's, else the header's, else -1). Returns kOk,
// or kInput with `failure` naming the field.
WriteStatus planLayout(const WriteInput& input, WritePlan& plan, WriteFailure& failure);

// Checks the map values of a plan made by planLayout: the file's exponent, the first from
// the preferred one upwards that fits every value, and each map's. Returns kOk (the plan's
// values checked), or kInput with `failure` naming the map, node and value.
WriteStatus planExponents(const WriteInput& input, WritePlan& plan, WriteFailure& failure);

// Map `m` of kind `kind` of `input` as a view of its layers (heights) in the plan's layout.
// Returns the view.
MapLayers mapLayers(const WriteInput& input, const WritePlan& plan, int kind, std::size_t m);

}  // namespace ionex
