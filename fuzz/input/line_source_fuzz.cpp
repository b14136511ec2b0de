// Fuzz target of the line source: arbitrary bytes, as plain text, gzip members, compress
// streams or mixtures, read line by line with buffers of 2 to 600 bytes.
//
// Input layout:
//   byte 0   read size: below 4 always 512 (what the readers use); other even values one
//            fixed size 2..600; odd values a new size 2..600 for every read
//   byte 1   framing of the payload, bits 0-1: 0 the payload is the file as it is;
//            1 one gzip member of the payload; 2 the payload split into two gzip members;
//            3 a gzip member of the payload's head followed by its tail as it is.
//            Bits 2-7 place the split (0..63 sixty-thirds of the payload).
//   byte 2.. the payload
// Whenever the file's decoded text is known (plain payload, or members made here from it)
// the lines read must join up to exactly that text; otherwise (a gzip or compress stream
// from the fuzzer) they must join up to what a second reading with 512-byte buffers gives,
// as the decoded text never depends on how it is read. Where the build has both gzip
// inflaters the file is read with the other one too: it must give the same known text, and
// on any other input it must end within the same bounds, without a crash.
#include <zlib.h>

#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "input/line_source.h"

namespace {

constexpr const char* kTarget = "line_source";
constexpr size_t kMaxReads = size_t{1} << 22;       // bounds a decompression bomb's work
constexpr size_t kMaxDecoded = size_t{32} << 20;

using Bytes = std::vector<uint8_t>;

// Tells whether `b` starts with the magic of a gzip member or a compress stream.
// Returns true when the line source would decode rather than pass it through.
bool startsWithMagic(const uint8_t* b, size_t n) {
    return n >= 2 && b[0] == 0x1F && (b[1] == 0x8B || b[1] == 0x9D);
}

// Appends one gzip member holding `n` bytes at `p` to `out`.
// Returns false when zlib fails (the input is then skipped).
bool appendGzipMember(const uint8_t* p, size_t n, Bytes& out) {
    z_stream zs{};
    if (deflateInit2(&zs, 6, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    const size_t start = out.size();
    out.resize(start + deflateBound(&zs, static_cast<uLong>(n)) + 32);
    zs.next_in = const_cast<Bytef*>(p);
    zs.avail_in = static_cast<uInt>(n);
    zs.next_out = out.data() + start;
    zs.avail_out = static_cast<uInt>(out.size() - start);
    const int rc = deflate(&zs, Z_FINISH);
    out.resize(start + zs.total_out);
    deflateEnd(&zs);
    return rc == Z_STREAM_END;
}

// The file to read and, when known, the text its lines must join up to.
struct Framed {
    Bytes file;
    bool text_known;
    Bytes text;
};

// Builds the file from the payload as byte 1 asks. Returns false when zlib failed.
bool frame(uint8_t framing, const uint8_t* payload, size_t n, Framed& out) {
    const size_t split = n * (framing >> 2) / 63;
    out.text.assign(payload, payload + n);
    out.text_known = true;
    switch (framing & 3) {
        case 0:
            out.file = out.text;
            out.text_known = !startsWithMagic(payload, n);
            return true;
        case 1:
            return appendGzipMember(payload, n, out.file);
        case 2:
            return appendGzipMember(payload, split, out.file) &&
                   appendGzipMember(payload + split, n - split, out.file);
        default:
            if (!appendGzipMember(payload, split, out.file)) return false;
            out.file.insert(out.file.end(), payload + split, payload + n);
            out.text_known = !startsWithMagic(payload + split, n - split);
            return true;
    }
}

// How the buffer size of each read is chosen: byte 0, and a generator for odd bytes.
struct SizeChooser {
    uint8_t selector;
    uint32_t state;
};

// Chooses the buffer size of the next read from byte 0 (advancing the generator).
// Returns the size, 2..600.
int nextSize(SizeChooser& sizes) {
    if (sizes.selector < 4) return 512;
    if (sizes.selector % 2 == 0) return 2 + sizes.selector * 598 / 255;
    sizes.state = sizes.state * 1103515245u + 12345u;
    return 2 + static_cast<int>((sizes.state >> 16) % 599);
}

// What the reads have shown so far.
struct ReadLog {
    Bytes joined;          // the lines read, one after the other
    bool must_end = false;  // the last line stopped short without a newline
    size_t reads = 0;
};

// Reads one line with a buffer of exactly `size` bytes, so that AddressSanitizer sees any
// write past it, and checks the line's shape. Returns false at the end of the input.
bool readOneLine(ionex::LineSource* source, int size, ReadLog& log) {
    std::vector<char> line(static_cast<size_t>(size));
    const long n = ionex::readLineLength(source, line.data(), size);
    if (n < 0) {
        FUZZ_CHECK(kTarget, n == -1, "negative length other than -1");
        return false;
    }
    FUZZ_CHECK(kTarget, !log.must_end, "a line followed a short line without newline");
    FUZZ_CHECK(kTarget, n >= 1 && n <= size - 1, "line length outside 1..size-1");
    FUZZ_CHECK(kTarget, line[static_cast<size_t>(n)] == '\0', "line not NUL-terminated at its length");
    const void* newline = std::memchr(line.data(), '\n', static_cast<size_t>(n));
    FUZZ_CHECK(kTarget, newline == nullptr || newline == line.data() + n - 1,
               "newline inside a line rather than at its end");
    log.must_end = newline == nullptr && n < size - 1;
    log.joined.insert(log.joined.end(), line.data(), line.data() + n);
    return true;
}

// Reads the whole source (up to the work bounds). Returns true when its end was reached.
bool readAll(ionex::LineSource* source, SizeChooser& sizes, ReadLog& log) {
    while (log.reads < kMaxReads && log.joined.size() < kMaxDecoded) {
        ++log.reads;
        if (!readOneLine(source, nextSize(sizes), log)) {
            // The end is final: a later read, of any size and in either form, finds nothing.
            std::vector<char> again(2);
            FUZZ_CHECK(kTarget, ionex::readLineLength(source, again.data(), 2) == -1,
                       "input continued after its end");
            FUZZ_CHECK(kTarget, ionex::readLine(source, again.data(), 2) == nullptr,
                       "readLine continued after the end");
            return true;
        }
    }
    return false;
}

// Opens the file at `path` with the given inflater and reads it all with the sizes `sizes`
// chooses. Returns true when the end of the input was reached within the work bounds.
bool readFile(const std::string& path, SizeChooser sizes, ReadLog& log,
              ionex::InflaterKind inflater = ionex::defaultInflater()) {
    ionex::LineSource* source = ionex::openLineSource(path.c_str(), inflater);
    FUZZ_CHECK(kTarget, source != nullptr, "an existing file did not open");
    const bool ended = readAll(source, sizes, log);
    ionex::closeLineSource(source);
    return ended;
}

}  // namespace

// Reads the framed input line by line and checks every line and the joined text.
// Returns 0 (libFuzzer's "input done"); a broken rule aborts instead.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t selector = size > 0 ? data[0] : 0;
    const uint8_t framing = size > 1 ? data[1] : 0;
    const uint8_t* payload = size > 2 ? data + 2 : nullptr;
    const size_t payload_size = size > 2 ? size - 2 : 0;

    Framed framed;
    if (!frame(framing, payload, payload_size, framed)) return 0;
    fuzz::InputFile file = fuzz::makeInputFile(framed.file.data(), framed.file.size());
    if (file.fd < 0) return 0;

    const size_t descriptors = fuzz::openDescriptorCount();
    ReadLog log;
    const bool ended = readFile(file.path, SizeChooser{selector, selector}, log);
    FUZZ_CHECK(kTarget, fuzz::openDescriptorCount() == descriptors, "descriptor left open");
    bool compared = false;
    if (framed.text_known) {
        compared = ended;
        if (compared) FUZZ_CHECK(kTarget, log.joined == framed.text, "lines do not join up to the input text");
    } else if (selector >= 4) {
        ReadLog reference;
        compared = readFile(file.path, SizeChooser{0, 0}, reference) && ended;
        if (compared) {
            FUZZ_CHECK(kTarget, log.joined == reference.joined,
                       "decoded text depends on the read sizes");
        }
    }
    const ionex::InflaterKind other = ionex::defaultInflater() == ionex::InflaterKind::kZlib
                                          ? ionex::InflaterKind::kIsal
                                          : ionex::InflaterKind::kZlib;
    if (ionex::inflaterAvailable(other)) {
        ReadLog second;
        const bool second_ended = readFile(file.path, SizeChooser{selector, selector}, second, other);
        // Damaged or not, both inflaters hand out the same bytes.
        if (ended && second_ended) {
            FUZZ_CHECK(kTarget, second.joined == log.joined, "the two inflaters give different text");
        }
    }
    fuzz::closeInputFile(file);

    fuzz::note(kTarget, std::to_string(framed.file.size()) + " file bytes, " +
                            std::to_string(log.reads) + " reads, " + std::to_string(log.joined.size()) +
                            " bytes read" + (compared ? ", compared" : ""));
    return 0;
}
