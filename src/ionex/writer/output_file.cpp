// The output file: a temporary file beside the target, plain or gzip-compressed, renamed to
// the target when complete. The system's calls are in output_system_*.cpp.
#include "writer/output_file.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include <zlib.h>
#ifdef IONEX_WITH_ISAL
#include <isa-l/igzip_lib.h>
#endif

#include "common/kept_object.h"
#include "common/vector_state.h"
#include "writer/output_system.h"

namespace ionex {

namespace {

constexpr std::size_t kDeflateChunk = 1 << 18;
constexpr int kNameAttempts = 100;


}  // namespace

namespace {

// The compressor and its buffers (about 600 KB with ISA-L). One is kept between writes, as
// the readers keep their inflaters: made for every write, its memory came fresh
// from the system each time, at a cost close to that of compressing a daily file.
struct Deflater;
void endDeflate(Deflater* d);

struct Deflater {
#ifdef IONEX_WITH_ISAL
    isal_zstream stream{};    // ISA-L's deflate: several times faster than zlib's at level 1
    std::vector<unsigned char> level_buffer;
#else
    z_stream stream{};
    bool initialised = false;  // deflateInit2 has run (and deflateEnd has not)
    int level = 0;
#endif
    std::vector<unsigned char> chunk;

    Deflater() = default;
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
    ~Deflater() { endDeflate(this); }  // the compressor's own memory too
};

// The deflater kept between writes for the whole process.
KeptObject<Deflater>& keptDeflaters() {
    static KeptObject<Deflater> kept;
    return kept;
}

}  // namespace

struct OutputFile {
    std::string target;     // UTF-8, as given
    std::string temporary;  // UTF-8, beside the target
    int fd = kNoOutputDescriptor;
    bool overwrite = false;
    bool gzip = false;
    Deflater* deflater = nullptr;  // gzip only: lent for the output's lifetime
};

namespace {

// Fills `failure` from a system call's outcome. Returns false.
bool systemFailure(const SystemOutcome& outcome, OutputFailure& failure) {
    failure.status = outcome.name_taken ? OutputStatus::kExists : OutputStatus::kFailed;
    failure.message = outcome.name_taken ? std::string() : outcome.message;
    return false;
}

// Writes all `count` bytes to the open descriptor. Returns false with `failure` filled.
bool writeAll(OutputFile* f, const unsigned char* data, std::size_t count, OutputFailure& failure) {
    while (count > 0) {
        SystemOutcome outcome;
        const std::int64_t n = writeToFile(f->fd, data, count, outcome);
        if (n < 0) return systemFailure(outcome, failure);
        if (n == 0) {
            failure.status = OutputStatus::kFailed;
            failure.message = "No space left on device";  // as the system says it
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
bool startDeflate(Deflater* d, int /*level*/) {
    if (d->level_buffer.size() != ISAL_DEF_LVL1_DEFAULT) d->level_buffer.resize(ISAL_DEF_LVL1_DEFAULT);
    isal_deflate_init(&d->stream);
    d->stream.level = 1;
    d->stream.level_buf = d->level_buffer.data();
    d->stream.level_buf_size = static_cast<uint32_t>(d->level_buffer.size());
    d->stream.gzip_flag = IGZIP_GZIP;
    d->stream.flush = NO_FLUSH;
    return true;
}

// Runs the compressor over its pending input (to the end of the stream when `finish`),
// writing what it makes. Returns false with `failure` filled.
bool pumpDeflate(OutputFile* f, bool finish, OutputFailure& failure) {
    Deflater* d = f->deflater;
    d->stream.end_of_stream = finish ? 1 : 0;
    for (;;) {
        d->stream.next_out = d->chunk.data();
        d->stream.avail_out = static_cast<uint32_t>(d->chunk.size());
        const int r = isal_deflate(&d->stream);
        clearUpperVectorHalves();  // ISA-L leaves them in use, which slows the encoding after it
        if (r != COMP_OK) {
            failure.status = OutputStatus::kFailed;
            failure.message = "the gzip compressor failed";
            return false;
        }
        const std::size_t made = d->chunk.size() - d->stream.avail_out;
        if (made > 0 && !writeAll(f, d->chunk.data(), made, failure)) return false;
        const bool done = finish ? d->stream.internal_state.state == ZSTATE_END : d->stream.avail_in == 0 && d->stream.avail_out != 0;
        if (done) return true;
    }
}

// Feeds `count` bytes to the compressor. Returns false with `failure` filled.
bool deflateBytes(OutputFile* f, const char* data, std::size_t count, OutputFailure& failure) {
    while (count > 0) {
        const std::size_t piece = count > (1u << 30) ? (1u << 30) : count;
        f->deflater->stream.next_in = reinterpret_cast<uint8_t*>(const_cast<char*>(data));
        f->deflater->stream.avail_in = static_cast<uint32_t>(piece);
        if (!pumpDeflate(f, false, failure)) return false;
        data += piece;
        count -= piece;
    }
    return true;
}

// Ends the stream of `d` for good. ISA-L holds no memory of its own: nothing to do.
void endDeflate(Deflater*) {}
#else
// Starts zlib's compressor at `level`, making a gzip member (windowBits 15 + 16): a kept one
// at the same level is reset, keeping its memory. Returns false when it cannot (out of memory).
bool startDeflate(Deflater* d, int level) {
    if (d->initialised && d->level == level && deflateReset(&d->stream) == Z_OK) return true;
    endDeflate(d);
    d->stream = z_stream{};
    if (deflateInit2(&d->stream, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    d->initialised = true;
    d->level = level;
    return true;
}

// Runs the compressor over its pending input (to the end of the stream when `finish`),
// writing what it makes. Returns false with `failure` filled.
bool pumpDeflate(OutputFile* f, bool finish, OutputFailure& failure) {
    Deflater* d = f->deflater;
    const int flush = finish ? Z_FINISH : Z_NO_FLUSH;
    for (;;) {
        d->stream.next_out = d->chunk.data();
        d->stream.avail_out = static_cast<uInt>(d->chunk.size());
        const int r = deflate(&d->stream, flush);
        if (r == Z_STREAM_ERROR) {
            failure.status = OutputStatus::kFailed;
            failure.message = "the gzip compressor failed";
            return false;
        }
        const std::size_t made = d->chunk.size() - d->stream.avail_out;
        if (made > 0 && !writeAll(f, d->chunk.data(), made, failure)) return false;
        if (finish ? r == Z_STREAM_END : (d->stream.avail_in == 0 && d->stream.avail_out != 0)) return true;
    }
}

// Feeds `count` bytes to the compressor. Returns false with `failure` filled.
bool deflateBytes(OutputFile* f, const char* data, std::size_t count, OutputFailure& failure) {
    while (count > 0) {
        // avail_in is 32 bits wide: large writes go in pieces.
        const std::size_t piece = count > (1u << 30) ? (1u << 30) : count;
        f->deflater->stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        f->deflater->stream.avail_in = static_cast<uInt>(piece);
        if (!pumpDeflate(f, false, failure)) return false;
        data += piece;
        count -= piece;
    }
    return true;
}

// Ends the stream of `d` for good, releasing zlib's memory. Returns nothing.
void endDeflate(Deflater* d) {
    if (!d->initialised) return;
    deflateEnd(&d->stream);
    d->initialised = false;
}
#endif

// A deflater for one output: the kept one when no output holds it, else a new one.
// Returns it, or null when there is no memory for it.
Deflater* borrowDeflater() {
    std::unique_ptr<Deflater> kept = keptDeflaters().take();
    return kept != nullptr ? kept.release() : new (std::nothrow) Deflater;
}

// Gives the deflater of `f` back to be kept (with its compressor's memory), or releases it
// when one is kept already. Returns nothing.
void returnDeflater(OutputFile* f) {
    if (f->deflater == nullptr) return;
    keptDeflaters().give(std::unique_ptr<Deflater>(f->deflater));
    f->deflater = nullptr;
}

// Closes the descriptor (once). Returns false with `failure` filled when closing fails (a
// full disk may only show here).
bool closeDescriptor(OutputFile* f, OutputFailure* failure) {
    if (f->fd == kNoOutputDescriptor) return true;
    SystemOutcome outcome;
    const bool closed = closeFile(f->fd, outcome);
    f->fd = kNoOutputDescriptor;
    if (!closed && failure != nullptr) return systemFailure(outcome, *failure);
    return true;
}

// Removes the temporary file. Returns nothing.
void removeTemporary(OutputFile* f) { removeFile(f->temporary); }

// Creates the temporary file exclusively, trying other names while one exists. Returns false
// with `failure` filled.
bool createTemporary(OutputFile* f, OutputFailure& failure) {
    // The same folder as the target, so that the rename never crosses file systems; a name
    // from the process, the object and the clock, so that concurrent writers do not meet.
    const std::string& target = f->target;
    const std::size_t slash = target.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const unsigned long long stamp =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(f));
    SystemOutcome outcome;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        f->temporary = folder + "." + base + "." + std::to_string(processNumber()) + "-" +
                       std::to_string((stamp + static_cast<unsigned long long>(attempt)) % 1000000007ULL) + ".part";
        outcome = SystemOutcome{};
        f->fd = createNewFile(f->temporary, outcome);
        if (f->fd != kNoOutputDescriptor) return true;
        if (!outcome.name_taken) break;
    }
    // A temporary name taken every time is no reason to say the target exists.
    outcome.name_taken = false;
    if (outcome.message.empty()) outcome.message = "no free temporary name";
    return systemFailure(outcome, failure);
}

// Moves the complete temporary file to the target: replacing it only when allowed. Returns
// false with `failure` filled (kExists when the target appeared and may not be replaced).
bool moveToTarget(OutputFile* f, OutputFailure& failure) {
    const SystemOutcome outcome = moveFile(f->temporary, f->target, f->overwrite);
    return outcome.ok || systemFailure(outcome, failure);
}

// Releases everything of `f` but the files. Returns nothing.
void release(OutputFile* f) {
    returnDeflater(f);
    delete f;
}

}  // namespace

OutputFile* openOutput(const char* path, const OutputOptions& options, OutputFailure& failure) {
    failure = OutputFailure{};
    OutputFile* f = new (std::nothrow) OutputFile;
    if (f == nullptr) {
        failure.status = OutputStatus::kOutOfMemory;
        return nullptr;
    }
    try {
        f->target = path;
        f->overwrite = options.overwrite;
        f->gzip = options.gzip;
        if (!isSystemName(f->target)) {
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
            f->deflater = borrowDeflater();
            if (f->deflater != nullptr && f->deflater->chunk.size() != kDeflateChunk) f->deflater->chunk.resize(kDeflateChunk);
            if (f->deflater == nullptr || !startDeflate(f->deflater, options.gzip_level)) {
                failure.status = OutputStatus::kOutOfMemory;
                failure.message = "the gzip compressor cannot start";
                release(f);
                return nullptr;
            }
        }
        if (!createTemporary(f, failure)) {
            release(f);
            return nullptr;
        }
    } catch (const std::bad_alloc&) {
        failure.status = OutputStatus::kOutOfMemory;
        if (f->fd != kNoOutputDescriptor) {
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
        f->deflater->stream.next_in = nullptr;
        f->deflater->stream.avail_in = 0;
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
