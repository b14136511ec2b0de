// The IONEX header, record by record: every known record to its field of HeaderRecords (or
// to the grid), DCB blocks to DcbBlock, every other record to other_records.
#pragma once

#include <string>
#include <vector>

#include "format_reader/grid_axes.h"
#include "common/ionex_contents.h"
#include "format_reader/record_label.h"

namespace ionex {

// The header's grid records and exponent, which the map reader needs.
struct HeaderGrid {
    AxisDefinition lat;
    AxisDefinition lon;
    AxisDefinition height;
};

// What the header reader keeps between lines.
struct HeaderState {
    HeaderRecords* header = nullptr;
    std::vector<DcbBlock>* dcb = nullptr;
    const std::string* file = nullptr;
    HeaderGrid grid;
    bool in_aux = false;       // inside START OF AUX DATA ... END OF AUX DATA
    bool aux_is_dcb = false;   // that block holds differential code biases
    long aux_line = 0;         // where the block started
    bool ended = false;        // END OF HEADER read
};

// Applies one trimmed header line of `length` characters, split as `split`, to the state.
// Returns false when the line cannot be read (with `detail` saying what was found).
bool applyHeaderLine(const char* line, long length, const RecordSplit& split, long line_number,
                     HeaderState& state, std::string& detail);

// Reads an epoch record's six fields (6I6; the seconds may be written as a real) from a line of
// `length` characters. Returns false when a field cannot be read or the epoch is not a date.
bool readEpochFields(const char* line, long length, IonexEpoch& epoch);

}  // namespace ionex
