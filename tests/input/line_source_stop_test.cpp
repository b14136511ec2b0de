// The line source asks its stop check before its first read and then every few megabytes,
// and a source told to stop ends as at the end of its input and says so.
#include <gtest/gtest.h>

#include <string>

#include "common/stop_check.h"
#include "input/line_source.h"
#include "support/test_files.h"

namespace {

// A stop check that counts its calls and says stop from call `stop_at` on (0: never).
struct CountingStop {
    long calls = 0;
    long stop_at = 0;
    static bool check(void* context) {
        CountingStop& c = *static_cast<CountingStop*>(context);
        ++c.calls;
        return c.stop_at > 0 && c.calls >= c.stop_at;
    }
    ionex::StopCheck stopCheck() {
        ionex::StopCheck s;
        s.should_stop = check;
        s.context = this;
        return s;
    }
};

// Reads lines of `source` until it ends or `limit` characters came. Returns the characters read.
long long readCharacters(ionex::LineSource* source, long long limit) {
    char line[512];
    long long total = 0;
    long n = 0;
    while (total < limit && (n = ionex::readLineLength(source, line, sizeof line)) > 0) total += n;
    return total;
}

constexpr long long kMiB = 1024 * 1024;

}  // namespace

TEST(LineSourceStop, EndlessInputEndsAfterABoundedAmountOnceTold) {
#ifdef _WIN32
    GTEST_SKIP() << "no /dev/zero, /dev/urandom or FIFOs on Windows";
#endif
    struct Case {
        const char* path;
        long stop_at;
    };
    // /dev/zero: one endless line of NUL bytes; /dev/urandom: endless lines of noise.
    for (const Case& c : {Case{"/dev/zero", 1}, Case{"/dev/zero", 3}, Case{"/dev/urandom", 2}}) {
        testfiles::OpenSource file(c.path);
        ASSERT_NE(file.source, nullptr) << c.path;
        CountingStop stop;
        stop.stop_at = c.stop_at;
        ionex::setStopCheck(file.source, stop.stopCheck());
        const long long read = readCharacters(file.source, 1024 * kMiB);
        EXPECT_TRUE(ionex::lineSourceStopped(file.source)) << c.path;
        EXPECT_EQ(stop.calls, c.stop_at) << c.path;
        // Asked at the first read, then every few MiB (at most 4 MiB and a block).
        EXPECT_LE(read, (c.stop_at - 1) * (4 * kMiB + 128 * 1024)) << c.path;
        EXPECT_GE(read, (c.stop_at - 1) * 2 * kMiB) << c.path;
        // Once stopped, the source stays at its end.
        char line[8];
        EXPECT_EQ(ionex::readLineLength(file.source, line, sizeof line), -1);
        EXPECT_EQ(stop.calls, c.stop_at) << "asked again after it said stop";
    }
}

TEST(LineSourceStop, ACheckThatNeverStopsChangesNothingAndIsAskedRarely) {
    std::string text;
    for (int i = 0; text.size() < 9 * kMiB; ++i) text += "line " + std::to_string(i) + std::string(60, '.') + "\n";
    struct Case {
        const char* name;
        std::string bytes;
    };
    for (const Case& c : {Case{"plain", text}, Case{"gzip", testfiles::gzipBytes(text)}}) {
        const std::string path = testfiles::writeTemp(std::string("stop.") + c.name, c.bytes);
        const auto expected = testfiles::readAllLines(path);
        testfiles::OpenSource file(path);
        CountingStop stop;
        ionex::setStopCheck(file.source, stop.stopCheck());
        char line[512];
        std::vector<std::string> lines;
        long n = 0;
        while ((n = ionex::readLineLength(file.source, line, sizeof line)) > 0) lines.emplace_back(line, static_cast<size_t>(n));
        EXPECT_EQ(lines, expected) << c.name;
        EXPECT_FALSE(ionex::lineSourceStopped(file.source)) << c.name;
        // 9 MiB of text: the first read and one check per 4 MiB, give or take one.
        EXPECT_GE(stop.calls, 2) << c.name;
        EXPECT_LE(stop.calls, 4) << c.name;
    }
}

TEST(LineSourceStop, AStopBeforeTheFirstReadGivesNoLine) {
    const std::string path = testfiles::writeTemp("stop.first", "abc\ndef\n");
    testfiles::OpenSource file(path);
    CountingStop stop;
    stop.stop_at = 1;
    ionex::setStopCheck(file.source, stop.stopCheck());
    char line[512];
    EXPECT_EQ(ionex::readLineLength(file.source, line, sizeof line), -1);
    EXPECT_TRUE(ionex::lineSourceStopped(file.source));
    // Without a check the same file reads as usual, and is not marked as stopped.
    testfiles::OpenSource plain(path);
    EXPECT_EQ(ionex::readLineLength(plain.source, line, sizeof line), 4);
    EXPECT_FALSE(ionex::lineSourceStopped(plain.source));
}
