// Helpers of the compress decoder tests: a block-wise driver of lzwDecode, a bit writer for
// hand-built streams, a plain reference decoder written straight from the format rules,
// a stream builder that follows the width rules, and the reference compress tool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "input/lzw_decoder.h"

namespace lzwtest {

constexpr size_t kWhole = static_cast<size_t>(-1);

struct DecodeResult {
    std::string out;
    ionex::LzwStatus status = ionex::LzwStatus::kNeedInput;
    size_t calls = 0;
};

// Decodes `stream` (the bytes after the magic 0x1F 0x9D: flag byte, then codes) through
// lzwDecode, feeding at most `in_block` bytes per call (kWhole: all) and giving an output
// capacity of `out_capacity` bytes per call (kWhole: large enough for everything left).
// Checks the contract on the way (no progress without a reason, no kNeedInput after the end
// of the input, later calls after kEnd or kDataError give nothing) with gtest assertions.
DecodeResult decode(const std::string& stream, size_t in_block = kWhole,
                    size_t out_capacity = kWhole);

// Packs codes least significant bit first.
class BitWriter {
public:
    void put(uint32_t code, unsigned width);
    void putBits(uint64_t bits, unsigned count);  // raw bits, e.g. the skipped ones
    size_t bitCount() const { return bits_; }
    // The bytes, the last one padded with zero bits.
    std::string bytes() const;

private:
    std::string bytes_;
    size_t bits_ = 0;
};

// Plain decoder of the rules, independent of lzw_decoder.cpp: whole input at once, bit by bit.
struct ReferenceResult {
    std::string out;
    bool data_error = false;
    int clear_codes = 0;
    unsigned widest = 0;     // largest code width reached
    size_t kwkwk = 0;        // codes equal to the next free code
    size_t codes = 0;        // codes decoded (clear codes included)
};
ReferenceResult referenceDecode(const std::string& stream);

// Writes codes with the widths and skips the rules give: tracks the next free code, the
// width growth (no skip) and the clear code's skip (filled with `skip_fill` bits).
class StreamBuilder {
public:
    explicit StreamBuilder(uint8_t flag, uint64_t skip_fill = 0);
    void code(uint32_t c);  // appends one code at the current width
    void raw(uint64_t bits, unsigned count) { writer_.putBits(bits, count); }
    size_t bitCount() const { return writer_.bitCount(); }
    uint32_t nextFree() const { return next_free_; }
    unsigned width() const { return width_; }
    bool first() const { return first_; }
    // flag byte + packed codes (the last byte padded with zeros)
    std::string stream() const;

private:
    void grow();
    uint8_t flag_;
    unsigned max_width_;
    bool block_;
    uint64_t skip_fill_;
    BitWriter writer_;
    bool first_ = true;
    unsigned width_ = 9;
    uint32_t next_free_ = 256;
    uint64_t bit_count_ = 0;
};

// Test data directory file.
std::string dataPath(const std::string& name);
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// A fresh directory of this process for generated files, removed at exit.
const std::string& tempDir();

// True when the reference tool /usr/bin/compress can be run.
bool haveCompressTool();
// `compress -c -b bits` of `plain`; empty on failure.
std::string compressWithTool(const std::string& plain, int bits);
// `compress -dc` of a .Z file's bytes; empty on failure.
std::string decompressWithTool(const std::string& z);

// A few MB of varied text, the same on every run: words and numbers, IONEX-like rows,
// long runs of one byte, random printable and binary stretches, repeats.
std::string variedText(size_t size);

// A small deterministic generator (xorshift64*), so that random tests repeat exactly.
struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed) {}
    uint64_t next() {
        s ^= s >> 12;
        s ^= s << 25;
        s ^= s >> 27;
        return s * 0x2545F4914F6CDD1Dull;
    }
    // A number in [0, n), n > 0.
    uint64_t below(uint64_t n) { return next() % n; }
};

}  // namespace lzwtest
