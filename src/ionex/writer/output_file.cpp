// The output seam. Every system call of the writer is in this file: POSIX calls, or the
// wide-character Windows API (names arrive as UTF-8 and are converted), chosen by _WIN32.
#include "writer/output_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <new>
#include <system_error>
#include <vector>

#include <zlib.h>
#ifdef IONEX_WITH_ISAL
#include <isa-l/igzip_lib.h>
#endif

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ionex {

namespace {

constexpr std::size_t kDeflateChunk = 1 << 18;
constexpr int kNameAttempts = 100;

#ifdef _WIN32
using NativeName = std::wstring;

// The UTF-16 form of a UTF-8 name. Returns false when `name` is not valid UTF-8.
bool nativeName(const std::string& name, NativeName& wide) {
    if (name.empty()) return false;
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), nullptr, 0);
    if (n <= 0) return false;
    wide.assign(static_cast<std::size_t>(n), L'\0');
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, name.data(), static_cast<int>(name.size()), &wide[0], n) == n;
}

int processId() { return _getpid(); }
#else
using NativeName = std::string;

bool nativeName(const std::string& name, NativeName& native) {
    native = name;
    return !name.empty();
}

int processId() { return static_cast<int>(getpid()); }
#endif

// The system's text for error number `code` (errno). Returns it.
std::string errnoText(int code) { return std::generic_category().message(code); }

}  // namespace

struct OutputFile {
    NativeName target;
    NativeName temporary;
    std::string target_text;  // for messages
    int fd = -1;
    bool overwrite = false;
    bool gzip = false;
    bool deflating = false;   // the compressor is initialised
#ifdef IONEX_WITH_ISAL
    isal_zstream stream{};    // ISA-L's deflate: several times faster than zlib's at level 1
    std::vector<unsigned char> level_buffer;
#else
    z_stream stream{};
#endif
    std::vector<unsigned char> chunk;
};

namespace {

// Writes all `count` bytes to the open descriptor. Returns false with `failure` filled.
bool writeAll(OutputFile* f, const unsigned char* data, std::size_t count, OutputFailure& failure) {
    while (count > 0) {
#ifdef _WIN32
        const unsigned piece = count > (1u << 30) ? (1u << 30) : static_cast<unsigned>(count);
        const int n = _write(f->fd, data, piece);
#else
        const ssize_t n = ::write(f->fd, data, count);
#endif
        if (n < 0) {
            if (errno == EINTR) continue;
            failure.status = OutputStatus::kFailed;
            failure.message = errnoText(errno);
            return false;
        }
        if (n == 0) {
            failure.status = OutputStatus::kFailed;
            failure.message = errnoText(ENOSPC);
            return false;
        }
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

#ifdef IONEX_WITH_ISAL
// Starts ISA-L's compressor at its fastest level, making a gzip member. Returns false when
// it cannot.
bool startDeflate(OutputFile* f, int /*level*/) {
    f->level_buffer.resize(ISAL_DEF_LVL1_DEFAULT);
    isal_deflate_init(&f->stream);
    f->stream.level = 1;
    f->stream.level_buf = f->level_buffer.data();
    f->stream.level_buf_size = static_cast<uint32_t>(f->level_buffer.size());
    f->stream.gzip_flag = IGZIP_GZIP;
    f->stream.flush = NO_FLUSH;
    return true;
}

// Runs the compressor over its pending input (to the end of the stream when `finish`),
// writing what it makes. Returns false with `failure` filled.
bool pumpDeflate(OutputFile* f, bool finish, OutputFailure& failure) {
    f->stream.end_of_stream = finish ? 1 : 0;
    for (;;) {
        f->stream.next_out = f->chunk.data();
        f->stream.avail_out = static_cast<uint32_t>(f->chunk.size());
        if (isal_deflate(&f->stream) != COMP_OK) {
            failure.status = OutputStatus::kFailed;
            failure.message = "the gzip compressor failed";
            return false;
        }
        const std::size_t made = f->chunk.size() - f->stream.avail_out;
        if (made > 0 && !writeAll(f, f->chunk.data(), made, failure)) return false;
        const bool done = finish ? f->stream.internal_state.state == ZSTATE_END : f->stream.avail_in == 0 && f->stream.avail_out != 0;
        if (done) return true;
    }
}

// Feeds `count` bytes to the compressor. Returns false with `failure` filled.
bool deflateBytes(OutputFile* f, const char* data, std::size_t count, OutputFailure& failure) {
    while (count > 0) {
        const std::size_t piece = count > (1u << 30) ? (1u << 30) : count;
        f->stream.next_in = reinterpret_cast<uint8_t*>(const_cast<char*>(data));
        f->stream.avail_in = static_cast<uint32_t>(piece);
        if (!pumpDeflate(f, false, failure)) return false;
        data += piece;
        count -= piece;
    }
    return true;
}

void endDeflate(OutputFile*) {}
#else
// Starts zlib's compressor at `level`, making a gzip member (windowBits 15 + 16). Returns
// false when it cannot (out of memory).
bool startDeflate(OutputFile* f, int level) {
    return deflateInit2(&f->stream, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) == Z_OK;
}

// Runs the compressor over its pending input (to the end of the stream when `finish`),
// writing what it makes. Returns false with `failure` filled.
bool pumpDeflate(OutputFile* f, bool finish, OutputFailure& failure) {
    const int flush = finish ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
        f->stream.next_out = f->chunk.data();
        f->stream.avail_out = static_cast<uInt>(f->chunk.size());
        const int r = deflate(&f->stream, flush);
        if (r == Z_STREAM_ERROR) {
            failure.status = OutputStatus::kFailed;
            failure.message = "the gzip compressor failed";
            return false;
        }
        const std::size_t made = f->chunk.size() - f->stream.avail_out;
        if (made > 0 && !writeAll(f, f->chunk.data(), made, failure)) return false;
        if (finish ? r == Z_STREAM_END : (f->stream.avail_in == 0 && f->stream.avail_out != 0)) return true;
    }
}

// Feeds `count` bytes to the compressor. Returns false with `failure` filled.
bool deflateBytes(OutputFile* f, const char* data, std::size_t count, OutputFailure& failure) {
    while (count > 0) {
        // avail_in is 32 bits wide: large writes go in pieces.
        const std::size_t piece = count > (1u << 30) ? (1u << 30) : count;
        f->stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        f->stream.avail_in = static_cast<uInt>(piece);
        if (!pumpDeflate(f, false, failure)) return false;
        data += piece;
        count -= piece;
    }
    return true;
}

void endDeflate(OutputFile* f) { deflateEnd(&f->stream); }
#endif

// Closes the descriptor (once). Returns false with `failure` filled when closing fails (a
// full disk may only show here).
bool closeDescriptor(OutputFile* f, OutputFailure* failure) {
    if (f->fd < 0) return true;
#ifdef _WIN32
    const int r = _close(f->fd);
#else
    const int r = ::close(f->fd);
#endif
    f->fd = -1;
    if (r != 0 && failure != nullptr) {
        failure->status = OutputStatus::kFailed;
        failure->message = errnoText(errno);
        return false;
    }
    return true;
}

// Removes the temporary file. Returns nothing.
void removeTemporary(OutputFile* f) {
#ifdef _WIN32
    _wremove(f->temporary.c_str());
#else
    ::unlink(f->temporary.c_str());
#endif
}

// Creates the temporary file exclusively, trying other names while one exists. Returns false
// with `failure` filled.
bool createTemporary(OutputFile* f, OutputFailure& failure) {
    // The same folder as the target, so that the rename never crosses file systems; a name
    // from the process, the object and the clock, so that concurrent writers do not meet.
    const std::string& target = f->target_text;
    const std::size_t slash = target.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const unsigned long long stamp =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(f));
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::string name = folder + "." + base + "." + std::to_string(processId()) + "-" +
                                 std::to_string((stamp + static_cast<unsigned long long>(attempt)) % 1000000007ULL) + ".part";
        if (!nativeName(name, f->temporary)) {
            failure.status = OutputStatus::kFailed;
            failure.message = "the file name is not valid UTF-8";
            return false;
        }
#ifdef _WIN32
        f->fd = _wopen(f->temporary.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
        f->fd = ::open(f->temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
#endif
        if (f->fd >= 0) return true;
        if (errno != EEXIST) break;
    }
    failure.status = OutputStatus::kFailed;
    failure.message = errnoText(errno);
    return false;
}

// Moves the complete temporary file to the target: replacing it only when allowed. Returns
// false with `failure` filled (kExists when the target appeared and may not be replaced).
bool moveToTarget(OutputFile* f, OutputFailure& failure) {
#ifdef _WIN32
    const DWORD flags = f->overwrite ? MOVEFILE_REPLACE_EXISTING : 0;
    if (MoveFileExW(f->temporary.c_str(), f->target.c_str(), flags)) return true;
    const DWORD code = GetLastError();
    if (!f->overwrite && (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)) {
        failure.status = OutputStatus::kExists;
        return false;
    }
    failure.status = OutputStatus::kFailed;
    failure.message = std::system_category().message(static_cast<int>(code));
    return false;
#else
    if (!f->overwrite) {
        // A hard link never replaces: the target is made only if nobody made it meanwhile.
        if (::link(f->temporary.c_str(), f->target.c_str()) == 0) {
            ::unlink(f->temporary.c_str());
            return true;
        }
        if (errno == EEXIST) {
            failure.status = OutputStatus::kExists;
            return false;
        }
        // File systems without hard links: look, then rename.
        if (pathExists(f->target_text.c_str())) {
            failure.status = OutputStatus::kExists;
            return false;
        }
    }
    if (::rename(f->temporary.c_str(), f->target.c_str()) == 0) return true;
    failure.status = OutputStatus::kFailed;
    failure.message = errnoText(errno);
    return false;
#endif
}

// Releases everything of `f` but the files. Returns nothing.
void release(OutputFile* f) {
    if (f->deflating) endDeflate(f);
    delete f;
}

}  // namespace

bool pathExists(const char* path) {
#ifdef _WIN32
    NativeName wide;
    try {
        if (!nativeName(path, wide)) return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat st;
    return ::stat(path, &st) == 0;
#endif
}

OutputFile* openOutput(const char* path, const OutputOptions& options, OutputFailure& failure) {
    failure = OutputFailure{};
    OutputFile* f = new (std::nothrow) OutputFile;
    if (f == nullptr) {
        failure.status = OutputStatus::kOutOfMemory;
        return nullptr;
    }
    try {
        f->target_text = path;
        f->overwrite = options.overwrite;
        f->gzip = options.gzip;
        if (!nativeName(f->target_text, f->target)) {
            failure.status = OutputStatus::kFailed;
            failure.message = "the file name is empty or not valid UTF-8";
            release(f);
            return nullptr;
        }
        if (!options.overwrite && pathExists(path)) {
            failure.status = OutputStatus::kExists;
            release(f);
            return nullptr;
        }
        if (options.gzip) {
            f->chunk.resize(kDeflateChunk);
            if (!startDeflate(f, options.gzip_level)) {
                failure.status = OutputStatus::kOutOfMemory;
                failure.message = "the gzip compressor cannot start";
                release(f);
                return nullptr;
            }
            f->deflating = true;
        }
        if (!createTemporary(f, failure)) {
            release(f);
            return nullptr;
        }
    } catch (const std::bad_alloc&) {
        failure.status = OutputStatus::kOutOfMemory;
        if (f->fd >= 0) {
            closeDescriptor(f, nullptr);
            removeTemporary(f);
        }
        release(f);
        return nullptr;
    }
    return f;
}

bool writeOutput(OutputFile* f, const char* data, std::size_t count, OutputFailure& failure) {
    if (!f->gzip) return writeAll(f, reinterpret_cast<const unsigned char*>(data), count, failure);
    return deflateBytes(f, data, count, failure);
}

bool finishOutput(OutputFile* f, OutputFailure& failure) {
    failure = OutputFailure{};
    bool ok = true;
    if (f->gzip) {
        f->stream.next_in = nullptr;
        f->stream.avail_in = 0;
        ok = pumpDeflate(f, true, failure);
    }
    ok = closeDescriptor(f, ok ? &failure : nullptr) && ok;
    if (ok) ok = moveToTarget(f, failure);
    if (!ok) removeTemporary(f);
    release(f);
    return ok;
}

void abandonOutput(OutputFile* f) {
    if (f == nullptr) return;
    closeDescriptor(f, nullptr);
    removeTemporary(f);
    release(f);
}

}  // namespace ionex
