// Counting the files a process holds open, each platform in its own way, so that tests can
// see a call close every file it opened.
#pragma once

#include <cstddef>

namespace testfiles {

// Number of files this process holds open: entries of /proc/self/fd (Linux) or /dev/fd
// (other POSIX systems), the listing's own included (the same every time); on Windows the
// process's handles of files and folders on disk.
// Returns the count; 0 when it cannot be taken.
std::size_t openFileCount();

}  // namespace testfiles
