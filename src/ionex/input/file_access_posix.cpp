// File access on POSIX systems: descriptors opened with O_CLOEXEC; names are bytes already.
#ifndef _WIN32

#include "input/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace ionex {

InputFile openInputFile(const char* path) {
    if (path == nullptr) return kNoInputFile;
    int fd = -1;
    do {
        fd = ::open(path, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? kNoInputFile : static_cast<InputFile>(fd);
}

std::int64_t readInputFile(InputFile file, unsigned char* buffer, std::size_t capacity) {
    if (file == kNoInputFile || buffer == nullptr) return -1;
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(file), buffer, capacity);
        if (n >= 0) return static_cast<std::int64_t>(n);
        if (errno != EINTR) return -1;
    }
}

bool canReadInputFileAgain(InputFile file) {
    struct stat info;
    return file != kNoInputFile && ::fstat(static_cast<int>(file), &info) == 0 && S_ISREG(info.st_mode);
}

bool seekInputFile(InputFile file, std::uint64_t offset) {
    if (file == kNoInputFile || offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
    const off_t target = static_cast<off_t>(offset);
    if (static_cast<std::uint64_t>(target) != offset) return false;  // beyond a 32-bit off_t
    return ::lseek(static_cast<int>(file), target, SEEK_SET) == target;
}

void closeInputFile(InputFile file) {
    if (file != kNoInputFile) ::close(static_cast<int>(file));
}

bool isRegularFile(const char* path) {
    struct stat info;
    return path != nullptr && ::stat(path, &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace ionex

#endif
