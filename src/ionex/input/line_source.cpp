// The line source: one reader for plain text, gzip members and Unix-compress streams.
//
// zlib's own gz reader is not used because it drops whatever follows a gzip member that is
// not another gzip member; here the kind of input is decided again after every member.
// The file is read once, in large blocks; decoded bytes are handed out line by line.
#include "input/line_source.h"

#include <atomic>
#include <cstring>
#include <new>
#include <stdexcept>

#include "input/file_access.h"
#include "input/gzip_inflater.h"
#include "input/lzw_decoder.h"

#ifdef IONEX_FAULT_INJECTION
#include "input/line_source_faults.h"
#endif

namespace ionex {

namespace {

constexpr size_t kInputCapacity = 128 * 1024;
constexpr size_t kOutputCapacity = 128 * 1024;

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
    bool input_ended = false;  // the file gave its last byte (or a read failed)
    unsigned char* input = nullptr;
    size_t input_pos = 0;  // first unconsumed byte of `input`
    size_t input_end = 0;  // one past the last byte read into `input`
    Kind kind = Kind::kPlain;
    InflaterKind inflater_kind = InflaterKind::kZlib;
    GzipInflater* inflater = nullptr;  // made for the first gzip member
    LzwDecoder* lzw = nullptr;
    unsigned char* output_block = nullptr;  // the zeroed lead an inflater may read, then `output`
    unsigned char* output = nullptr;  // decoded bytes of gzip and compress members
    const unsigned char* pending = nullptr;  // bytes decoded but not yet handed out
    size_t pending_size = 0;
    long reads = 0;
};

namespace {

// Reads more of the file into the input block, keeping the unconsumed bytes.
// Returns true when at least one new byte arrived; a read error counts as the end of the file.
bool readMoreInput(LineSource* s) {
    if (s->input_ended) return false;
    if (s->input_pos == s->input_end) {
        s->input_pos = s->input_end = 0;
    } else if (s->input_end == kInputCapacity) {
        size_t keep = s->input_end - s->input_pos;
        std::memmove(s->input, s->input + s->input_pos, keep);
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

// Makes the block that decoded bytes go to; plain input never needs one.
// Returns false when out of memory.
bool haveOutputBlock(LineSource* s) {
    if (s->output_block == nullptr) {
        s->output_block = new (std::nothrow) unsigned char[kInflaterOutputLead + kOutputCapacity]();
        if (s->output_block != nullptr) s->output = s->output_block + kInflaterOutputLead;
    }
    return s->output_block != nullptr;
}

// Starts a gzip member at the current input position.
// Returns false when the inflater cannot be set up (the source then ends).
bool startMember(LineSource* s) {
    if (!haveOutputBlock(s)) return false;
    if (s->inflater == nullptr) s->inflater = createGzipInflater(s->inflater_kind);
    return s->inflater != nullptr && startGzipMember(s->inflater);
}

// Starts a compress stream after its two magic bytes. Returns false when out of memory.
bool startCompressStream(LineSource* s) {
    if (!haveOutputBlock(s)) return false;
    if (s->lzw == nullptr) s->lzw = new (std::nothrow) LzwDecoder;
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

// Inflates the current gzip member into the output block; at the member's end decides the
// kind of what follows. Returns the number of bytes made pending (0 when none came this time).
size_t decodeGzip(LineSource* s) {
    if (bufferedInput(s) == 0) readMoreInput(s);
    const InflateStep step = inflateGzip(s->inflater, s->input + s->input_pos, bufferedInput(s),
                                         s->output, kOutputCapacity);
    s->input_pos += step.consumed;
    if (step.status == InflateStatus::kMemberEnd) {
        decideKind(s);
    } else if (step.status == InflateStatus::kDataError) {
        s->kind = Kind::kFinished;  // bad data, CRC or length: what was inflated stands
    } else if (step.consumed == 0 && step.produced == 0 && !readMoreInput(s)) {
        // No progress and no more input: the member is cut short; keep what was inflated.
        s->kind = Kind::kFinished;
    }
    s->pending = s->output;
    s->pending_size = step.produced;
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

// Makes decoded bytes pending. Returns false at the end of the input.
bool refill(LineSource* s) {
    while (s->pending_size == 0) {
        switch (s->kind) {
            case Kind::kPlain: decodePlain(s); break;
            case Kind::kGzip: decodeGzip(s); break;
            case Kind::kCompress: decodeCompress(s); break;
            case Kind::kFinished: return false;
        }
    }
    return true;
}

}  // namespace

LineSource* openLineSource(const char* path) { return openLineSource(path, defaultInflater()); }

LineSource* openLineSource(const char* path, InflaterKind inflater) {
    if (path == nullptr || !inflaterAvailable(inflater)) return nullptr;
    const InputFile file = openInputFile(path);
    if (file == kNoInputFile) return nullptr;
    LineSource* s = new (std::nothrow) LineSource;
    unsigned char* input = new (std::nothrow) unsigned char[kInputCapacity];
    if (s == nullptr || input == nullptr) {
        delete s;
        delete[] input;
        closeInputFile(file);
        return nullptr;
    }
    s->file = file;
    s->input = input;
    s->inflater_kind = inflater;
    decideKind(s);
    return s;
}

void closeLineSource(LineSource* source) {
    if (source == nullptr) return;
    destroyGzipInflater(source->inflater);
    closeInputFile(source->file);
    delete source->lzw;
    delete[] source->input;
    delete[] source->output_block;
    delete source;
}

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
