// File access on Windows: names converted from UTF-8 to UTF-16 for the wide API (the narrow
// one goes through the ANSI code page and cannot name most files beyond ASCII); Win32
// handles read the bytes as stored, with no text-mode translation.
#ifdef _WIN32

#include "input/file_access.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <climits>
#include <new>

#include "input/wide_names_windows.h"

namespace ionex {

InputFile openInputFile(const char* path) {
    WideName name;
    if (!toWideName(path, &name)) return kNoInputFile;
    // Others may read, write, rename or delete the file meanwhile, as on POSIX; backup
    // semantics let a folder open too, which then reads as empty, as on POSIX.
    HANDLE file = CreateFileW(name.text, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS |
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    releaseWideName(&name);
    if (file == INVALID_HANDLE_VALUE) return kNoInputFile;
    return reinterpret_cast<InputFile>(file);
}

std::int64_t readInputFile(InputFile file, unsigned char* buffer, std::size_t capacity) {
    if (file == kNoInputFile || buffer == nullptr) return -1;
    // ReadFile counts in 32 bits: larger requests read in pieces, the caller asks again.
    const DWORD want = capacity > static_cast<std::size_t>(INT_MAX) ? static_cast<DWORD>(INT_MAX)
                                                                   : static_cast<DWORD>(capacity);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(file), buffer, want, &got, nullptr)) return -1;
    return static_cast<std::int64_t>(got);
}

bool canReadInputFileAgain(InputFile file) {
    if (file == kNoInputFile) return false;
    const HANDLE handle = reinterpret_cast<HANDLE>(file);
    if (GetFileType(handle) != FILE_TYPE_DISK) return false;
    BY_HANDLE_FILE_INFORMATION info;
    return GetFileInformationByHandle(handle, &info) && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool seekInputFile(InputFile file, std::uint64_t offset) {
    if (file == kNoInputFile || offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
    LARGE_INTEGER target;
    target.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(reinterpret_cast<HANDLE>(file), target, nullptr, FILE_BEGIN) != 0;
}

void closeInputFile(InputFile file) {
    if (file != kNoInputFile) CloseHandle(reinterpret_cast<HANDLE>(file));
}

bool isRegularFile(const char* path) {
    WideName name;
    if (!toWideName(path, &name)) return false;
    const DWORD attributes = GetFileAttributesW(name.text);
    releaseWideName(&name);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace ionex

#endif
