// ISA-L's inflate behind the gzip inflater. The header is read here, with zlib's own
// decisions (gzip_header.h); ISA-L inflates the deflate data and checks the CRC-32 and
// length trailer, and leaves the input that follows the trailer unread. Compiled to nothing
// when the build has no ISA-L.
#ifdef IONEX_WITH_ISAL

#include <isa-l/igzip_lib.h>

#include <cstdint>
#include <new>

#include "common/vector_state.h"
#include "input/gzip_header.h"
#include "input/inflater_backends.h"

namespace ionex {

// Longest match of deflate data: what ISA-L may have copied for a match it then rejects.
constexpr size_t kLongestMatch = 258;

struct IsalInflater {
    // ISA-L keeps the last 32 KB of output at the start of its state's output buffer, and a
    // rejected match (see kInflaterOutputLead) may reach back past it: these zeroed bytes
    // keep that read inside this allocation.
    unsigned char lead[kInflaterOutputLead];
    inflate_state state;  // about 70 KB: kept on the heap with its owner
    GzipHeaderReader header;
    bool in_header;
};

IsalInflater* createIsalInflater() {
    IsalInflater* inflater = new (std::nothrow) IsalInflater();  // zeroed
    if (inflater != nullptr) isal_inflate_init(&inflater->state);
    return inflater;
}

void destroyIsalInflater(IsalInflater* inflater) { delete inflater; }

bool startIsalMember(IsalInflater* inflater) {
    startGzipHeader(inflater->header);
    inflater->in_header = true;
    isal_inflate_reset(&inflater->state);
    // Raw deflate data followed by the gzip trailer, which ISA-L checks.
    inflater->state.crc_flag = ISAL_GZIP_NO_HDR_VER;
    return true;
}

InflateStep inflateIsal(IsalInflater* inflater, const unsigned char* in, size_t in_size,
                        unsigned char* out, size_t out_size) {
    InflateStep step{0, 0, InflateStatus::kOk};
    if (inflater->in_header) {
        const GzipHeaderStatus header = readGzipHeader(inflater->header, in, in_size, &step.consumed);
        if (header == GzipHeaderStatus::kBad) step.status = InflateStatus::kDataError;
        if (header != GzipHeaderStatus::kDone) return step;
        inflater->in_header = false;
        in += step.consumed;
        in_size -= step.consumed;
    }
    // ISA-L counts in 32 bits; the line source's blocks are far smaller.
    const uint32_t in_part = in_size > 0x40000000u ? 0x40000000u : static_cast<uint32_t>(in_size);
    const uint32_t out_part = out_size > 0x40000000u ? 0x40000000u : static_cast<uint32_t>(out_size);
    inflate_state& st = inflater->state;
    st.next_in = const_cast<uint8_t*>(in);
    st.avail_in = in_part;
    st.next_out = out;
    st.avail_out = out_part;
    const int rc = isal_inflate(&st);
    clearUpperVectorHalves();  // ISA-L leaves them in use, which slows every parse after it
    step.consumed += in_part - st.avail_in;
    step.produced = out_part - st.avail_out;
    if (rc == ISAL_INVALID_LOOKBACK) {
        // The rejected match may already stand at the end of the output: drop as much as it
        // can have written, so that only bytes of the stream are handed out.
        step.produced = step.produced > kLongestMatch ? step.produced - kLongestMatch : 0;
        step.status = InflateStatus::kDataError;
    } else if (rc < 0 || rc == ISAL_NEED_DICT) {
        step.status = InflateStatus::kDataError;  // bad data, CRC or length
    } else if (st.block_state == ISAL_BLOCK_FINISH) {
        step.status = InflateStatus::kMemberEnd;
    }
    return step;
}

// ISA-L keeps the running CRC-32 of the output for the gzip trailer check in `crc`.
unsigned long isalOutputCrc(const IsalInflater* inflater) {
    return inflater->state.total_out == 0 ? 0 : static_cast<unsigned long>(inflater->state.crc);
}

}  // namespace ionex

#endif  // IONEX_WITH_ISAL
