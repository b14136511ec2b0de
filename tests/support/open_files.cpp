#include "support/open_files.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dirent.h>
#endif

#include <cstdint>

namespace testfiles {

#ifdef _WIN32

std::size_t openFileCount() {
    // Handle values are multiples of 4; GetProcessHandleCount is not implemented by Wine,
    // so the handles are probed one by one (a process of these tests holds a few hundred;
    // the probe covers many times that). Only handles of files on disk (and folders) count:
    // the system opens events, keys and sections of its own the first time a program
    // throws or reads, and those are no files of ours.
    constexpr std::uintptr_t kLastProbed = 4 * 8192;
    std::size_t count = 0;
    for (std::uintptr_t value = 4; value <= kLastProbed; value += 4) {
        const HANDLE handle = reinterpret_cast<HANDLE>(value);
        DWORD flags = 0;
        if (GetHandleInformation(handle, &flags) && GetFileType(handle) == FILE_TYPE_DISK) ++count;
    }
    return count;
}

#else

std::size_t openFileCount() {
#ifdef __linux__
    const char* listing = "/proc/self/fd";
#else
    const char* listing = "/dev/fd";
#endif
    DIR* dir = opendir(listing);
    if (dir == nullptr) return 0;
    std::size_t count = 0;
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] != '.') ++count;
    }
    closedir(dir);
    return count;
}

#endif

}  // namespace testfiles
