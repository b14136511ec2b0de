// ionex.write's core: an IONEX file from maps, header records and DCB blocks, its fields
// checked before the file is created and its values as they are written, the text going to a
// temporary file renamed only when complete, so that a failure never leaves a damaged file.
// Nothing here throws; every failure comes back as a WriteStatus with its details.
#pragma once

#include <string>

#include "writer/write_input.h"

namespace ionex {

// How the file is written.
struct WriteFileOptions {
    bool overwrite = false;  // an existing file may be replaced
};

// Tells whether `path` ends in ".gz" (any case): written gzip-compressed. Returns true if so.
bool isGzipName(const std::string& path);

// Tells whether `path` ends in ".Z" or ".z": compress and pack formats, which are not written.
// Returns true if so.
bool isCompressName(const std::string& path);

// Writes `input` to `path` (UTF-8): gzip when the name ends in .gz, plain otherwise. The text
// goes to a temporary file beside it, renamed to `path` when complete. Returns kOk, or kInput
// (before anything is created), kExists, kWrite or kOutOfMemory with `failure` filled; no
// file is left behind and an existing `path` is untouched then.
WriteStatus writeIonexFile(const std::string& path, const WriteInput& input, const WriteFileOptions& options,
                           WriteFailure& failure);

// The same text into `text` (for tests and tools that keep it in memory). Returns kOk, or
// kInput / kOutOfMemory with `failure` filled.
WriteStatus writeIonexString(const WriteInput& input, std::string& text, WriteFailure& failure);

}  // namespace ionex
