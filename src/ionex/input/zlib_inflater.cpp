// zlib's inflate behind the gzip inflater: a gzip wrapper only, with the largest window;
// zlib checks the header (and its CRC when flagged), the CRC-32 and the length.
#include <zlib.h>

#include <new>

#include "input/inflater_backends.h"

namespace ionex {

struct ZlibInflater {
    z_stream zs{};
    bool ready = false;  // inflateInit2 succeeded; inflateEnd is owed
};

ZlibInflater* createZlibInflater() { return new (std::nothrow) ZlibInflater; }

void destroyZlibInflater(ZlibInflater* inflater) {
    if (inflater == nullptr) return;
    if (inflater->ready) inflateEnd(&inflater->zs);
    delete inflater;
}

bool startZlibMember(ZlibInflater* inflater) {
    if (!inflater->ready) {
        // 16 + 15: a gzip wrapper only, with the largest window.
        if (inflateInit2(&inflater->zs, 16 + MAX_WBITS) != Z_OK) return false;
        inflater->ready = true;
        return true;
    }
    return inflateReset(&inflater->zs) == Z_OK;
}

InflateStep inflateZlib(ZlibInflater* inflater, const unsigned char* in, size_t in_size,
                        unsigned char* out, size_t out_size) {
    z_stream& zs = inflater->zs;
    // The line source's blocks are far below 4 GB; larger calls are fed in part.
    const uInt in_part = in_size > 0x40000000u ? 0x40000000u : static_cast<uInt>(in_size);
    const uInt out_part = out_size > 0x40000000u ? 0x40000000u : static_cast<uInt>(out_size);
    zs.next_in = const_cast<unsigned char*>(in);
    zs.avail_in = in_part;
    zs.next_out = out;
    zs.avail_out = out_part;
    const int rc = inflate(&zs, Z_NO_FLUSH);
    InflateStep step{in_part - zs.avail_in, out_part - zs.avail_out, InflateStatus::kOk};
    if (rc == Z_STREAM_END) {
        step.status = InflateStatus::kMemberEnd;
    } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
        step.status = InflateStatus::kDataError;  // bad data, CRC or length, or no memory
    }
    return step;
}

// zlib keeps the running CRC-32 of a gzip member's output in `adler`.
unsigned long zlibOutputCrc(const ZlibInflater* inflater) {
    return inflater->zs.total_out == 0 ? 0 : static_cast<unsigned long>(inflater->zs.adler);
}

}  // namespace ionex
