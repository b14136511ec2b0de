// The gzip inflater: decodes one gzip member at a time (header, deflate data, CRC-32 and
// length trailer), fed and drained in blocks. Two implementations sit behind it, zlib's and
// ISA-L's; the build picks one for the line source, and both decode every valid member to
// the same bytes and reject the same bad headers and trailers.
#pragma once

#include <cstddef>

namespace ionex {

enum class InflaterKind { kZlib, kIsal };

// Bytes before the output block that an inflater may read, and the caller must own and keep
// zeroed. ISA-L copies a match whose distance reaches back past the data inflated so far
// before it reports the error; the copy then reads up to 32 KB before the block (this lead,
// never the caller's other memory), and the bytes it may have written are not handed out.
constexpr size_t kInflaterOutputLead = 32 * 1024 + 64;

// Outcome of one inflateGzip call.
enum class InflateStatus {
    kOk,         // more to come: call again (with more input when none was consumed)
    kMemberEnd,  // the member's trailer was read and matched; the input after it is untouched
    kDataError,  // bad header, deflate data, CRC or length: what was produced stands
};

// What one inflateGzip call did.
struct InflateStep {
    size_t consumed;  // input bytes used
    size_t produced;  // bytes written to the output block
    InflateStatus status;
};

struct GzipInflater;  // opaque: one implementation's decoder state

// The inflater this build hands to the line source: ISA-L when it was built in, else zlib.
// Returns the kind.
InflaterKind defaultInflater();

// Tells whether `kind` was built into this library. Returns true for zlib always.
bool inflaterAvailable(InflaterKind kind);

// Short name of an inflater, for benchmark tables and build reports. Returns "zlib" or "ISA-L".
const char* inflaterName(InflaterKind kind);

// Makes an inflater of the given kind. Returns null when that kind is not built in or
// memory runs out.
GzipInflater* createGzipInflater(InflaterKind kind);

// Releases an inflater. Accepts null.
void destroyGzipInflater(GzipInflater* inflater);

// Prepares for a new member that starts with the next input byte.
// Returns false when the decoder cannot be set up.
bool startGzipMember(GzipInflater* inflater);

// Inflates from `in` (in_size bytes) into `out` (out_size > 0 bytes, preceded by
// kInflaterOutputLead zeroed bytes) until the input is used up, the output is full, the
// member ends or the data is bad.
// Returns what was consumed and produced, and the status.
InflateStep inflateGzip(GzipInflater* inflater, const unsigned char* in, size_t in_size,
                        unsigned char* out, size_t out_size);

// The CRC-32 of the bytes the current member has produced so far, as the inflater keeps it
// for the trailer check. Returns it (0 before any byte).
unsigned long gzipOutputCrc(const GzipInflater* inflater);

}  // namespace ionex
