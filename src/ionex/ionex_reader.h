// The +ionex readers: every header record, map and DCB block of one IONEX file, or of a
// series of files, read in one pass by fixed columns. They never throw; a failure comes back
// as a ReadStatus with its details.
#pragma once

#include <string>
#include <vector>

#include "ionex_contents.h"

namespace ionex {

// Reads the file at `path` (plain, gzip or Unix compress) into `contents` as `options` say.
// Returns kOk, or the failure (details in `failure`; `contents` is then unspecified).
ReadStatus readIonexFile(const std::string& path, const ReadOptions& options,
                         IonexContents& contents, ReadFailure& failure);

// Reads several files as one series: maps in time order, one per epoch (where two files
// hold the same epoch the later file's map is kept); header fields of the earliest file,
// but num_maps, first and last epoch describing the maps returned; the DCB blocks of every
// file. Returns kOk or the first failure (kGridMismatch for files on different grids).
ReadStatus readIonexSeries(const std::vector<std::string>& paths, const ReadOptions& options,
                           IonexContents& contents, ReadFailure& failure);

// Text of a failure for the host's error message: names the file, the line and what was
// found. Returns the message.
std::string describeFailure(const ReadFailure& failure);

}  // namespace ionex
