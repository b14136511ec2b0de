// The writer's system calls on POSIX systems: names are bytes already.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "writer/output_file.h"
#include "writer/output_system.h"

namespace ionex {

namespace {

// Fills `outcome` from error number `code` (errno). Returns nothing.
void fail(int code, SystemOutcome& outcome) {
    outcome.ok = false;
    outcome.name_taken = code == EEXIST;
    outcome.message = std::generic_category().message(code);
}

}  // namespace

bool isSystemName(const std::string& name) { return !name.empty() && name.find('\0') == std::string::npos; }

int createNewFile(const std::string& name, SystemOutcome& outcome) {
    int fd = -1;
    do {
        fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) fail(errno, outcome);
    return fd < 0 ? kNoOutputDescriptor : fd;
}

std::int64_t writeToFile(int descriptor, const unsigned char* data, std::size_t count, SystemOutcome& outcome) {
    for (;;) {
        const ssize_t n = ::write(descriptor, data, count);
        if (n >= 0) return static_cast<std::int64_t>(n);
        if (errno == EINTR) continue;
        fail(errno, outcome);
        return -1;
    }
}

bool closeFile(int descriptor, SystemOutcome& outcome) {
    if (::close(descriptor) == 0) return true;
    fail(errno, outcome);
    return false;
}

void removeFile(const std::string& name) { ::unlink(name.c_str()); }

SystemOutcome moveFile(const std::string& from, const std::string& to, bool replace) {
    SystemOutcome outcome;
    if (!replace) {
        // A hard link never replaces: the target is made only if nobody made it meanwhile.
        if (::link(from.c_str(), to.c_str()) == 0) {
            ::unlink(from.c_str());
            return outcome;
        }
        if (errno == EEXIST) {
            fail(EEXIST, outcome);
            return outcome;
        }
        // File systems without hard links: look, then rename.
        if (pathExists(to.c_str())) {
            fail(EEXIST, outcome);
            return outcome;
        }
    }
    if (::rename(from.c_str(), to.c_str()) != 0) fail(errno, outcome);
    return outcome;
}

int processNumber() { return static_cast<int>(::getpid()); }

bool pathExists(const char* path) {
    struct stat st;
    return path != nullptr && ::stat(path, &st) == 0;
}

}  // namespace ionex

#endif
