// The writer's system calls on Windows: the wide-character API, names converted from UTF-8.
#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>

#include <cerrno>
#include <new>
#include <system_error>

#include "input/wide_names_windows.h"
#include "writer/output_file.h"
#include "writer/output_system.h"

namespace ionex {

namespace {

// The UTF-16 form of the UTF-8 name `name`. Returns false when it is empty or not valid
// UTF-8 (or there is no memory for it).
bool wideName(const std::string& name, std::wstring& wide) {
    WideName converted;
    if (name.empty() || name.find('\0') != std::string::npos || !toWideName(name.c_str(), &converted)) return false;
    bool ok = true;
    try {
        wide.assign(converted.text);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    releaseWideName(&converted);
    return ok;
}

// Fills `outcome` from error number `code` (errno). Returns nothing.
void fail(int code, SystemOutcome& outcome) {
    outcome.ok = false;
    outcome.name_taken = code == EEXIST;
    outcome.message = std::generic_category().message(code);
}

// Fills `outcome` for a name the system cannot take. Returns nothing.
void failName(SystemOutcome& outcome) {
    outcome.ok = false;
    outcome.message = "the file name is not valid UTF-8";
}

}  // namespace

bool isSystemName(const std::string& name) {
    std::wstring wide;
    return wideName(name, wide);
}

int createNewFile(const std::string& name, SystemOutcome& outcome) {
    std::wstring wide;
    if (!wideName(name, wide)) {
        failName(outcome);
        return kNoOutputDescriptor;
    }
    const int fd = _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) fail(errno, outcome);
    return fd < 0 ? kNoOutputDescriptor : fd;
}

std::int64_t writeToFile(int descriptor, const unsigned char* data, std::size_t count, SystemOutcome& outcome) {
    // _write takes an unsigned int: large writes go in pieces.
    const unsigned piece = count > (1u << 30) ? (1u << 30) : static_cast<unsigned>(count);
    for (;;) {
        const int n = _write(descriptor, data, piece);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        fail(errno, outcome);
        return -1;
    }
}

bool closeFile(int descriptor, SystemOutcome& outcome) {
    if (_close(descriptor) == 0) return true;
    fail(errno, outcome);
    return false;
}

void removeFile(const std::string& name) {
    std::wstring wide;
    if (wideName(name, wide)) _wremove(wide.c_str());
}

SystemOutcome moveFile(const std::string& from, const std::string& to, bool replace) {
    SystemOutcome outcome;
    std::wstring wide_from, wide_to;
    if (!wideName(from, wide_from) || !wideName(to, wide_to)) {
        failName(outcome);
        return outcome;
    }
    if (MoveFileExW(wide_from.c_str(), wide_to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) return outcome;
    const DWORD code = GetLastError();
    outcome.ok = false;
    outcome.name_taken = !replace && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS);
    outcome.message = std::system_category().message(static_cast<int>(code));
    return outcome;
}

int processNumber() { return _getpid(); }

bool pathExists(const char* path) {
    std::wstring wide;
    return path != nullptr && wideName(path, wide) && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace ionex

#endif
