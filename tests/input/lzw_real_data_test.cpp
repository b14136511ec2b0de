// Real compress streams: the distributed CODE product and streams made by the reference tool
// (ncompress, `compress -c -b B`) from real IONEX files and from a few MB of varied text.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "lzw_support.h"

namespace {

using ionex::LzwStatus;
using lzwtest::decode;
using lzwtest::kWhole;

// Strips and checks the magic bytes of a .Z file.
std::string afterMagic(const std::string& z) {
    EXPECT_GE(z.size(), 3u);
    if (z.size() < 2) return std::string();
    EXPECT_EQ(static_cast<uint8_t>(z[0]), 0x1f);
    EXPECT_EQ(static_cast<uint8_t>(z[1]), 0x9d);
    return z.substr(2);
}

// Compares without printing megabytes on a mismatch.
void expectSameBytes(const std::string& got, const std::string& want) {
    ASSERT_EQ(got.size(), want.size());
    if (got != want) {
        size_t i = 0;
        while (i < got.size() && got[i] == want[i]) ++i;
        FAIL() << "first difference at byte " << i;
    }
}

const std::string& codgPlain() {
    static const std::string s = lzwtest::readFile(lzwtest::dataPath("CODG0080.20I"));
    return s;
}

const std::string& esagPlain() {
    // The ESA product exists only as .Z: its text is what the reference tool decodes.
    static const std::string s =
        lzwtest::decompressWithTool(lzwtest::readFile(lzwtest::dataPath("esag0080.20i.Z")));
    return s;
}

const std::string& varied() {
    static const std::string s = lzwtest::variedText(3 << 20);
    return s;
}

// `compress -c -b bits` of a text, made once per process.
const std::string& toolStream(const std::string& name, const std::string& plain, int bits) {
    static std::map<std::pair<std::string, int>, std::string> cache;
    auto it = cache.find({name, bits});
    if (it == cache.end())
        it = cache.emplace(std::make_pair(name, bits),
                           afterMagic(lzwtest::compressWithTool(plain, bits))).first;
    return it->second;
}

#define REQUIRE_TOOL()                                                                  \
    do {                                                                                \
        if (!lzwtest::haveCompressTool())                                               \
            GTEST_SKIP() << "/usr/bin/compress (Debian package ncompress; none on Windows) is missing: " \
                            "cannot make compress streams with the reference tool";     \
    } while (0)

TEST(LzwRealData, DistributedCodgFileDecodesToThePlainFile) {
    const std::string z = lzwtest::readFile(lzwtest::dataPath("codg0080.20i.Z"));
    const std::string stream = afterMagic(z);
    ASSERT_EQ(static_cast<uint8_t>(stream[0]), 0x90);
    const lzwtest::DecodeResult r = decode(stream);
    EXPECT_EQ(r.status, LzwStatus::kEnd);
    expectSameBytes(r.out, codgPlain());
}

TEST(LzwRealData, DistributedCodgFileAnySplit) {
    const std::string stream = afterMagic(lzwtest::readFile(lzwtest::dataPath("codg0080.20i.Z")));
    const size_t sizes[] = {1, 7, 4096, kWhole};
    for (size_t in : sizes) {
        for (size_t out : sizes) {
            SCOPED_TRACE("input block " + std::to_string(in) + ", output capacity " +
                         std::to_string(out));
            const lzwtest::DecodeResult r = decode(stream, in, out);
            EXPECT_EQ(r.status, LzwStatus::kEnd);
            expectSameBytes(r.out, codgPlain());
        }
    }
}

TEST(LzwRealData, DistributedEsagFileMatchesTheReferenceTool) {
    REQUIRE_TOOL();
    const std::string stream = afterMagic(lzwtest::readFile(lzwtest::dataPath("esag0080.20i.Z")));
    ASSERT_FALSE(esagPlain().empty());
    EXPECT_NE(esagPlain().find("END OF HEADER"), std::string::npos);
    for (size_t in : {size_t{3}, kWhole}) {
        const lzwtest::DecodeResult r = decode(stream, in, in == kWhole ? kWhole : 1000);
        EXPECT_EQ(r.status, LzwStatus::kEnd);
        expectSameBytes(r.out, esagPlain());
    }
}

class LzwToolWidth : public ::testing::TestWithParam<int> {};

TEST_P(LzwToolWidth, CodgFile) {
    REQUIRE_TOOL();
    const int bits = GetParam();
    const std::string& stream = toolStream("codg", codgPlain(), bits);
    ASSERT_EQ(static_cast<uint8_t>(stream.at(0)), 0x80 | bits);
    expectSameBytes(decode(stream).out, codgPlain());
    expectSameBytes(decode(stream, 4096, 7).out, codgPlain());
}

TEST_P(LzwToolWidth, EsagFile) {
    REQUIRE_TOOL();
    const int bits = GetParam();
    ASSERT_FALSE(esagPlain().empty());
    const std::string& stream = toolStream("esag", esagPlain(), bits);
    ASSERT_EQ(static_cast<uint8_t>(stream.at(0)), 0x80 | bits);
    expectSameBytes(decode(stream).out, esagPlain());
    expectSameBytes(decode(stream, 7, 4096).out, esagPlain());
}

TEST_P(LzwToolWidth, VariedText) {
    REQUIRE_TOOL();
    const int bits = GetParam();
    const std::string& stream = toolStream("varied", varied(), bits);
    ASSERT_EQ(static_cast<uint8_t>(stream.at(0)), 0x80 | bits);
    const lzwtest::DecodeResult r = decode(stream);
    EXPECT_EQ(r.status, LzwStatus::kEnd);
    expectSameBytes(r.out, varied());
    expectSameBytes(decode(stream, 4096, 7).out, varied());
    expectSameBytes(decode(stream, 7, 4096).out, varied());

    // The text exercises what it is meant to: clear codes, the full table, KwKwK codes.
    const lzwtest::ReferenceResult ref = lzwtest::referenceDecode(stream);
    EXPECT_FALSE(ref.data_error);
    expectSameBytes(ref.out, varied());
    EXPECT_GT(ref.clear_codes, 0) << "no clear code in the -b " << bits << " stream";
    EXPECT_EQ(ref.widest, static_cast<unsigned>(bits));
    EXPECT_GT(ref.kwkwk, 0u);
}

INSTANTIATE_TEST_SUITE_P(Bits10To16, LzwToolWidth, ::testing::Range(10, 17),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "b" + std::to_string(info.param);
                         });

TEST(LzwRealData, VariedTextAnySplit) {
    REQUIRE_TOOL();
    const std::string& stream = toolStream("varied", varied(), 16);
    const size_t sizes[] = {1, 7, 4096, kWhole};
    for (size_t in : sizes) {
        for (size_t out : sizes) {
            SCOPED_TRACE("input block " + std::to_string(in) + ", output capacity " +
                         std::to_string(out));
            const lzwtest::DecodeResult r = decode(stream, in, out);
            EXPECT_EQ(r.status, LzwStatus::kEnd);
            expectSameBytes(r.out, varied());
        }
    }
}

TEST(LzwRealData, TruncatedToolStreamsEndCleanly) {
    // Cut the distributed file at many places: no error, and the output is what the plain
    // reference decoder of the rules gives, a prefix of the whole text.
    const std::string stream = afterMagic(lzwtest::readFile(lzwtest::dataPath("codg0080.20i.Z")));
    for (size_t cut : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{100}, size_t{1001},
                       size_t{4097}, size_t{65537}, size_t{200003}, stream.size() - 1}) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const std::string part = stream.substr(0, cut);
        const lzwtest::DecodeResult r = decode(part, 5, 333);
        EXPECT_EQ(r.status, LzwStatus::kEnd);
        EXPECT_EQ(codgPlain().compare(0, r.out.size(), r.out), 0);
        if (cut <= 4097) {
            const lzwtest::ReferenceResult ref = lzwtest::referenceDecode(part);
            EXPECT_EQ(r.out, ref.out);
        }
    }
}

}  // namespace
