// The +ionex readers: every header record, map and DCB block of one IONEX file, or of a
// series of files, read in one pass by fixed columns. They never throw; a failure comes back
// as a ReadStatus with its details.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/ionex_contents.h"

namespace ionex {

// Reads the file at `path` (plain, gzip or Unix compress) into `contents` as `options` say.
// Returns kOk, or the failure (details in `failure`; `contents` is then unspecified).
//
// How it reads:
//   - Records by column: the label in columns 61-80 (underscores read as blanks; the
//     PGM / RUN BY / DATE label also one column late), fields by their Fortran formats.
//   - Values 16I5 by five-column fields; a row takes values from its lines until it holds one
//     per longitude; a blank field before a line's last value, or values beyond the row's
//     longitudes, are kCorrupt; places a row leaves unfilled, and 9999, are NaN.
//   - Rows of a map follow the grid's order (heights outer, latitudes inner, as written);
//     a row repeated or out of that order is kCorrupt.
//   - The maps of one file keep the file's order; header records as written.
//   - With a time window, num_maps, first and last epoch describe the maps returned (0 and
//     no epochs when none); without one they are the header's.
//   - header_only: header and DCB blocks, axes of the whole grid, no map and no time (the
//     header's epochs are in header.first_epoch / last_epoch); the file is read no further.
//   - When every kind asked for has the header's number of maps, the rest of the file is not
//     read (a TEC-only read ignores what follows the last TEC map).
//   - Memory follows the text read: map storage never exceeds max(2^20 values, characters
//     read so far); a map that would is kCorrupt ("... larger than the file's text can hold").
ReadStatus readIonexFile(const std::string& path, const ReadOptions& options,
                         IonexContents& contents, ReadFailure& failure);

// How a series read reports its progress: `report(context, files_done, files_total)` is
// called after each file is read. It must not throw; it returns false to stop the read.
struct ReadProgress {
    bool (*report)(void* context, std::size_t files_done, std::size_t files_total) = nullptr;
    void* context = nullptr;
};

// Reads several files as one series: maps in time order, one per epoch (where two files
// hold the same epoch the later file's map is kept); header fields of the earliest file,
// but num_maps, first and last epoch describing the maps returned; the DCB blocks of every
// file. `progress` (may be null) hears of each file read. Returns kOk or the first failure
// (kGridMismatch for files on different grids; kStopped when `progress` stopped the read).
ReadStatus readIonexSeries(const std::vector<std::string>& paths, const ReadOptions& options,
                           IonexContents& contents, ReadFailure& failure, const ReadProgress* progress = nullptr);

// Text of a failure for the host's error message: "<file>: line <n>: <detail>" (the file and
// the line left out when they do not apply). Returns the message.
std::string describeFailure(const ReadFailure& failure);

}  // namespace ionex
