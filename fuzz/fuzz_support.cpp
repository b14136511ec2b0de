// Shared pieces of the fuzz targets.
#include "fuzz_support.h"

#include <dirent.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

namespace {

bool g_verbose = false;

// Writes all `size` bytes to `fd`, retrying short writes.
// Returns false when a write fails.
bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Makes an in-memory file. Returns it, with fd -1 when memfd or /proc is not available.
InputFile makeMemoryFile() {
    InputFile file{::memfd_create("fuzz-input", MFD_CLOEXEC), "", false};
    if (file.fd < 0) return file;
    file.path = "/proc/self/fd/" + std::to_string(file.fd);
    if (::access(file.path.c_str(), R_OK) != 0) closeInputFile(file);
    return file;
}

// Makes an empty temporary file. Returns it, with fd -1 when none can be made.
InputFile makeTemporaryFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/ionex-fuzz-XXXXXX";
    InputFile file{::mkstemp(&name[0]), "", true};
    if (file.fd >= 0) file.path = name;
    return file;
}

}  // namespace

InputFile makeInputFile(const uint8_t* data, size_t size) {
    // memfd keeps every input off the disk: the fuzzers write tens of thousands per second.
    InputFile file = makeMemoryFile();
    if (file.fd < 0) file = makeTemporaryFile();
    if (file.fd >= 0 && !writeAll(file.fd, data, size)) closeInputFile(file);
    return file;
}

void closeInputFile(InputFile& file) {
    if (file.fd >= 0) ::close(file.fd);
    if (file.on_disk && !file.path.empty()) ::unlink(file.path.c_str());
    file.fd = -1;
    file.path.clear();
}

size_t openDescriptorCount() {
    DIR* dir = ::opendir("/proc/self/fd");
    if (dir == nullptr) return 0;
    size_t count = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] != '.') ++count;
    }
    ::closedir(dir);
    // The scan's own descriptor was counted too; it is the same for every scan.
    return count;
}

void setVerbose() { g_verbose = true; }

void note(const char* target, const std::string& text) {
    if (g_verbose) std::fprintf(stderr, "  %s: %s\n", target, text.c_str());
}

void fail(const char* target, const std::string& what) {
    std::fprintf(stderr, "fuzz target %s: invariant broken: %s\n", target, what.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace fuzz
