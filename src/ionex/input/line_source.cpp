// The line source: one reader for plain text, gzip members and Unix-compress streams.
//
// zlib's own gz reader is not used because it drops whatever follows a gzip member that is
// not another gzip member; here the kind of input is decided again after every member.
// The file is read once, in large blocks; decoded bytes are handed out line by line.
//
// One answer whatever the inflater: ISA-L stops on some damaged members a little earlier
// than zlib (up to a match length before a match that reaches back too far, or at the end of
// a member cut short). So when ISA-L stops inside a member for any reason but the member's
// good end, that member is read again from its start with zlib, the bytes already handed out
// are inflated again and dropped, and zlib hands out the rest. Reading again needs a regular
// file; any other input (a pipe, a FIFO) is inflated with zlib from the start.
#include "input/line_source.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

#include "input/file_access.h"
#include "input/gzip_inflater.h"
#include "input/lzw_decoder.h"
#include "input/work_buffers.h"

#ifdef IONEX_FAULT_INJECTION
#include "input/line_source_faults.h"
#endif

namespace ionex {

namespace {

// The stop check is asked once this much work was done since it was last asked: bytes made
// pending, and a share per decoding step for the input it may have read (a step reads at
// most one input block, so at most 32 MiB of input pass between two checks).
constexpr size_t kStopCheckWork = 4 * 1024 * 1024;
constexpr size_t kStopCheckStepWork = 16 * 1024;

enum class Kind { kPlain, kGzip, kCompress, kFinished };

#ifdef IONEX_FAULT_INJECTION
// The test seam is the one global of the core, built only into the fault-injection library;
// atomic, so that even tests reading on several threads do not race on it.
std::atomic<long> g_fail_read_number{0};
#endif

}  // namespace

#ifdef IONEX_FAULT_INJECTION
namespace testing {
void failReadNumber(long n) { g_fail_read_number = n; }
}  // namespace testing
#endif

struct LineSource {
    InputFile file = kNoInputFile;
    bool input_ended = false;     // the file gave its last byte (or a read failed)
    bool can_read_again = false;  // a regular file: a member can be read again from its start
    WorkBuffers* buffers = nullptr;  // lent by the thread for as long as the source is open
    unsigned char* input = nullptr;
    size_t input_pos = 0;  // first unconsumed byte of `input`
    size_t input_end = 0;  // one past the last byte read into `input`
    long long input_offset = 0;  // file offset of input[0]
    Kind kind = Kind::kPlain;
    InflaterKind inflater_kind = InflaterKind::kZlib;  // the inflater every member starts with
    GzipInflater* inflater = nullptr;  // the inflater of the current member
    bool isal_member = false;          // ISA-L inflates the current member (zlib may take over)
    long long member_start = 0;        // file offset of the current member's first byte
    unsigned long long member_out = 0;  // bytes of the current member handed out
    unsigned long member_crc = 0;       // their CRC-32
    LzwDecoder* lzw = nullptr;
    unsigned char* output = nullptr;  // decoded bytes of gzip and compress members
    const unsigned char* pending = nullptr;  // bytes decoded but not yet handed out
    size_t pending_size = 0;
    long reads = 0;
    StopCheck stop;                           // asked now and then whether to end the read
    size_t work_since_check = kStopCheckWork;  // full: the first refill asks at once
    bool stopped = false;                     // the stop check ended the input
};

namespace {

// Reads more of the file into the input block, keeping the unconsumed bytes.
// Returns true when at least one new byte arrived; a read error counts as the end of the file.
bool readMoreInput(LineSource* s) {
    if (s->input_ended) return false;
    if (s->input_pos == s->input_end) {
        s->input_offset += static_cast<long long>(s->input_end);
        s->input_pos = s->input_end = 0;
    } else if (s->input_end == kInputCapacity) {
        size_t keep = s->input_end - s->input_pos;
        std::memmove(s->input, s->input + s->input_pos, keep);
        s->input_offset += static_cast<long long>(s->input_pos);
        s->input_pos = 0;
        s->input_end = keep;
    }
    const std::int64_t n = readInputFile(s->file, s->input + s->input_end, kInputCapacity - s->input_end);
    if (n > 0) {
        s->input_end += static_cast<size_t>(n);
        return true;
    }
    s->input_ended = true;
    return false;
}

size_t bufferedInput(const LineSource* s) { return s->input_end - s->input_pos; }

// Moves the reading position to file offset `offset`, dropping the bytes read ahead.
// Returns false when the file cannot be positioned there.
bool rewindInput(LineSource* s, long long offset) {
    if (offset < 0 || !seekInputFile(s->file, static_cast<std::uint64_t>(offset))) return false;
    s->input_pos = s->input_end = 0;
    s->input_offset = offset;
    s->input_ended = false;
    return true;
}

// Makes the block that decoded bytes go to; plain input never needs one.
// Returns false when out of memory.
bool haveOutputBlock(LineSource* s) {
    if (s->output == nullptr) s->output = outputBlock(*s->buffers);
    return s->output != nullptr;
}

// Starts a gzip member at the current input position.
// Returns false when the inflater cannot be set up (the source then ends).
bool startMember(LineSource* s) {
    if (!haveOutputBlock(s)) return false;
    s->inflater = workInflater(*s->buffers, s->inflater_kind);
    s->isal_member = s->inflater_kind == InflaterKind::kIsal;
    s->member_start = s->input_offset + static_cast<long long>(s->input_pos);
    s->member_out = 0;
    s->member_crc = 0;
    return s->inflater != nullptr && startGzipMember(s->inflater);
}

// Starts a compress stream after its two magic bytes. Returns false when out of memory.
bool startCompressStream(LineSource* s) {
    if (!haveOutputBlock(s)) return false;
    if (s->lzw == nullptr) s->lzw = workLzwDecoder(*s->buffers);
    if (s->lzw == nullptr) return false;
    lzwStart(*s->lzw);
    return true;
}

// Decides the kind of the input that starts at the current position, from its next two
// bytes: gzip member, compress stream, or plain text (anything else, or fewer than two bytes).
void decideKind(LineSource* s) {
    while (bufferedInput(s) < 2 && readMoreInput(s)) {
    }
    const unsigned char* p = s->input + s->input_pos;
    bool magic = bufferedInput(s) >= 2 && p[0] == 0x1F;
    if (magic && p[1] == 0x8B) {
        s->kind = startMember(s) ? Kind::kGzip : Kind::kFinished;
    } else if (magic && p[1] == 0x9D) {
        s->input_pos += 2;
        s->kind = startCompressStream(s) ? Kind::kCompress : Kind::kFinished;
    } else {
        s->kind = Kind::kPlain;
    }
}

// Hands out the plain bytes already read, or reads the next block.
// Returns the number of bytes made pending (0 at the end of the file).
size_t decodePlain(LineSource* s) {
    if (bufferedInput(s) == 0 && !readMoreInput(s)) {
        s->kind = Kind::kFinished;
        return 0;
    }
    s->pending = s->input + s->input_pos;
    s->pending_size = bufferedInput(s);
    s->input_pos = s->input_end;
    return s->pending_size;
}

// Reads the current member again from its start with zlib, inflating and dropping the bytes
// already handed out, so that zlib goes on from there. Returns false when that cannot be
// done: zlib ends before those bytes, or gives other bytes (zlib's answer then cannot be
// given; the input ends).
bool readMemberAgainWithZlib(LineSource* s) {
    GzipInflater* zlib = workInflater(*s->buffers, InflaterKind::kZlib);
    if (zlib == nullptr || !startGzipMember(zlib) || !rewindInput(s, s->member_start)) return false;
    s->inflater = zlib;
    s->isal_member = false;
    unsigned long long skip = s->member_out;
    bool step_ended = false;
    while (skip > 0 && !step_ended) {
        if (bufferedInput(s) == 0) readMoreInput(s);
        const size_t room = skip < kOutputCapacity ? static_cast<size_t>(skip) : kOutputCapacity;
        const InflateStep step = inflateGzip(zlib, s->input + s->input_pos, bufferedInput(s), s->output, room);
        s->input_pos += step.consumed;
        skip -= step.produced;
        if (step.status != InflateStatus::kOk && skip > 0) return false;
        if (step.status == InflateStatus::kDataError) return false;
        if (step.consumed == 0 && step.produced == 0 && bufferedInput(s) == 0 && s->input_ended) return false;
        step_ended = step.status == InflateStatus::kMemberEnd;
    }
    if (s->member_out > 0 && gzipOutputCrc(zlib) != s->member_crc) return false;
    // zlib may find the member whole exactly where ISA-L stopped: what follows decides the kind.
    if (step_ended) decideKind(s);
    return true;
}

// Inflates the current gzip member into the output block; at the member's end decides the
// kind of what follows. Returns the number of bytes made pending (0 when none came this time).
size_t decodeGzip(LineSource* s) {
    if (bufferedInput(s) == 0) readMoreInput(s);
    const InflateStep step = inflateGzip(s->inflater, s->input + s->input_pos, bufferedInput(s),
                                         s->output, kOutputCapacity);
    s->input_pos += step.consumed;
    // No progress and no more input: the member is cut short.
    const bool cut = step.status == InflateStatus::kOk && step.consumed == 0 && step.produced == 0 &&
                     !readMoreInput(s);
    if ((cut || step.status == InflateStatus::kDataError) && s->isal_member) {
        // What ISA-L made in this step is dropped: zlib makes it again, and knows where to stop.
        if (!readMemberAgainWithZlib(s)) s->kind = Kind::kFinished;
        return 0;
    }
    s->pending = s->output;
    s->pending_size = step.produced;
    if (step.status == InflateStatus::kMemberEnd) {
        decideKind(s);
    } else if (cut || step.status == InflateStatus::kDataError) {
        s->kind = Kind::kFinished;  // bad data, CRC or length, or cut: what was inflated stands
    } else {
        s->member_out += step.produced;
        s->member_crc = gzipOutputCrc(s->inflater);
    }
    return step.produced;
}

// Decodes the compress stream into the output block.
// Returns the number of bytes made pending (0 when none came this time).
size_t decodeCompress(LineSource* s) {
    if (bufferedInput(s) == 0) readMoreInput(s);
    size_t consumed = 0;
    size_t produced = 0;
    LzwStatus st = lzwDecode(*s->lzw, s->input + s->input_pos, bufferedInput(s), s->input_ended,
                             &consumed, s->output, kOutputCapacity, &produced);
    s->input_pos += consumed;
    if (st == LzwStatus::kEnd || st == LzwStatus::kDataError) s->kind = Kind::kFinished;
    s->pending = s->output;
    s->pending_size = produced;
    return produced;
}

// Asks the stop check once enough work was done since it was last asked; a stop ends the
// input. Returns true when the source is to end now.
bool stopDue(LineSource* s) {
    if (s->work_since_check < kStopCheckWork || s->kind == Kind::kFinished) return false;
    s->work_since_check = 0;
    if (!stopRequested(s->stop)) return false;
    s->stopped = true;
    s->kind = Kind::kFinished;
    s->pending_size = 0;
    return true;
}

// Makes decoded bytes pending. Returns false at the end of the input.
bool refill(LineSource* s) {
    while (s->pending_size == 0) {
        if (stopDue(s)) return false;
        switch (s->kind) {
            case Kind::kPlain: decodePlain(s); break;
            case Kind::kGzip: decodeGzip(s); break;
            case Kind::kCompress: decodeCompress(s); break;
            case Kind::kFinished: return false;
        }
        s->work_since_check += s->pending_size + kStopCheckStepWork;
    }
    return true;
}

// The inflater the test switch IONEX_INFLATER names ("zlib" or "isal"), else the build's.
InflaterKind chosenInflater() {
    const char* name = std::getenv("IONEX_INFLATER");
    if (name != nullptr && std::strcmp(name, "zlib") == 0) return InflaterKind::kZlib;
    if (name != nullptr && std::strcmp(name, "isal") == 0) return InflaterKind::kIsal;
    return defaultInflater();
}

}  // namespace

LineSource* openLineSource(const char* path) { return openLineSource(path, chosenInflater()); }

LineSource* openLineSource(const char* path, InflaterKind inflater) {
    if (path == nullptr || !inflaterAvailable(inflater)) return nullptr;
    const InputFile file = openInputFile(path);
    if (file == kNoInputFile) return nullptr;
    LineSource* s = new (std::nothrow) LineSource;
    WorkBuffers* buffers = s == nullptr ? nullptr : borrowWorkBuffers();
    if (buffers == nullptr) {
        delete s;
        closeInputFile(file);
        return nullptr;
    }
    s->file = file;
    s->buffers = buffers;
    s->input = inputBlock(*buffers);
    s->can_read_again = canReadInputFileAgain(file);
    // ISA-L's members may have to be read again: only a regular file allows it.
    s->inflater_kind = s->can_read_again ? inflater : InflaterKind::kZlib;
    decideKind(s);
    return s;
}

InflaterKind lineSourceInflater(const LineSource* source) { return source->inflater_kind; }

void closeLineSource(LineSource* source) {
    if (source == nullptr) return;
    closeInputFile(source->file);
    returnWorkBuffers(source->buffers);
    delete source;
}

void setStopCheck(LineSource* source, const StopCheck& check) {
    if (source != nullptr) source->stop = check;
}

bool lineSourceStopped(const LineSource* source) { return source != nullptr && source->stopped; }

long readLineLength(LineSource* s, char* line, int size) {
    if (s == nullptr || line == nullptr || size < 2) return -1;
#ifdef IONEX_FAULT_INJECTION
    if (++s->reads == g_fail_read_number) throw std::runtime_error("injected read failure");
#endif
    const size_t limit = static_cast<size_t>(size) - 1;
    size_t n = 0;
    while (n < limit) {
        if (s->pending_size == 0 && !refill(s)) break;
        size_t want = limit - n < s->pending_size ? limit - n : s->pending_size;
        const void* newline = std::memchr(s->pending, '\n', want);
        size_t take = newline ? static_cast<size_t>(static_cast<const unsigned char*>(newline) -
                                                    s->pending) + 1
                              : want;
        std::memcpy(line + n, s->pending, take);
        s->pending += take;
        s->pending_size -= take;
        n += take;
        if (newline) break;
    }
    line[n] = '\0';
    return n == 0 ? -1 : static_cast<long>(n);
}

char* readLine(LineSource* source, char* line, int size) {
    return readLineLength(source, line, size) < 0 ? nullptr : line;
}

}  // namespace ionex
