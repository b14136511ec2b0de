// Unix-compress (LZW) stream decoder.
//
// A push decoder in the manner of zlib's inflate. Code bits are gathered in a 64-bit buffer
// (least significant bit first); each string is gathered on the stack by one walk of the prefix
// chain and copied out with memcpy. A string that does not fit the caller's output waits on the
// stack for the next call, so any split of the input and any output capacity give the same bytes.
//
// Rules:
// - flag byte: bits 0-4 the largest code width (above 16: data error), bit 7 block mode; a
//   missing flag byte is a data error.
// - first code: needs 16 bits of code data (fewer in the whole stream: the stream is empty);
//   9 bits, above 255: data error; given out as one byte.
// - every later code: the code limit is 2^width - 1, or 2^max_width when width == max_width;
//   while next_free exceeds it the width grows by one, with no bits skipped, and the bit
//   count restarts. Code 256 in block mode clears the table: next_free 256, width 9, and the
//   bits up to the next multiple of 8 * width (the width before the clear) counted from the last
//   restart point are dropped. A code equal to next_free is the previous string plus its first
//   byte; a code above next_free is a data error. After each string, while next_free is below
//   2^max_width, the entry (previous code, first byte of this string) is added at next_free.
// - end of the input: while at least 16 bits remain a code is decoded as usual; with fewer, the
//   width growth applies as usual, then decoding stops when fewer than width bits remain or all
//   remaining bits are zero.
//
// Table invariant: every entry at or above 256 that was set has a prefix below its own code
// (the previous code is always below next_free when the entry is added), except entry 256 after
// a clear in block mode, which is never reached (code 256 is the clear code there and never
// becomes the previous code); entries not set since the start or the last clear have prefix 0
// and (after lzwStart) suffix 0. So every prefix walk descends strictly and a string is never
// longer than the stack.
#include "input/lzw_decoder.h"

#include <cstring>

namespace ionex {
namespace {

enum Phase : int {
    kPhaseFlag = 0,   // the next input byte is the flag byte
    kPhaseFirst = 1,  // the first code is next
    kPhaseCodes = 2,  // next-code state (possibly with output pending on the stack)
    kPhaseEnd = 3,
    kPhaseError = 4,
};

constexpr uint32_t kStackSize = LzwDecoder::kStackSize;
constexpr uint32_t kClearCode = 256;

inline uint64_t load64le(const uint8_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    v = __builtin_bswap64(v);
#endif
    return v;
}

inline uint32_t codeLimit(uint32_t width, uint32_t max_width) {
    return width == max_width ? (1u << max_width) : (1u << width) - 1;
}

}  // namespace

void lzwStart(LzwDecoder& d) {
    std::memset(d.prefix, 0, sizeof d.prefix);
    for (uint32_t i = 0; i < 256; ++i) d.suffix[i] = static_cast<uint8_t>(i);
    std::memset(d.suffix + 256, 0, sizeof d.suffix - 256);
    d.bit_buffer = 0;
    d.bits_in_buffer = 0;
    d.phase = kPhaseFlag;
    d.max_width = 0;
    d.block_mode = false;
    d.width = 9;
    d.code_limit = (1u << 9) - 1;
    d.table_end = 0;
    d.next_free = 256;
    d.previous_code = 0;
    d.first_byte = 0;
    d.codes_taken = 0;
    d.pending_skip = 0;
    d.pending_pos = kStackSize;
}

LzwStatus lzwDecode(LzwDecoder& d, const uint8_t* in, size_t in_size, bool input_ended,
                    size_t* consumed, uint8_t* out, size_t out_capacity, size_t* produced) {
    const uint8_t* ip = in;
    const uint8_t* const iend = in + in_size;
    uint8_t* op = out;
    uint8_t* const oend = out + out_capacity;

    // Working copies of the hot state.
    uint64_t buf = d.bit_buffer;
    uint32_t nbits = d.bits_in_buffer;  // always <= 63 (the refills stop there)
    uint32_t width = d.width;
    uint32_t mask = (1u << width) - 1;
    uint32_t limit = d.code_limit;
    uint32_t next_free = d.next_free;
    uint32_t prev = d.previous_code;
    uint32_t first_byte = d.first_byte;
    uint32_t codes_taken = d.codes_taken;
    uint32_t table_end = d.table_end;
    uint32_t max_width = d.max_width;
    bool block_mode = d.block_mode;
    uint16_t* const prefix = d.prefix;
    uint8_t* const suffix = d.suffix;
    uint8_t* const stack_end = d.stack + kStackSize;

    LzwStatus status;

    // Tops up the bit buffer to at least 56 bits, or to all the input there is. The fast
    // path loads 8 bytes and keeps the whole ones that fit; the bits above `nbits` it leaves
    // are those of the next input bytes, so the next load ORs the same bits over them.
    auto refill = [&]() {
        if (iend - ip >= 8) {
            buf |= load64le(ip) << nbits;
            const uint32_t k = (63 - nbits) >> 3;
            ip += k;
            nbits += k * 8;
        } else {
            while (nbits < 56 && ip < iend) {
                buf |= static_cast<uint64_t>(*ip++) << nbits;
                nbits += 8;
            }
        }
    };

    if (d.phase == kPhaseEnd) {
        status = LzwStatus::kEnd;
        goto done;
    }
    if (d.phase == kPhaseError) {
        status = LzwStatus::kDataError;
        goto done;
    }

    // Output left over from the previous call.
    if (d.pending_pos < kStackSize) {
        size_t n = kStackSize - d.pending_pos;
        const size_t room = static_cast<size_t>(oend - op);
        if (n > room) n = room;
        if (n != 0) {
            std::memcpy(op, d.stack + d.pending_pos, n);
            op += n;
            d.pending_pos += static_cast<uint32_t>(n);
        }
        if (d.pending_pos < kStackSize) {
            status = LzwStatus::kOutputFull;
            goto done;
        }
    }

    if (d.phase == kPhaseFlag) {
        if (ip == iend) {
            if (input_ended) {
                d.phase = kPhaseError;  // the stream is only the magic bytes
                status = LzwStatus::kDataError;
            } else {
                status = LzwStatus::kNeedInput;
            }
            goto done;
        }
        const uint32_t flag = *ip++;
        if ((flag & 0x1f) > 16) {
            d.phase = kPhaseError;
            status = LzwStatus::kDataError;
            goto done;
        }
        d.phase = kPhaseFirst;
        max_width = flag & 0x1f;  // the rest of the set-up is taken at the first code
        block_mode = (flag & 0x80) != 0;
    }

    if (d.phase == kPhaseFirst) {
        if (nbits < 16) refill();
        if (nbits < 16) {
            if (input_ended) {
                d.phase = kPhaseEnd;  // fewer than 16 bits of code data: nothing is decoded
                nbits = 0;
                status = LzwStatus::kEnd;
            } else {
                status = LzwStatus::kNeedInput;
            }
            goto done;
        }
        const uint32_t code = static_cast<uint32_t>(buf) & 0x1ff;
        buf >>= 9;
        nbits -= 9;
        if (code > 255) {
            d.phase = kPhaseError;
            status = LzwStatus::kDataError;
            goto done;
        }
        d.phase = kPhaseCodes;
        width = 9;
        mask = 0x1ff;
        limit = codeLimit(9, max_width);
        table_end = 1u << max_width;
        next_free = block_mode ? 257 : 256;
        prev = code;
        first_byte = code;
        codes_taken = 1;
        if (op < oend) {
            *op++ = static_cast<uint8_t>(code);
        } else {
            d.stack[kStackSize - 1] = static_cast<uint8_t>(code);
            d.pending_pos = kStackSize - 1;
            status = LzwStatus::kOutputFull;
            goto done;
        }
    }

    // Next-code state.
    for (;;) {
        if (d.pending_skip != 0) {
            for (;;) {
                const uint32_t drop = d.pending_skip < nbits ? d.pending_skip : nbits;
                buf >>= drop;  // drop <= 63
                nbits -= drop;
                d.pending_skip -= drop;
                if (d.pending_skip == 0) break;
                refill();
                if (nbits == 0) {
                    if (input_ended) {
                        d.pending_skip = 0;
                        d.phase = kPhaseEnd;
                        status = LzwStatus::kEnd;
                    } else {
                        status = LzwStatus::kNeedInput;
                    }
                    goto done;
                }
            }
        }

        if (next_free > limit) {  // width growth; no bits are skipped
            ++width;
            mask = (1u << width) - 1;
            limit = codeLimit(width, max_width);
            codes_taken = 0;
            continue;
        }

        if (nbits < 16) {
            refill();
            if (nbits < 16) {
                if (!input_ended) {
                    status = LzwStatus::kNeedInput;  // every input byte is in the buffer
                    goto done;
                }
                // End of the input with fewer than 16 bits left.
                if (nbits < width || (buf & ((uint64_t{1} << nbits) - 1)) == 0) {
                    d.phase = kPhaseEnd;
                    nbits = 0;
                    status = LzwStatus::kEnd;
                    goto done;
                }
            }
        }

        uint32_t code = static_cast<uint32_t>(buf) & mask;
        buf >>= width;
        nbits -= width;
        codes_taken = (codes_taken + 1) & 7;

        if (code == kClearCode && block_mode) {
            // The bit count is codes_taken * width (mod 8 * width): drop bits up to the next
            // multiple of 8 * width.
            d.pending_skip = width * ((8 - codes_taken) & 7);
            if (next_free > 256) {
                std::memset(prefix + 256, 0, (next_free - 256) * sizeof prefix[0]);
            }
            next_free = 256;
            width = 9;
            mask = 0x1ff;
            limit = codeLimit(9, max_width);
            codes_taken = 0;
            continue;
        }
        if (code > next_free) {
            d.phase = kPhaseError;
            status = LzwStatus::kDataError;
            goto done;
        }

        // Gather the string on the stack, last byte first.
        uint8_t* sp = stack_end;
        const uint32_t this_code = code;
        if (code == next_free) {  // KwKwK: the previous string and its first byte
            *--sp = static_cast<uint8_t>(first_byte);
            code = prev;
        }
        while (code >= 256) {
            *--sp = suffix[code];
            code = prefix[code];
        }
        *--sp = static_cast<uint8_t>(code);
        first_byte = code;

        if (next_free < table_end) {
            prefix[next_free] = static_cast<uint16_t>(prev);
            suffix[next_free] = static_cast<uint8_t>(first_byte);
            ++next_free;
        }
        prev = this_code;

        const size_t len = static_cast<size_t>(stack_end - sp);
        const size_t room = static_cast<size_t>(oend - op);
        if (len <= room) {
            std::memcpy(op, sp, len);
            op += len;
        } else {
            if (room != 0) {
                std::memcpy(op, sp, room);
                op += room;
            }
            d.pending_pos = static_cast<uint32_t>(sp - d.stack) + static_cast<uint32_t>(room);
            status = LzwStatus::kOutputFull;
            goto done;
        }
    }

done:
    d.bit_buffer = nbits == 0 ? 0 : (buf & ((uint64_t{1} << nbits) - 1));
    d.bits_in_buffer = nbits;
    d.max_width = max_width;
    d.block_mode = block_mode;
    d.table_end = table_end;
    d.width = width;
    d.code_limit = limit;
    d.next_free = next_free;
    d.previous_code = prev;
    d.first_byte = first_byte;
    d.codes_taken = codes_taken;
    *consumed = static_cast<size_t>(ip - in);
    *produced = static_cast<size_t>(op - out);
    return status;
}

}  // namespace ionex
