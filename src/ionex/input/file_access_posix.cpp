// File access on POSIX systems: descriptors opened with O_CLOEXEC; names are bytes already.
#ifndef _WIN32

#include "input/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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

void closeInputFile(InputFile file) {
    if (file != kNoInputFile) ::close(static_cast<int>(file));
}

bool isRegularFile(const char* path) {
    struct stat info;
    return path != nullptr && ::stat(path, &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace ionex

#endif
