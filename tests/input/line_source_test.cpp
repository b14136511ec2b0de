// The line source hands out lines exactly as gzgets(file, line, 512) would, for every kind.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "input/line_source.h"
#include "input/line_source_faults.h"
#include "support/test_files.h"

using testfiles::gzipBytes;
using testfiles::readAllLines;
using testfiles::writeTemp;
using Lines = std::vector<std::string>;

TEST(LineSource, SplitsPlainTextLikeGzgets) {
    struct Case {
        const char* name;
        std::string bytes;
        Lines expected;
    };
    const std::string long600(600, 'x');
    const std::string exact511(511, 'y');
    const std::string exact510(510, 'z');
    const Case cases[] = {
        {"empty", "", {}},
        {"one line", "abc\n", {"abc\n"}},
        {"last line without newline", "a\nlast", {"a\n", "last"}},
        {"crlf kept", "a\r\nb\r\n", {"a\r\n", "b\r\n"}},
        {"empty lines", "\n\n", {"\n", "\n"}},
        {"600 characters in pieces", long600 + "\n", {long600.substr(0, 511), long600.substr(511) + "\n"}},
        {"511 characters, newline alone", exact511 + "\nq\n", {exact511, "\n", "q\n"}},
        {"510 characters and newline fit", exact510 + "\n", {exact510 + "\n"}},
        {"NUL bytes pass through", std::string("a\0b\n", 4), {std::string("a\0b\n", 4)}},
        {"single byte", "x", {"x"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readAllLines(writeTemp("plain.txt", c.bytes)), c.expected) << c.name;
    }
}

TEST(LineSource, SmallBufferSizesCutLinesToSizeMinusOne) {
    std::string path = writeTemp("small.txt", "abcdef\ngh\n");
    EXPECT_EQ(readAllLines(path, 2), (Lines{"a", "b", "c", "d", "e", "f", "\n", "g", "h", "\n"}));
    EXPECT_EQ(readAllLines(path, 4), (Lines{"abc", "def", "\n", "gh\n"}));
}

TEST(LineSource, GzipGivesTheSameLinesAsPlain) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "line " + std::to_string(i) + std::string(i % 700, '.') + "\n";
    Lines plain = readAllLines(writeTemp("big.txt", text));
    ASSERT_GT(plain.size(), 20000u);  // long lines arrive in pieces
    EXPECT_EQ(readAllLines(writeTemp("big.gz", gzipBytes(text))), plain);
}

TEST(LineSource, ReadsSeveralGzipMembersInARow) {
    std::string bytes = gzipBytes("first\nsec") + gzipBytes("ond\nthird\n") + gzipBytes("");
    EXPECT_EQ(readAllLines(writeTemp("multi.gz", bytes)), (Lines{"first\n", "second\n", "third\n"}));
}

TEST(LineSource, PlainBytesAfterAGzipMemberAreReadAsText) {
    std::string bytes = gzipBytes("zipped\n") + "plain tail\n";
    EXPECT_EQ(readAllLines(writeTemp("tail.gz", bytes)), (Lines{"zipped\n", "plain tail\n"}));
}

TEST(LineSource, TruncatedGzipDeliversWhatWasInflated) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "row " + std::to_string(i) + "\n";
    std::string gz = gzipBytes(text);
    for (size_t cut : {gz.size() - 4, gz.size() / 2, size_t{11}, size_t{2}}) {
        Lines lines = readAllLines(writeTemp("cut.gz", gz.substr(0, cut)));
        std::string joined;
        for (const std::string& l : lines) joined += l;
        EXPECT_EQ(text.compare(0, joined.size(), joined), 0) << "cut at " << cut;
        if (cut == gz.size() - 4) {
            EXPECT_EQ(joined, text) << "only the length field is missing";
        }
    }
}

TEST(LineSource, CorruptGzipCrcEndsAfterTheInflatedBytes) {
    std::string gz = gzipBytes("alpha\nbeta\n");
    gz[gz.size() - 8] ^= 0x55;  // CRC-32 of the trailer
    std::string joined;
    for (const std::string& l : readAllLines(writeTemp("crc.gz", gz + gzipBytes("never\n")))) joined += l;
    EXPECT_EQ(joined, "alpha\nbeta\n");
}

TEST(LineSource, MissingPathIsNullAndDirectoryReadsEmpty) {
    EXPECT_EQ(ionex::openLineSource("/nonexistent/dir/file.20i"), nullptr);
    EXPECT_EQ(ionex::openLineSource(nullptr), nullptr);
    EXPECT_TRUE(readAllLines("/tmp").empty());
}

TEST(LineSource, EndOfInputStaysTheEndAndLeavesAnEmptyString) {
    testfiles::OpenSource src(writeTemp("end.txt", "x\n"));
    char line[512];
    ASSERT_NE(ionex::readLine(src.source, line, 512), nullptr);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ionex::readLine(src.source, line, 512), nullptr);
        EXPECT_STREQ(line, "");
    }
}

TEST(LineSource, InjectedFaultThrowsOnTheChosenRead) {
    testfiles::OpenSource src(writeTemp("fault.txt", "1\n2\n3\n"));
    char line[512];
    ionex::testing::failReadNumber(2);
    EXPECT_NE(ionex::readLine(src.source, line, 512), nullptr);
    EXPECT_THROW(ionex::readLine(src.source, line, 512), std::runtime_error);
    ionex::testing::failReadNumber(0);
    EXPECT_STREQ(ionex::readLine(src.source, line, 512), "2\n");
}

TEST(LineSource, SourcesOpenAtOnceOnOneThreadKeepTheirOwnBytes) {
    // The first source holds the thread's working memory; the others get sets of their own.
    const std::string plain = testfiles::readData("CODG0080.20I");
    const std::string paths[] = {testfiles::dataPath("codg0080.20i.gz"), testfiles::dataPath("codg0080.20i.Z"),
                                 testfiles::dataPath("CODG0080.20I")};
    for (int round = 0; round < 2; ++round) {
        ionex::LineSource* sources[3];
        std::string joined[3];
        for (int k = 0; k < 3; ++k) sources[k] = ionex::openLineSource(paths[k].c_str());
        char line[512];
        bool any = true;
        while (any) {
            any = false;
            for (int k = 0; k < 3; ++k) {
                const long n = ionex::readLineLength(sources[k], line, sizeof line);
                if (n >= 0) joined[k].append(line, static_cast<size_t>(n)), any = true;
            }
        }
        for (int k = 0; k < 3; ++k) {
            EXPECT_TRUE(joined[k] == plain) << paths[k] << " in round " << round;
            ionex::closeLineSource(sources[round == 0 ? k : 2 - k]);  // closed in either order
        }
    }
}
