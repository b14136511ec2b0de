// Streams built from the format rules with a bit writer: each test states
// the codes, their widths and the bits in between, and the exact bytes that must come out.
#include <gtest/gtest.h>

#include <string>

#include "lzw_support.h"

namespace {

using ionex::LzwStatus;
using lzwtest::BitWriter;
using lzwtest::decode;
using lzwtest::kWhole;

std::string withFlag(uint8_t flag, const BitWriter& w) {
    return std::string(1, static_cast<char>(flag)) + w.bytes();
}

// Every split of the input and every output capacity in this list gives the same result.
void expectDecodes(const std::string& stream, const std::string& expected, LzwStatus status) {
    const size_t sizes[] = {1, 2, 3, 7, kWhole};
    for (size_t in : sizes) {
        for (size_t out : sizes) {
            SCOPED_TRACE("input block " + std::to_string(in) + ", output capacity " +
                         std::to_string(out));
            const lzwtest::DecodeResult r = decode(stream, in, out);
            EXPECT_EQ(r.out, expected);
            EXPECT_EQ(r.status, status);
        }
    }
    // The plain reference decoder of the rules agrees.
    const lzwtest::ReferenceResult ref = lzwtest::referenceDecode(stream);
    EXPECT_EQ(ref.out, expected);
    EXPECT_EQ(ref.data_error, status == LzwStatus::kDataError);
}

TEST(LzwRules, BlockModeLiteralsAndTableCodes) {
    // flag 0x90: block mode, largest width 16. Entries start at 257.
    BitWriter w;
    w.put('A', 9);  // "A"
    w.put('B', 9);  // "B", entry 257 = "AB"
    w.put(257, 9);  // "AB", entry 258 = "BA"
    w.put(258, 9);  // "BA", entry 259 = "ABB"
    w.put(259, 9);  // "ABB"
    expectDecodes(withFlag(0x90, w), "ABABBAABB", LzwStatus::kEnd);
}

TEST(LzwRules, NonBlockModeCode256IsAnOrdinaryCode) {
    // flag 0x10: block mode off; the next free code starts at 256.
    BitWriter w;
    w.put('A', 9);  // "A"
    w.put('B', 9);  // "B", entry 256 = "AB"
    w.put(256, 9);  // "AB", entry 257 = "BA"
    w.put(257, 9);  // "BA", entry 258 = "ABB"
    w.put(258, 9);  // "ABB"
    expectDecodes(withFlag(0x10, w), "ABABBAABB", LzwStatus::kEnd);

    // The same codes in block mode: 256 is the clear code (bit count 27 -> 45 bits dropped,
    // which here leaves fewer than 16 bits: the stream ends after "AB").
    expectDecodes(withFlag(0x90, w), "AB", LzwStatus::kEnd);
}

TEST(LzwRules, NonBlockModeCodeAboveNextFreeIsADataError) {
    BitWriter w;
    w.put('A', 9);
    w.put('B', 9);  // entry 256
    w.put(257, 9);  // next free code is 257: KwKwK, "BB"
    w.put(259, 9);  // next free code is 258: data error
    w.put('C', 9);
    expectDecodes(withFlag(0x10, w), "ABBB", LzwStatus::kDataError);
}

TEST(LzwRules, CodeEqualToNextFreeCode) {
    // KwKwK: the previous code's string followed by its first byte.
    BitWriter w;
    w.put('a', 9);  // "a"
    w.put(257, 9);  // next free 257: "a" + 'a' = "aa", entry 257 = "aa"
    w.put(258, 9);  // next free 258: "aa" + 'a' = "aaa", entry 258 = "aaa"
    w.put('x', 9);  // "x", entry 259 = "aaax"
    w.put(257, 9);  // "aa", entry 260 = "xa"
    w.put(261, 9);  // next free 261: "aa" + 'a', entry 261 = "aaa"
    w.put(259, 9);  // "aaax"
    w.put(260, 9);  // "xa"
    expectDecodes(withFlag(0x90, w), "a" "aa" "aaa" "x" "aa" "aaa" "aaax" "xa", LzwStatus::kEnd);

    // KwKwK on a chained code.
    BitWriter v;
    v.put('a', 9);  // "a"
    v.put('b', 9);  // "b", entry 257 = "ab"
    v.put(257, 9);  // "ab", entry 258 = "ba"
    v.put(259, 9);  // next free 259: "ab" + 'a' = "aba", entry 259 = "aba"
    v.put(259, 9);  // "aba", entry 260 = "abaa"
    expectDecodes(withFlag(0x90, v), "abababaaba", LzwStatus::kEnd);
}

TEST(LzwRules, LargestWidthBelowNineAddsNoEntries) {
    // flag 0x88: block mode, largest width 8. 2^8 = 256 <= 257: no entry is ever added, and
    // all codes stay 9 bits wide however many there are.
    BitWriter w;
    std::string expected;
    for (int i = 0; i < 700; ++i) {
        const uint32_t c = static_cast<uint32_t>((i * 37) % 256);
        w.put(c, 9);
        expected.push_back(static_cast<char>(c));
    }
    // Code 257 equals the next free code (still 257): the previous string plus its first
    // byte. Had the table grown, 257 would be the first two bytes' entry.
    w.put('q', 9);
    expected += "q";
    w.put(257, 9);
    expected += "qq";
    w.put('r', 9);
    expected += "r";
    expectDecodes(withFlag(0x88, w), expected, LzwStatus::kEnd);

    // Largest width 5, no block mode: the next free code stays 256.
    BitWriter n;
    n.put('k', 9);
    n.put(256, 9);  // KwKwK: "kk"
    n.put('m', 9);
    expectDecodes(withFlag(0x05, n), "kkkm", LzwStatus::kEnd);

    // Any code above the (stuck) next free code is a data error.
    BitWriter e;
    e.put('k', 9);
    e.put('l', 9);
    e.put(258, 9);
    expectDecodes(withFlag(0x88, e), "kl", LzwStatus::kDataError);
}

TEST(LzwRules, ClearCodeSkipsToTheNextGroupOfEightCodes) {
    // Width 9, first code and two more, then the clear code: bit count 36, the next
    // multiple of 72 is 72, so 36 bits are dropped. The dropped bits are all ones here,
    // so not dropping them would decode garbage or fail.
    BitWriter w;
    w.put('H', 9);
    w.put('I', 9);
    w.put('J', 9);
    w.put(256, 9);
    w.putBits(~0ull, 36);
    w.put('K', 9);   // read at width 9; next free code 256 -> entry 256 (never used)
    w.put('L', 9);   // entry 257 = "KL"
    w.put(257, 9);   // "KL"
    expectDecodes(withFlag(0x90, w), "HIJKLKL", LzwStatus::kEnd);

    // After 8 codes (bit count 72, a multiple of 72) nothing is dropped.
    BitWriter z;
    for (char c : std::string("1234567")) z.put(static_cast<uint8_t>(c), 9);
    z.put(256, 9);
    z.put('8', 9);
    z.put('9', 9);
    expectDecodes(withFlag(0x90, z), "123456789", LzwStatus::kEnd);

    // Two clear codes in a row: the second comes after one code (bit count 9): 63 bits.
    BitWriter two;
    two.put('x', 9);
    two.put(256, 9);                 // bit count 18 -> 54 dropped
    two.putBits(~0ull, 54);
    two.put(256, 9);                 // bit count 9 -> 63 dropped
    two.putBits(0x5555555555555555ull, 63);
    two.put('y', 9);
    two.put('z', 9);
    expectDecodes(withFlag(0x90, two), "xyz", LzwStatus::kEnd);
}

TEST(LzwRules, WidthGrowsWithoutSkippingAndClearAtWidthTen) {
    // Block mode, largest 16: the first code and 255 more fill entries 257..511; next free
    // 512 exceeds 2^9 - 1, so the next code is 10 bits wide, right after the last 9-bit one.
    BitWriter w;
    std::string expected;
    for (int i = 0; i < 256; ++i) {
        w.put(static_cast<uint32_t>(i), 9);
        expected.push_back(static_cast<char>(i));
    }
    ASSERT_EQ(w.bitCount(), 2304u);
    w.put('a', 10);
    w.put('b', 10);
    w.put(511, 10);  // entry 511 = (254, first byte of 255) = "\xfe\xff"
    expected += "ab\xfe\xff";
    // Clear at width 10 after 4 codes: bit count 40 -> next multiple of 80: 40 dropped.
    w.put(256, 10);
    w.putBits(~0ull, 40);
    w.put('c', 9);
    w.put('d', 9);
    w.put(257, 9);  // "cd"
    expected += "cdcd";
    expectDecodes(withFlag(0x90, w), expected, LzwStatus::kEnd);
}

TEST(LzwRules, NonBlockGrowthIsNotOnAGroupBoundary) {
    // Without block mode the first code and 256 more fill entries 256..511 (257 codes,
    // 2313 bits): the 10-bit codes follow at once (no bits are skipped on growth).
    BitWriter w;
    std::string expected;
    for (int i = 0; i < 257; ++i) {
        w.put(static_cast<uint32_t>(i % 256), 9);
        expected.push_back(static_cast<char>(i % 256));
    }
    w.put(512, 10);  // equals the next free code: KwKwK of "\0" -> "\0\0"
    w.put(513, 10);  // "\0\0\0"
    w.put('z', 10);
    expected += std::string("\0\0", 2) + std::string("\0\0\0", 3) + "z";
    expectDecodes(withFlag(0x10, w), expected, LzwStatus::kEnd);
}

TEST(LzwRules, TableStopsGrowingAtTheLargestWidth) {
    // Largest width 10: the width grows once; at width 10 the code limit is 2^10, entries stop
    // at 1023 and every later code stays 10 bits wide.
    BitWriter w;
    std::string expected;
    int count = 0;
    for (; count < 256; ++count) {
        w.put(static_cast<uint32_t>(count % 200), 9);
        expected.push_back(static_cast<char>(count % 200));
    }
    for (; count < 256 + 512 + 300; ++count) {
        w.put(static_cast<uint32_t>(count % 200), 10);
        expected.push_back(static_cast<char>(count % 200));
    }
    // Entry 1023 was the last one added: (code of the 767th, first byte of the 768th).
    w.put(1023, 10);
    expected.push_back(static_cast<char>(766 % 200));
    expected.push_back(static_cast<char>(767 % 200));
    expectDecodes(withFlag(0x8a, w), expected, LzwStatus::kEnd);
}

TEST(LzwRules, EndOfInputDropsZeroPadding) {
    BitWriter w;
    w.put('A', 9);
    w.put('B', 9);  // 18 bits in 3 bytes; 6 zero bits of padding
    const std::string base = withFlag(0x90, w);
    expectDecodes(base, "AB", LzwStatus::kEnd);
    // One more zero byte: 14 zero bits remain, fewer than 16 and all zero: dropped.
    expectDecodes(base + std::string(1, '\0'), "AB", LzwStatus::kEnd);
    // Two more zero bytes: 22 bits remain, at least 16, so code 0 is decoded as usual;
    // then 13 zero bits remain and are dropped.
    expectDecodes(base + std::string(2, '\0'), std::string("AB\0", 3), LzwStatus::kEnd);
}

TEST(LzwRules, EndOfInputRules) {
    // A zero code among fewer than 16 remaining bits is dropped with the padding.
    BitWriter zero;
    zero.put('A', 9);
    zero.put(0, 9);
    expectDecodes(withFlag(0x90, zero), "A", LzwStatus::kEnd);

    // The first code needs 16 bits of code data: one byte after the flag gives nothing.
    expectDecodes(std::string("\x90\x41", 2), "", LzwStatus::kEnd);
    expectDecodes(std::string("\x90", 1), "", LzwStatus::kEnd);
    // Two bytes: the first code ('A'); 7 bits remain, fewer than a code.
    expectDecodes(std::string("\x90\x41\x00", 3), "A", LzwStatus::kEnd);
    expectDecodes(std::string("\x90\x41\xfe", 3), "A", LzwStatus::kEnd);

    // Fewer than 16 but at least 9 bits, not all zero: one more code. 'C' is read with 14
    // bits left; then 5 bits (all ones) are left, fewer than a code.
    BitWriter w;
    w.put('A', 9);
    w.put('B', 9);
    w.put('C', 9);
    w.putBits(0x1f, 5);
    ASSERT_EQ(w.bitCount(), 32u);
    expectDecodes(withFlag(0x90, w), "ABC", LzwStatus::kEnd);

    // A trailing non-zero value of 9 to 15 bits is decoded like any code.
    BitWriter t;
    t.put('A', 9);
    t.put('B', 9);
    t.putBits(0x7f, 7);  // 25 bits: 14 bits remain after 'B', the code 0x7f
    expectDecodes(withFlag(0x90, t), "AB\x7f", LzwStatus::kEnd);
}

TEST(LzwRules, EndOfInputAppliesTheWidthGrowthFirst) {
    // Without block mode the width grows 15 -> 16 at a bit position that is 1 past a byte
    // boundary. With 15 non-zero bits left there, the width test of step 3 applies first:
    // the next code is 16 bits wide, 15 bits are not a whole code, and the stream ends.
    lzwtest::StreamBuilder b(0x10);
    std::string expected;
    for (uint32_t i = 0; b.width() < 16; ++i) {
        const uint32_t c = (i * 7 + i / 256) % 256;
        b.code(c);
        expected.push_back(static_cast<char>(c));
    }
    b.raw(0x7fff, 15);
    const std::string s = b.stream();
    ASSERT_EQ(s.size() * 8 - 8 - b.bitCount(), 0u) << "the 15 bits must end on a byte boundary";
    expectDecodes(s, expected, LzwStatus::kEnd);
}

TEST(LzwCorrupt, FlagWidth17GivesNothing) {
    BitWriter w;
    w.put('A', 9);
    w.put('B', 9);
    w.put('C', 9);
    expectDecodes(withFlag(0x91, w), "", LzwStatus::kDataError);
    expectDecodes(withFlag(0x9f, w), "", LzwStatus::kDataError);
    expectDecodes(withFlag(0x1f, w), "", LzwStatus::kDataError);
    // Width 16 with the unused bits 5 and 6 set is fine.
    expectDecodes(withFlag(0xf0, w), "ABC", LzwStatus::kEnd);
}

TEST(LzwCorrupt, MagicAloneIsADataError) {
    // No flag byte: the stream is only the two magic bytes.
    expectDecodes(std::string(), "", LzwStatus::kDataError);
}

TEST(LzwCorrupt, FirstCodeAbove255) {
    BitWriter w;
    w.put(256, 9);
    w.put('A', 9);
    expectDecodes(withFlag(0x90, w), "", LzwStatus::kDataError);
    BitWriter v;
    v.put(300, 9);
    v.put('A', 9);
    expectDecodes(withFlag(0x10, v), "", LzwStatus::kDataError);
}

TEST(LzwCorrupt, CodeAboveNextFreeCodeKeepsEarlierBytes) {
    BitWriter w;
    w.put('O', 9);
    w.put('K', 9);  // entry 257, next free 258
    w.put(257, 9);  // "OK", next free 259
    w.put(260, 9);  // above 259: data error
    w.put('X', 9);
    expectDecodes(withFlag(0x90, w), "OKOK", LzwStatus::kDataError);

    // After a clear the next free code is 256: 257 is above it.
    BitWriter c;
    c.put('O', 9);
    c.put(256, 9);
    c.putBits(0, 54);
    c.put(257, 9);
    expectDecodes(withFlag(0x90, c), "O", LzwStatus::kDataError);
}

TEST(LzwCorrupt, StreamCutInsideACode) {
    BitWriter w;
    for (char ch : std::string("cut here")) w.put(static_cast<uint8_t>(ch), 9);
    const std::string full = withFlag(0x90, w);
    expectDecodes(full, "cut here", LzwStatus::kEnd);
    // 8 codes = 72 bits = 9 bytes. Cut after byte k: the codes wholly inside stand, unless
    // fewer than 16 bits were there for the first code.
    for (size_t k = 0; k <= 9; ++k) {
        SCOPED_TRACE("cut after " + std::to_string(k) + " code bytes");
        const size_t bits = 8 * k;
        const size_t whole_codes = bits < 16 ? 0 : bits / 9;
        expectDecodes(full.substr(0, 1 + k), std::string("cut here").substr(0, whole_codes),
                      LzwStatus::kEnd);
    }
}

TEST(LzwApi, ZeroCapacityAndEmptyCalls) {
    BitWriter w;
    w.put('h', 9);
    w.put('i', 9);
    w.put(257, 9);
    const std::string s = withFlag(0x90, w);
    std::unique_ptr<ionex::LzwDecoder> d(new ionex::LzwDecoder);
    ionex::lzwStart(*d);
    const auto* in = reinterpret_cast<const uint8_t*>(s.data());
    uint8_t out[8];
    size_t consumed = 0, produced = 0;
    // No input yet, input not ended.
    EXPECT_EQ(ionex::lzwDecode(*d, in, 0, false, &consumed, out, sizeof out, &produced),
              LzwStatus::kNeedInput);
    EXPECT_EQ(consumed, 0u);
    EXPECT_EQ(produced, 0u);
    // Zero output capacity: the first string waits on the stack.
    EXPECT_EQ(ionex::lzwDecode(*d, in, s.size(), true, &consumed, out, 0, &produced),
              LzwStatus::kOutputFull);
    EXPECT_EQ(produced, 0u);
    std::string got;
    size_t pos = consumed;
    for (int i = 0; i < 20; ++i) {
        const LzwStatus st = ionex::lzwDecode(*d, in + pos, s.size() - pos, true, &consumed,
                                              out, 1, &produced);
        pos += consumed;
        got.append(reinterpret_cast<char*>(out), produced);
        if (st == LzwStatus::kEnd) break;
        ASSERT_EQ(st, LzwStatus::kOutputFull);
    }
    EXPECT_EQ(got, "hihi");
    EXPECT_EQ(pos, s.size());
    // Null pointers with zero sizes after the end.
    EXPECT_EQ(ionex::lzwDecode(*d, nullptr, 0, true, &consumed, nullptr, 0, &produced),
              LzwStatus::kEnd);
    // A second stream in the same decoder after lzwStart.
    ionex::lzwStart(*d);
    EXPECT_EQ(ionex::lzwDecode(*d, in, s.size(), true, &consumed, out, sizeof out, &produced),
              LzwStatus::kEnd);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), produced), "hihi");
}

TEST(LzwApi, TwoDecodersAtOnceShareNothing) {
    BitWriter a;
    a.put('a', 9);
    a.put('b', 9);
    a.put(257, 9);
    a.put(258, 9);
    BitWriter b;
    b.put('x', 9);
    b.put(257, 9);
    b.put(258, 9);
    const std::string sa = withFlag(0x90, a), sb = withFlag(0x90, b);
    std::unique_ptr<ionex::LzwDecoder> da(new ionex::LzwDecoder), db(new ionex::LzwDecoder);
    ionex::lzwStart(*da);
    ionex::lzwStart(*db);
    std::string ga, gb;
    size_t pa = 0, pb = 0;
    for (int i = 0; i < 100 && (pa < sa.size() || pb < sb.size() || ga.size() < 6 ||
                                gb.size() < 6); ++i) {
        uint8_t out[1];
        size_t consumed, produced;
        const size_t na = std::min<size_t>(1, sa.size() - pa);
        ionex::lzwDecode(*da, reinterpret_cast<const uint8_t*>(sa.data()) + pa, na,
                         pa + na == sa.size(), &consumed, out, 1, &produced);
        pa += consumed;
        ga.append(reinterpret_cast<char*>(out), produced);
        const size_t nb = std::min<size_t>(1, sb.size() - pb);
        ionex::lzwDecode(*db, reinterpret_cast<const uint8_t*>(sb.data()) + pb, nb,
                         pb + nb == sb.size(), &consumed, out, 1, &produced);
        pb += consumed;
        gb.append(reinterpret_cast<char*>(out), produced);
    }
    EXPECT_EQ(ga, "ababba");
    EXPECT_EQ(gb, "xxxxxx");
}

}  // namespace
