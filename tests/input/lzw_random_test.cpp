// Randomised streams (fixed seeds): random bytes after a valid flag byte, random code
// sequences that follow the width rules, and damaged real streams. Every one must decode
// without a crash or an access outside the tables (run under the sanitizer build too), give
// the same bytes for any split, and agree with the plain reference decoder of the rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "lzw_support.h"

namespace {

using ionex::LzwStatus;
using lzwtest::decode;
using lzwtest::kWhole;
using lzwtest::Rng;

// Flag bytes with a valid width (0 to 16), block mode on or off, bits 5 and 6 at random.
uint8_t randomFlag(Rng& rng) {
    static const uint8_t widths[] = {16, 16, 16, 12, 10, 9, 9, 8, 5, 0, 13, 15};
    uint8_t flag = widths[rng.below(sizeof widths)];
    if (rng.below(3) != 0) flag |= 0x80;
    flag |= static_cast<uint8_t>(rng.below(4) << 5);
    return flag;
}

void checkAgainstReference(const std::string& stream, Rng& rng) {
    const lzwtest::ReferenceResult ref = lzwtest::referenceDecode(stream);
    const LzwStatus want = ref.data_error ? LzwStatus::kDataError : LzwStatus::kEnd;
    const lzwtest::DecodeResult whole = decode(stream);
    EXPECT_EQ(whole.status, want);
    EXPECT_EQ(whole.out, ref.out);
    const size_t in = 1 + rng.below(9), out = 1 + rng.below(13);
    const lzwtest::DecodeResult split = decode(stream, in, out);
    EXPECT_EQ(split.status, want) << "input block " << in << ", output capacity " << out;
    EXPECT_EQ(split.out, ref.out) << "input block " << in << ", output capacity " << out;
}

TEST(LzwRandom, RandomBytesAfterAValidFlag) {
    Rng rng(20200108);
    int decoded_something = 0;
    for (int iter = 0; iter < 3000; ++iter) {
        std::string s(1, static_cast<char>(randomFlag(rng)));
        const size_t len = rng.below(iter < 2500 ? 64 : 2000);
        for (size_t i = 0; i < len; ++i) s.push_back(static_cast<char>(rng.next()));
        // Half of them get a valid first code (bit 8 of the first code clear).
        if (s.size() > 2 && rng.below(2) == 0) s[2] = static_cast<char>(s[2] & 0xfe);
        SCOPED_TRACE("iteration " + std::to_string(iter));
        checkAgainstReference(s, rng);
        if (::testing::Test::HasFailure()) return;
        if (lzwtest::referenceDecode(s).out.size() > 4) ++decoded_something;
    }
    // Most random streams stop early at a code above the next free code; enough go on.
    EXPECT_GT(decoded_something, 100);
}

// Code sequences that follow the rules, with KwKwK codes, clear codes, table codes and now
// and then a code above the next free code.
TEST(LzwRandom, RandomCodeSequences) {
    Rng rng(0xC0DE5);
    unsigned widest = 0;
    int clears = 0, errors = 0, full_tables = 0;
    for (int iter = 0; iter < 400; ++iter) {
        const uint8_t flag = randomFlag(rng);
        lzwtest::StreamBuilder b(flag, rng.below(2) ? ~0ull : 0);
        const bool block = (flag & 0x80) != 0;
        const uint32_t n = iter % 10 == 0 ? 70001 + rng.below(10000) : 1 + rng.below(3000);
        // Per stream: how often a clear code comes (never, rarely, often) and whether a
        // code above the next free code may come.
        static const uint32_t clear_per_million[] = {0, 10, 2000};
        const uint32_t clear_rate = block ? clear_per_million[rng.below(3)] : 0;
        const bool allow_error = iter % 3 == 0;
        for (uint32_t i = 0; i < n; ++i) {
            if (b.first()) {
                b.code(rng.below(256));
                continue;
            }
            const uint32_t nf = b.nextFree();
            const uint32_t low = block ? 257 : 256;
            const uint32_t r = rng.below(1000000);
            uint32_t c;
            if (r < clear_rate) {
                c = 256;
            } else if (allow_error && r > 999000) {
                c = nf + 1 + rng.below(5);
            } else if (r < 400000 || nf <= low) {
                c = rng.below(256);
            } else if (r < 900000) {
                c = low + rng.below(nf - low);  // a table code (nf - 1 >= low here)
            } else {
                c = nf;  // KwKwK (or, when the table is full, a code above it)
            }
            if (c >= (1u << b.width())) c = rng.below(256);
            b.code(c);
        }
        // Random tail bits.
        b.raw(rng.next(), rng.below(20));
        SCOPED_TRACE("iteration " + std::to_string(iter) + ", flag " + std::to_string(flag));
        checkAgainstReference(b.stream(), rng);
        if (::testing::Test::HasFailure()) return;
        const lzwtest::ReferenceResult ref = lzwtest::referenceDecode(b.stream());
        widest = std::max(widest, ref.widest);
        clears += ref.clear_codes;
        errors += ref.data_error ? 1 : 0;
        if ((flag & 0x1f) == 16 && ref.codes > 70000 && !ref.data_error && ref.clear_codes == 0)
            ++full_tables;
    }
    // The streams reached what they are meant to.
    EXPECT_EQ(widest, 16u);
    EXPECT_GT(clears, 100);
    EXPECT_GT(errors, 20);
    EXPECT_GT(full_tables, 0);
}

TEST(LzwRandom, LongestChainsOfKwKwKCodes) {
    // Every code equals the next free code: each string is one byte longer than the one
    // before, up to the table's end (largest width 12: 3840 entries).
    for (uint8_t flag : {uint8_t{0x8c}, uint8_t{0x0c}}) {
        lzwtest::StreamBuilder b(flag);
        b.code('z');
        while (b.nextFree() < 4096) b.code(b.nextFree());
        b.code(4095);  // the longest string once more, with the table full
        b.code('y');
        const lzwtest::ReferenceResult ref = lzwtest::referenceDecode(b.stream());
        ASSERT_FALSE(ref.data_error);
        const size_t longest = flag == 0x8c ? 3840 : 3841;
        size_t expected_size = 0;
        for (size_t k = 1; k <= longest; ++k) expected_size += k;
        expected_size += longest + 1;
        ASSERT_EQ(ref.out.size(), expected_size);
        EXPECT_EQ(ref.out, std::string(expected_size - 1, 'z') + "y");
        const lzwtest::DecodeResult whole = decode(b.stream());
        EXPECT_EQ(whole.status, LzwStatus::kEnd);
        EXPECT_TRUE(whole.out == ref.out);
        const lzwtest::DecodeResult split = decode(b.stream(), 7, 4096);
        EXPECT_TRUE(split.out == ref.out);
    }
}

TEST(LzwRandom, DamagedRealStreams) {
    const std::string z = lzwtest::readFile(lzwtest::dataPath("codg0080.20i.Z"));
    ASSERT_GT(z.size(), 30000u);
    const std::string clean = z.substr(2, 30000);
    Rng rng(8);
    for (int iter = 0; iter < 150; ++iter) {
        std::string s = clean.substr(0, 1 + rng.below(static_cast<uint32_t>(clean.size())));
        const uint32_t flips = 1 + rng.below(4);
        for (uint32_t k = 0; k < flips; ++k) {
            const size_t at = 1 + rng.below(static_cast<uint32_t>(s.size()));
            if (at < s.size()) s[at] = static_cast<char>(s[at] ^ (1 << rng.below(8)));
        }
        SCOPED_TRACE("iteration " + std::to_string(iter));
        checkAgainstReference(s, rng);
        if (::testing::Test::HasFailure()) return;
    }
}

}  // namespace
