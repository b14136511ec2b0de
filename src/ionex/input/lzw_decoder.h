// Decoder of Unix-compress (LZW, magic 0x1F 0x9D) streams, fed and drained in blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ionex {

// Outcome of one lzwDecode call.
enum class LzwStatus {
    kNeedInput,   // all given input was consumed (or buffered); call again with more
    kOutputFull,  // `out` is full; call again with more room
    kEnd,         // the stream ended (input ended and no whole, non-zero code is left)
    kDataError,   // bad flag byte, first code above 255, or a code above the next free code
};

// Decoder tables and state of one compress stream. Large (about 200 KB): keep it inside a
// heap-allocated owner, never on the stack. Nothing is shared between two decoders.
struct LzwDecoder {
    // Size of the string stack. A string holds at most 65536 - 255 + 1 bytes (every table
    // entry's prefix is a smaller code), so the stack never overflows.
    static constexpr uint32_t kStackSize = (1u << 16) + 1;

    uint16_t prefix[1 << 16];
    uint8_t suffix[1 << 16];
    uint8_t stack[kStackSize];  // a string is gathered downward from the end

    // Decoder state (see lzw_decoder.cpp).
    uint64_t bit_buffer;     // unread code bits, least significant first; zero above the count
    uint32_t bits_in_buffer;
    int phase;               // flag byte, first code, codes, end, data error
    uint32_t max_width;      // largest code width (flag bits 0 to 4)
    bool block_mode;         // flag bit 7: code 256 is the clear code
    uint32_t width;          // width in bits of the next code
    uint32_t code_limit;     // the code width grows when next_free exceeds this
    uint32_t table_end;      // 2^max_width: entries are added while next_free is below
    uint32_t next_free;      // code that the next table entry receives
    uint32_t previous_code;
    uint32_t first_byte;     // first byte of the most recently decoded string
    uint32_t codes_taken;    // codes taken since the last restart point, modulo 8:
                             // the bit count is codes_taken * width
    uint32_t pending_skip;   // bits to drop before the next code
    uint32_t pending_pos;    // bytes still to give out: stack[pending_pos, kStackSize)
};

// Prepares `decoder` for a new compress stream whose two magic bytes were already consumed:
// the next input byte is the flag byte.
void lzwStart(LzwDecoder& decoder);

// Decodes input bytes [in, in + in_size) into [out, out + out_capacity).
// `input_ended` is true when no byte will ever follow `in`'s last one.
// Sets *consumed and *produced; returns the status described above. After kEnd or
// kDataError every later call produces nothing and returns the same status.
// The output does not depend on how the input is split into blocks or on the capacities.
LzwStatus lzwDecode(LzwDecoder& decoder, const uint8_t* in, size_t in_size, bool input_ended,
                    size_t* consumed, uint8_t* out, size_t out_capacity, size_t* produced);

}  // namespace ionex
