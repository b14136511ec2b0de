// Shared pieces of the fuzz targets.
#include "fuzz_support.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/open_files.h"

namespace fuzz {

namespace {

bool g_verbose = false;

#ifdef _WIN32
int writeSome(int fd, const uint8_t* data, size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(size > (1u << 30) ? (1u << 30) : size));
}
int closeDescriptor(int fd) { return ::_close(fd); }
int removePath(const std::string& path) { return ::_unlink(path.c_str()); }
// Creates `path`, which must not exist yet. Returns its descriptor, or -1.
int createNew(const std::string& path) {
    return ::_open(path.c_str(), _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}
#else
ssize_t writeSome(int fd, const uint8_t* data, size_t size) { return ::write(fd, data, size); }
int closeDescriptor(int fd) { return ::close(fd); }
int removePath(const std::string& path) { return ::unlink(path.c_str()); }
#endif

// Writes all `size` bytes to `fd`, retrying short writes.
// Returns false when a write fails.
bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const auto n = writeSome(fd, data, size);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Makes an in-memory file. Returns it, with fd -1 when memfd or /proc is not available.
InputFile makeMemoryFile() {
#ifdef __linux__
    InputFile file{::memfd_create("fuzz-input", MFD_CLOEXEC), "", false};
    if (file.fd < 0) return file;
    file.path = "/proc/self/fd/" + std::to_string(file.fd);
    if (::access(file.path.c_str(), R_OK) != 0) closeInputFile(file);
    return file;
#else
    return InputFile{-1, "", false};
#endif
}

// Makes an empty temporary file. Returns it, with fd -1 when none can be made.
InputFile makeTemporaryFile() {
#ifdef _WIN32
    static std::atomic<unsigned> counter{0};
    std::error_code ec;
    const std::string dir = std::filesystem::temp_directory_path(ec).string();
    if (ec) return InputFile{-1, "", true};
    const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = dir + "\\ionex-fuzz-" + std::to_string(stamp) + "-" + std::to_string(counter++);
        const int fd = createNew(name);
        if (fd >= 0) return InputFile{fd, name, true};
    }
    return InputFile{-1, "", true};
#else
    const char* dir = std::getenv("TMPDIR");
    std::string name = std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/ionex-fuzz-XXXXXX";
    InputFile file{::mkstemp(&name[0]), "", true};
    if (file.fd >= 0) file.path = name;
    return file;
#endif
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
    if (file.fd >= 0) closeDescriptor(file.fd);
    if (file.on_disk && !file.path.empty()) removePath(file.path);
    file.fd = -1;
    file.path.clear();
}

size_t openDescriptorCount() { return testfiles::openFileCount(); }

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
