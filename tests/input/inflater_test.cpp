// Both gzip inflaters behind the line source: every valid stream decodes to the same bytes
// with either, and damaged streams end the input the same way where the outcome is certain.
// ISA-L's rows are checked when the build has it; zlib's always.
#include <gtest/gtest.h>
#include <zlib.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "input/gzip_header.h"
#include "input/gzip_inflater.h"
#include "input/line_source.h"
#include "support/test_files.h"

using ionex::InflaterKind;
using testfiles::gzipBytes;
using testfiles::readData;
using testfiles::writeTemp;

namespace {

// The inflaters this build can be asked for.
std::vector<InflaterKind> builtInflaters() {
    std::vector<InflaterKind> kinds{InflaterKind::kZlib};
    if (ionex::inflaterAvailable(InflaterKind::kIsal)) kinds.push_back(InflaterKind::kIsal);
    return kinds;
}

// Reads every line of `path` with the given inflater and joins them.
// Returns the decoded text (empty when the file does not open).
std::string decodeWith(const std::string& path, InflaterKind kind) {
    ionex::LineSource* source = ionex::openLineSource(path.c_str(), kind);
    std::string joined;
    if (source == nullptr) return joined;
    char line[512];
    long n = 0;
    while ((n = ionex::readLineLength(source, line, sizeof line)) >= 0) joined.append(line, static_cast<size_t>(n));
    ionex::closeLineSource(source);
    return joined;
}

// One gzip member of `text` made by zlib with the given level and strategy.
std::string deflateMember(const std::string& text, int level, int strategy, int window_bits = 16 + MAX_WBITS) {
    return testfiles::deflateBytes(text, level, strategy, window_bits);
}

// A gzip member with a hand-made header: `flags` and the optional fields, then the raw
// deflate data and trailer of `text`. The header CRC (flag 0x02) is right unless
// `bad_header_crc`.
std::string memberWithHeader(const std::string& text, unsigned char flags, unsigned char method = 8,
                             bool bad_header_crc = false) {
    std::string header{'\x1f', '\x8b', static_cast<char>(method), static_cast<char>(flags), 1, 2, 3, 4, 0, 3};
    if (flags & 0x04) header += std::string("\x05\x00" "extra", 7);
    if (flags & 0x08) header += std::string("name.20i\0", 9);
    if (flags & 0x10) header += std::string("a comment\0", 10);
    if (flags & 0x02) {
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(header.data()), static_cast<uInt>(header.size()));
        if (bad_header_crc) crc ^= 1;
        header += static_cast<char>(crc & 0xFF);
        header += static_cast<char>((crc >> 8) & 0xFF);
    }
    const std::string raw = deflateMember(text, 6, Z_DEFAULT_STRATEGY, -MAX_WBITS);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
    std::string trailer;
    for (int i = 0; i < 4; ++i) trailer += static_cast<char>((crc >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i) trailer += static_cast<char>((text.size() >> (8 * i)) & 0xFF);
    return header + raw + trailer;
}

// Text of n lines that look like IONEX data lines, with long runs and little repetition.
std::string sampleText(int lines) {
    std::string text;
    unsigned state = 12345;
    for (int i = 0; i < lines; ++i) {
        state = state * 1103515245u + 12345u;
        text += "  " + std::to_string(state >> 20) + std::string(i % 90, ' ') + std::to_string(i) + "\n";
    }
    return text;
}

std::string flipByte(std::string bytes, size_t at, unsigned char mask) {
    bytes[at] = static_cast<char>(bytes[at] ^ mask);
    return bytes;
}

// Writes deflate bits: plain values least significant bit first, Huffman codes most
// significant bit first.
struct BitWriter {
    std::string bytes;
    int used = 8;  // bits used of the last byte
    void put(unsigned value, int n) {
        for (int i = 0; i < n; ++i) {
            if (used == 8) {
                bytes += '\0';
                used = 0;
            }
            bytes.back() = static_cast<char>(bytes.back() | (((value >> i) & 1u) << used));
            ++used;
        }
    }
    void code(unsigned value, int n) {
        for (int i = n - 1; i >= 0; --i) put((value >> i) & 1u, 1);
    }
};

// A gzip member of one fixed-code block: `literals` (bytes below 144), then a match of
// length 9 at `distance` (97 .. 128, or 24577 .. 32768), then the end of the block. When the
// distance reaches back past the literals the match is invalid.
std::string memberWithMatch(const std::string& literals, unsigned distance) {
    BitWriter w;
    w.put(1, 1);  // last block
    w.put(1, 2);  // fixed codes
    for (unsigned char c : literals) w.code(0x30 + c, 8);
    w.code(263 - 256, 7);  // length 9
    const bool far = distance > 128;
    w.code(far ? 29 : 13, 5);
    w.put(distance - (far ? 24577 : 97), far ? 13 : 5);
    w.code(0, 7);  // end of block
    const std::string text = literals + (distance <= literals.size() ? literals.substr(literals.size() - distance, 9) : "");
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
    std::string member{'\x1f', '\x8b', 8, 0, 0, 0, 0, 0, 0, 3};
    member += w.bytes;
    for (int i = 0; i < 4; ++i) member += static_cast<char>((crc >> (8 * i)) & 0xFF);
    for (int i = 0; i < 4; ++i) member += static_cast<char>((text.size() >> (8 * i)) & 0xFF);
    return member;
}

struct Stream {
    const char* name;
    std::string file;      // the bytes on disk
    std::string expected;  // what every inflater must hand out
};

}  // namespace

TEST(Inflaters, EveryValidStreamDecodesToTheSameBytes) {
    const std::string codg = readData("CODG0080.20I");
    const std::string codg_gz = readData("codg0080.20i.gz");
    const std::string jpl_gz = readData("jplg0010.17i.gz");
    const std::string jpl = decodeWith(testfiles::dataPath("jplg0010.17i.gz"), InflaterKind::kZlib);
    ASSERT_GT(jpl.size(), 100000u);
    const std::string big = sampleText(60000);  // several output blocks
    const std::string small = "one line\n";
    const Stream streams[] = {
        {"real CODG -9", codg_gz, codg},
        {"real JPL", jpl_gz, jpl},
        {"two real members", codg_gz + jpl_gz, codg + jpl},
        {"member then .Z", codg_gz + readData("codg0080.20i.Z"), codg + codg},
        {"member then plain text", jpl_gz + "tail\nno newline", jpl + "tail\nno newline"},
        {"empty member between", gzipBytes("a\n") + gzipBytes("") + gzipBytes("b\n"), "a\nb\n"},
        {"stored blocks (level 0)", deflateMember(big, 0, Z_DEFAULT_STRATEGY), big},
        {"level 1", deflateMember(big, 1, Z_DEFAULT_STRATEGY), big},
        {"level 9", deflateMember(big, 9, Z_DEFAULT_STRATEGY), big},
        {"fixed codes", deflateMember(big, 6, Z_FIXED), big},
        {"Huffman only", deflateMember(big, 6, Z_HUFFMAN_ONLY), big},
        {"run lengths", deflateMember(std::string(300000, '9') + big, 6, Z_RLE), std::string(300000, '9') + big},
        {"header with extra field", memberWithHeader(small, 0x04), small},
        {"header with name", memberWithHeader(small, 0x08), small},
        {"header with comment", memberWithHeader(small, 0x10), small},
        {"header with every field and its CRC", memberWithHeader(big, 0x1F), big},
        {"header CRC alone", memberWithHeader(small, 0x02), small},
        {"text flag (0x01) changes nothing", memberWithHeader(small, 0x01), small},
    };
    for (const Stream& s : streams) {
        const std::string path = writeTemp("valid.gz", s.file);
        for (InflaterKind kind : builtInflaters()) {
            EXPECT_EQ(decodeWith(path, kind), s.expected) << s.name << " with " << ionex::inflaterName(kind);
        }
    }
}

TEST(Inflaters, CertainDamageEndsTheSameWayWithBoth) {
    const std::string text = sampleText(3000);
    const std::string gz = gzipBytes(text);
    const std::string next = gzipBytes("never read\n");
    const size_t n = gz.size();
    const Stream streams[] = {
        // A bad trailer ends the input after every byte of the member; nothing after it is read.
        {"bad CRC", flipByte(gz, n - 8, 0x01) + next, text},
        {"bad CRC, last byte", flipByte(gz, n - 5, 0x80) + next, text},
        {"bad length", flipByte(gz, n - 4, 0x01) + next, text},
        {"bad length, high byte", flipByte(gz, n - 1, 0x10) + next, text},
        // Bytes after a member that are no magic are plain text.
        {"garbage after a member", gz + "garbage\n\x01\x02", text + "garbage\n\x01\x02"},
        {"one stray byte after a member", gz + "\x1f", text + "\x1f"},
        // Headers zlib rejects give nothing.
        {"method 7", memberWithHeader(text, 0x00, 7), ""},
        {"reserved flag 0x20", memberWithHeader(text, 0x20), ""},
        {"reserved flag 0x80", memberWithHeader(text, 0x80), ""},
        {"bad header CRC", memberWithHeader(text, 0x1E, 8, true), ""},
        // Cut in the trailer: every byte of the data has come.
        {"trailer cut to 4 bytes", gz.substr(0, n - 4), text},
        {"trailer missing", gz.substr(0, n - 8), text},
        {"header cut", gz.substr(0, 7), ""},
        {"magic alone", gz.substr(0, 2), ""},
    };
    for (const Stream& s : streams) {
        const std::string path = writeTemp("damaged.gz", s.file);
        for (InflaterKind kind : builtInflaters()) {
            EXPECT_EQ(decodeWith(path, kind), s.expected) << s.name << " with " << ionex::inflaterName(kind);
        }
    }
}

TEST(Inflaters, AMatchReachingBeforeTheDataEndsWhereZlibEnds) {
    const std::string five = "aaaaa";
    std::string many;
    for (int i = 0; i < 20000; ++i) many += static_cast<char>('0' + i % 61);
    struct Case {
        const char* name;
        std::string file;
        std::string zlib;  // zlib stops right before the bad match
    };
    const Case cases[] = {
        {"valid match", memberWithMatch(many, 100), many + many.substr(many.size() - 100, 9)},
        {"5 literals, distance 100", memberWithMatch(five, 100), five},
        {"100 literals, distance 128", memberWithMatch(many.substr(0, 100), 128), many.substr(0, 100)},
        {"20000 literals, distance 32768", memberWithMatch(many, 32768), many},
        {"the same, then plain text", memberWithMatch(many, 32768) + std::string(5000, 'x'), many},
        {"a good member, then the bad one", gzipBytes(many) + memberWithMatch(many, 32768), many + many},
        {"the bad one, then a good member", memberWithMatch(five, 100) + gzipBytes(many), five},
    };
    for (const Case& c : cases) {
        const std::string path = writeTemp("lookback.gz", c.file);
        // ISA-L stops up to a match length earlier than zlib; the member is then inflated
        // again with zlib, so that every inflater hands out exactly zlib's bytes.
        for (InflaterKind kind : builtInflaters()) {
            EXPECT_EQ(decodeWith(path, kind), c.zlib) << c.name << " with " << ionex::inflaterName(kind);
        }
    }
}

TEST(Inflaters, CutOrFlippedStreamsGiveZlibsBytesWithBoth) {
    const std::string jpl_gz = readData("jplg0010.17i.gz");
    const std::string jpl = decodeWith(testfiles::dataPath("jplg0010.17i.gz"), InflaterKind::kZlib);
    const std::string codg_gz = readData("codg0080.20i.gz");
    // A cut member hands out only bytes of the text, from its start, and the same with both.
    for (size_t cut = 0; cut < jpl_gz.size(); cut += 997) {
        const std::string path = writeTemp("cut.gz", jpl_gz.substr(0, cut));
        const std::string zlib = decodeWith(path, InflaterKind::kZlib);
        EXPECT_LT(zlib.size(), jpl.size()) << "cut at " << cut;
        EXPECT_EQ(jpl.compare(0, zlib.size(), zlib), 0) << "cut at " << cut;
        for (InflaterKind kind : builtInflaters()) {
            const std::string got = decodeWith(path, kind);
            EXPECT_TRUE(got == zlib) << "cut at " << cut << " with " << ionex::inflaterName(kind) << ": "
                                     << got.size() << " bytes, zlib " << zlib.size();
        }
    }
    // A flipped byte in the data ends the member at the error or at the trailer check; every
    // inflater hands out zlib's bytes.
    unsigned state = 7;
    for (int k = 0; k < 120; ++k) {
        state = state * 1103515245u + 12345u;
        const size_t at = 10 + (state >> 8) % (codg_gz.size() - 18);
        const unsigned char mask = static_cast<unsigned char>(1 + (state >> 3) % 255);
        const std::string path = writeTemp("flip.gz", flipByte(codg_gz, at, mask));
        const std::string zlib = decodeWith(path, InflaterKind::kZlib);
        for (InflaterKind kind : builtInflaters()) {
            const std::string got = decodeWith(path, kind);
            EXPECT_TRUE(got == zlib) << "flip at " << at << " with " << ionex::inflaterName(kind) << ": "
                                     << got.size() << " bytes, zlib " << zlib.size();
        }
    }
}

TEST(Inflaters, HeaderReaderTakesHeadersInPiecesOfAnySize) {
    const std::string member = memberWithHeader("x\n", 0x1E);
    const size_t header_size = 10 + 7 + 9 + 10 + 2;
    for (size_t piece = 1; piece <= header_size + 1; ++piece) {
        ionex::GzipHeaderReader reader;
        ionex::startGzipHeader(reader);
        size_t at = 0;
        ionex::GzipHeaderStatus status = ionex::GzipHeaderStatus::kIncomplete;
        while (status == ionex::GzipHeaderStatus::kIncomplete && at < member.size()) {
            const size_t give = std::min(piece, member.size() - at);
            size_t used = 0;
            status = ionex::readGzipHeader(reader, reinterpret_cast<const unsigned char*>(member.data()) + at,
                                           give, &used);
            at += used;
        }
        EXPECT_EQ(status, ionex::GzipHeaderStatus::kDone) << "pieces of " << piece;
        EXPECT_EQ(at, header_size) << "pieces of " << piece;
    }
}

TEST(Inflaters, TheBuildNamesItsChoice) {
    EXPECT_TRUE(ionex::inflaterAvailable(ionex::defaultInflater()));
    EXPECT_EQ(ionex::openLineSource("/tmp", static_cast<InflaterKind>(7)), nullptr);
#ifdef IONEX_WITH_ISAL
    EXPECT_EQ(ionex::defaultInflater(), InflaterKind::kIsal);
#else
    EXPECT_EQ(ionex::defaultInflater(), InflaterKind::kZlib);
    EXPECT_EQ(ionex::openLineSource("/tmp", InflaterKind::kIsal), nullptr);
#endif
}


// Sets the test switch IONEX_INFLATER to `value`, or removes it for null. Returns nothing.
static void setInflaterSwitch(const char* value) {
#ifdef _WIN32
    _putenv_s("IONEX_INFLATER", value == nullptr ? "" : value);  // "" removes it
#else
    if (value == nullptr) {
        unsetenv("IONEX_INFLATER");
    } else {
        setenv("IONEX_INFLATER", value, 1);
    }
#endif
}

TEST(Inflaters, TheSwitchAndTheKindOfInputChooseTheInflater) {
    const std::string path = writeTemp("switch.gz", gzipBytes("a line\n"));
    struct Row {
        const char* value;  // of IONEX_INFLATER; null: unset
        InflaterKind expected;
    };
    const Row rows[] = {
        {nullptr, ionex::defaultInflater()},
        {"zlib", InflaterKind::kZlib},
        {"isal", InflaterKind::kIsal},
        {"something else", ionex::defaultInflater()},
    };
    for (const Row& row : rows) {
        setInflaterSwitch(row.value);
        ionex::LineSource* source = ionex::openLineSource(path.c_str());
        if (!ionex::inflaterAvailable(row.expected)) {
            EXPECT_EQ(source, nullptr) << "IONEX_INFLATER=" << row.value;  // asked for, not built in
            continue;
        }
        ASSERT_NE(source, nullptr) << (row.value ? row.value : "unset");
        EXPECT_EQ(ionex::lineSourceInflater(source), row.expected) << (row.value ? row.value : "unset");
        char line[512];
        EXPECT_EQ(ionex::readLineLength(source, line, sizeof line), 7);
        ionex::closeLineSource(source);
    }
    setInflaterSwitch(nullptr);
}

TEST(Inflaters, AnInputThatCannotBeReadAgainIsInflatedByZlib) {
#ifdef _WIN32
    GTEST_SKIP() << "no FIFOs on Windows";
#else
    // A FIFO: a member cut by ISA-L could not be read again from its start, so zlib inflates
    // every member, and the damaged member gives zlib's bytes.
    std::string many;
    for (int i = 0; i < 20000; ++i) many += static_cast<char>('0' + i % 61);
    const std::string damaged = gzipBytes(many) + memberWithMatch(many, 32768);
    const std::string fifo = writeTemp("fifo.gz", "") + ".fifo";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (InflaterKind kind : builtInflaters()) {
        std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << damaged; });
        ionex::LineSource* source = ionex::openLineSource(fifo.c_str(), kind);
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(ionex::lineSourceInflater(source), InflaterKind::kZlib) << ionex::inflaterName(kind);
        std::string joined;
        char line[512];
        long n = 0;
        while ((n = ionex::readLineLength(source, line, sizeof line)) >= 0) joined.append(line, static_cast<size_t>(n));
        ionex::closeLineSource(source);
        writer.join();
        EXPECT_TRUE(joined == many + many) << ionex::inflaterName(kind) << ": " << joined.size() << " bytes";
    }
    std::remove(fifo.c_str());
#endif
}
