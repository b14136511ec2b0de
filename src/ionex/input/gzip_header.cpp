// Reader of gzip member headers, fed in pieces.
#include "input/gzip_header.h"

#include <zlib.h>

#include <cstring>

namespace ionex {

namespace {

enum Stage { kFixed, kExtraLength, kExtra, kName, kComment, kHeaderCrc, kFinished };

constexpr unsigned kFlagHeaderCrc = 0x02;
constexpr unsigned kFlagExtra = 0x04;
constexpr unsigned kFlagName = 0x08;
constexpr unsigned kFlagComment = 0x10;
constexpr unsigned kReservedFlags = 0xE0;
constexpr unsigned char kMethodDeflate = 8;

// Adds header bytes to the running CRC when the header carries its own CRC.
void addToCrc(GzipHeaderReader& r, const unsigned char* bytes, size_t n) {
    if ((r.flags & kFlagHeaderCrc) != 0 && n > 0) r.crc = crc32(r.crc, bytes, static_cast<uInt>(n));
}

// Gathers the bytes of a fixed-size field into r.field. Returns true once all `size` are there.
bool gatherField(GzipHeaderReader& r, size_t size, const unsigned char*& p, const unsigned char* end) {
    const size_t want = size - r.have;
    const size_t take = static_cast<size_t>(end - p) < want ? static_cast<size_t>(end - p) : want;
    std::memcpy(r.field + r.have, p, take);
    p += take;
    r.have += take;
    return r.have == size;
}

// The stage that follows `stage` under the header's flags.
// Returns the next stage whose field is present, or kFinished.
int nextStage(const GzipHeaderReader& r, int stage) {
    if (stage < kExtraLength && (r.flags & kFlagExtra) != 0) return kExtraLength;
    if (stage < kName && (r.flags & kFlagName) != 0) return kName;
    if (stage < kComment && (r.flags & kFlagComment) != 0) return kComment;
    if (stage < kHeaderCrc && (r.flags & kFlagHeaderCrc) != 0) return kHeaderCrc;
    return kFinished;
}

// Moves on to the field after `stage`. Returns nothing.
void advance(GzipHeaderReader& r, int stage) {
    r.stage = nextStage(r, stage);
    r.have = 0;
}

// Skips a zero-terminated field (name or comment), the zero included.
// Returns true once its zero was read.
bool skipZeroTerminated(GzipHeaderReader& r, const unsigned char*& p, const unsigned char* end) {
    const void* zero = std::memchr(p, 0, static_cast<size_t>(end - p));
    const unsigned char* stop = zero != nullptr ? static_cast<const unsigned char*>(zero) + 1 : end;
    addToCrc(r, p, static_cast<size_t>(stop - p));
    p = stop;
    return zero != nullptr;
}

// Reads as much of the current field as the input holds.
// Returns kDone when the field (and with it maybe the header) is complete, kIncomplete when
// the input ran out, kBad on a rejected header.
GzipHeaderStatus readField(GzipHeaderReader& r, const unsigned char*& p, const unsigned char* end) {
    switch (r.stage) {
        case kFixed:
            if (!gatherField(r, 10, p, end)) return GzipHeaderStatus::kIncomplete;
            r.flags = r.field[3];
            if (r.field[2] != kMethodDeflate || (r.flags & kReservedFlags) != 0) return GzipHeaderStatus::kBad;
            r.crc = crc32(0L, Z_NULL, 0);
            addToCrc(r, r.field, 10);
            advance(r, kFixed);
            return GzipHeaderStatus::kDone;
        case kExtraLength:
            if (!gatherField(r, 2, p, end)) return GzipHeaderStatus::kIncomplete;
            addToCrc(r, r.field, 2);
            r.extra_left = static_cast<size_t>(r.field[0]) | static_cast<size_t>(r.field[1]) << 8;
            r.stage = kExtra;
            return GzipHeaderStatus::kDone;
        case kExtra: {
            const size_t take = static_cast<size_t>(end - p) < r.extra_left ? static_cast<size_t>(end - p) : r.extra_left;
            addToCrc(r, p, take);
            p += take;
            r.extra_left -= take;
            if (r.extra_left > 0) return GzipHeaderStatus::kIncomplete;
            advance(r, kExtra);
            return GzipHeaderStatus::kDone;
        }
        case kName:
        case kComment: {
            const int stage = r.stage;
            if (!skipZeroTerminated(r, p, end)) return GzipHeaderStatus::kIncomplete;
            advance(r, stage);
            return GzipHeaderStatus::kDone;
        }
        case kHeaderCrc: {
            if (!gatherField(r, 2, p, end)) return GzipHeaderStatus::kIncomplete;
            const unsigned stored = static_cast<unsigned>(r.field[0]) | static_cast<unsigned>(r.field[1]) << 8;
            if (stored != (r.crc & 0xFFFFu)) return GzipHeaderStatus::kBad;
            advance(r, kHeaderCrc);
            return GzipHeaderStatus::kDone;
        }
        default:
            return GzipHeaderStatus::kDone;
    }
}

}  // namespace

void startGzipHeader(GzipHeaderReader& reader) {
    std::memset(&reader, 0, sizeof reader);
    reader.stage = kFixed;
}

GzipHeaderStatus readGzipHeader(GzipHeaderReader& reader, const unsigned char* in,
                                size_t in_size, size_t* consumed) {
    const unsigned char* p = in;
    const unsigned char* end = in + in_size;
    GzipHeaderStatus status = GzipHeaderStatus::kDone;
    while (reader.stage != kFinished && status == GzipHeaderStatus::kDone) {
        status = readField(reader, p, end);
    }
    *consumed = static_cast<size_t>(p - in);
    return status;
}

}  // namespace ionex
