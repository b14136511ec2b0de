// Files named in UTF-8, opened for reading: the one seam between the core and the operating
// system's file calls (file_access_posix.cpp, file_access_windows.cpp; each compiles to
// nothing on the other kind of system, so builds may list both).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ionex {

// An open file: a descriptor on POSIX systems, a HANDLE on Windows.
using InputFile = std::intptr_t;
constexpr InputFile kNoInputFile = -1;

// Opens the file named `path` (UTF-8) for reading its bytes as stored, not inherited by
// child processes. Returns the file, or kNoInputFile when it cannot be opened. A folder
// opens (and then reads as empty) on every system.
InputFile openInputFile(const char* path);

// Reads up to `capacity` bytes of `file` into `buffer`, retrying interrupted reads.
// Returns the count read, 0 at the end of the file, -1 when the read fails.
std::int64_t readInputFile(InputFile file, unsigned char* buffer, std::size_t capacity);

// Tells whether `file` is a regular file, whose bytes can be read again from any offset
// (not a pipe, a FIFO, a terminal or a folder). Returns true when it is.
bool canReadInputFileAgain(InputFile file);

// Moves the reading position of `file` to byte `offset` from its start.
// Returns false when the file cannot be positioned there.
bool seekInputFile(InputFile file, std::uint64_t offset);

// Closes `file`; accepts kNoInputFile. Returns nothing.
void closeInputFile(InputFile file);

// Tells whether `path` (UTF-8) names an existing file that is not a folder.
// Returns true when it does.
bool isRegularFile(const char* path);

}  // namespace ionex
