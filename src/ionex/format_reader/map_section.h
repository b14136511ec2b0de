// The maps of an IONEX file, after its header: TEC, RMS and height maps, each with its own
// epoch and optionally its own exponent, rows of values continued over lines, cut to the
// read's window and appended to the output.
#pragma once

#include <string>
#include <vector>

#include "format_reader/grid_axes.h"
#include "format_reader/header_records.h"
#include "common/ionex_contents.h"
#include "format_reader/line_reader.h"

namespace ionex {

// Whatever the header claims, a read allocates map storage only up to this many values or
// one value per character of text read so far, whichever is more. A real file writes each
// value in five characters, so its maps always fit.
constexpr long kMinValueBudget = 1L << 20;

// The output the maps of every file of a read go to, and what selects them.
struct MapTarget {
    IonexContents* out = nullptr;
    const ReadOptions* options = nullptr;
    AxisRun lat_run;         // latitude nodes kept
    LongitudeWindow lon;     // longitude nodes kept
    long nhgt = 1;           // every height is kept
    long map_values = 0;     // values of one map of the window
    std::vector<IonexEpoch> epochs;  // of each map of the output (the order of out->time)
    std::vector<int> slot_file;      // the file each map of the output came from
    long bytes_before = 0;           // text read from the earlier files of the read
};

// Sets the windows of `target` from the grid and the options. Returns kOk, or kInput (with
// `failure.detail`) for a window that lies outside the grid.
ReadStatus setWindows(const HeaderGrid& grid, const ReadOptions& options, MapTarget& target, ReadFailure& failure);

// What the map reader learned of one file.
struct FileMaps {
    std::vector<IonexEpoch> epochs;  // of each map number of the file, kept or not
    std::vector<long> slots;         // output map of each map number, -1 when not kept
    bool end_of_file = false;        // END OF FILE was read
    std::vector<std::string> comments;  // COMMENT records between maps
    long map_counts[kMapKindCount] = {0, 0, 0};
};

// Reads the maps that follow the header, from `reader`, into `target`, as map numbers
// file_index's maps. `exponent` is the header's. Returns kOk or the failure (line number and
// detail in `failure`; the caller names the file).
ReadStatus readMapSection(LineReader& reader, const HeaderRecords& header, const HeaderGrid& grid, int exponent,
                          int file_index, MapTarget& target, FileMaps& maps, ReadFailure& failure);

}  // namespace ionex
