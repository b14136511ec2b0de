// Reader of a gzip member's header (RFC 1952), fed in pieces: the fixed ten bytes, then the
// optional extra field, file name, comment and header CRC that its flags announce. It takes
// the same decisions as zlib's inflate: the method must be deflate (8), the reserved flag
// bits must be clear, and a header CRC, when flagged, must match the low 16 bits of the
// CRC-32 of every header byte before it.
#pragma once

#include <cstddef>

namespace ionex {

enum class GzipHeaderStatus { kIncomplete, kDone, kBad };

// Where a header read stands between two pieces of input.
struct GzipHeaderReader {
    int stage;            // which field is being read (see gzip_header.cpp)
    unsigned flags;       // FLG byte
    size_t have;          // bytes of the current fixed-size field read so far
    size_t extra_left;    // bytes of the extra field still to skip
    unsigned char field[10];
    unsigned long crc;    // CRC-32 of the header bytes read so far
};

// Prepares `reader` for a header that starts with the next byte. Returns nothing.
void startGzipHeader(GzipHeaderReader& reader);

// Reads header bytes from in[0 .. in_size) and stores in *consumed how many it used (never
// a byte past the header). Returns kDone once the header is complete, kIncomplete when every
// byte given was used and more are needed, kBad for a header zlib would reject.
GzipHeaderStatus readGzipHeader(GzipHeaderReader& reader, const unsigned char* in,
                                size_t in_size, size_t* consumed);

}  // namespace ionex
