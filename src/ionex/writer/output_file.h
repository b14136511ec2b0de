// The writer's one seam to the system: a file written under a temporary name in its target's
// folder and renamed to the target only when complete, plain or gzip-compressed (ISA-L's
// compressor where the build has ISA-L, else zlib's).
// Whatever fails, the temporary file is removed and an existing target is left untouched.
// Nothing here throws.
#pragma once

#include <cstddef>
#include <string>

namespace ionex {

enum class OutputStatus : int {
    kOk = 0,
    kExists,      // the target exists and may not be replaced
    kFailed,      // the system refused (open, write, rename); see `message`
    kOutOfMemory, // the compressor could not get its memory
};

// Why an output operation failed: the status and the system's message.
struct OutputFailure {
    OutputStatus status = OutputStatus::kOk;
    std::string message;
};

// How the target is written.
struct OutputOptions {
    bool gzip = false;       // deflate into the gzip format
    bool overwrite = false;  // an existing target may be replaced
    int gzip_level = 1;      // zlib's level, 1 (fastest) .. 9 (ISA-L: always its level 1)
};

struct OutputFile;

// Creates the temporary file beside `path` (a UTF-8 name). Returns the open output, or null
// with `failure` filled (kExists when `path` exists and options.overwrite is false).
OutputFile* openOutput(const char* path, const OutputOptions& options, OutputFailure& failure);

// Appends `count` bytes. Returns false with `failure` filled; the output is then to be
// abandoned.
bool writeOutput(OutputFile* file, const char* data, std::size_t count, OutputFailure& failure);

// Ends the stream, closes the temporary file and renames it to the target; the output is
// released in every case. Returns false with `failure` filled (the temporary file removed).
bool finishOutput(OutputFile* file, OutputFailure& failure);

// Closes and removes the temporary file and releases the output. Returns nothing.
void abandonOutput(OutputFile* file);

// Tells whether `path` names an existing file or folder. Returns true when it does.
bool pathExists(const char* path);

}  // namespace ionex
