// The gzip inflater: decodes one gzip member at a time (header, deflate data, CRC-32 and
// length trailer), fed and drained in blocks. Two implementations sit behind it, zlib's and
// ISA-L's; the build picks one for the line source, and both decode every valid member to
// the same bytes and reject the same bad headers and trailers.
#pragma once

#include <cstddef>

namespace ionex {

enum class InflaterKind { kZlib, kIsal };

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

// Inflates from `in` (in_size bytes) into `out` (out_size > 0 bytes) until the input is used
// up, the output is full, the member ends or the data is bad.
// Returns what was consumed and produced, and the status.
InflateStep inflateGzip(GzipInflater* inflater, const unsigned char* in, size_t in_size,
                        unsigned char* out, size_t out_size);

}  // namespace ionex
