// ionex.read's core and memory: what a read allocates follows the text it reads, never what a
// header claims. A test program of its own, as it replaces the global operator new.
#include <gtest/gtest.h>

#include <string>

#include "format_reader/value_storage.h"
#include "input/line_source.h"
#include "support/allocation_probe.h"
#include "support/ionex_text.h"
#include "support/test_files.h"

using ionex::kRmsMap;
using ionex::kTecMap;
using ionex::ReadStatus;
using ionextext::Grid;

namespace {

// Replaces every occurrence of `from` in `text` by `to`. Returns the text.
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size())) text.replace(p, from.size(), to);
    return text;
}

}  // namespace

TEST(IonexReadMemory, AllocationFollowsTheTextNotTheHeader) {
    struct Case {
        const char* name;
        Grid grid;
        int maps_claimed;
        std::string row;  // one row record and its values
        ReadStatus expected;
        const char* detail;
    };
    Grid huge;  // 175001 x 180001 nodes, steps finer than six columns can write
    huge.lat1 = 87.5, huge.lon1 = -180;
    const Case cases[] = {
        {"huge grid", huge, 1, ionextext::record("    87.5-180.0-180.0   0.0 450.0", "LAT/LON1/LON2/DLON/H") + "   11\n",
         ReadStatus::kCorrupt, "larger than the file's text can hold"},
        {"999999 maps", Grid{}, 999999, ionextext::record("    10.0 -10.0  10.0   5.0 450.0", "LAT/LON1/LON2/DLON/H") + "   11   12   13   14   15\n",
         ReadStatus::kTruncated, "TEC map 2 of 999999 missing"},
    };
    for (const Case& k : cases) {
        std::string text = ionextext::header(k.grid, k.maps_claimed);
        if (k.grid.lat1 == 87.5) {
            text = replaceAll(text, "    87.5   0.0  -5.0 ", "    87.5 -87.5 -0.001");
            text = replaceAll(text, "  -180.0  10.0   5.0 ", "  -180.0 180.0  0.002");
        }
        text += ionextext::record("     1", "START OF TEC MAP") + ionextext::record("  2020     1     8     0     0     0", "EPOCH OF CURRENT MAP");
        text += k.row + ionextext::record("     1", "END OF TEC MAP");
        const std::string path = testfiles::writeTemp("memory.14i", text);
        ASSERT_LT(text.size(), 4000u);
        allocprobe::reset();
        const auto r = ionextext::readPath(path);
        EXPECT_EQ(r.status, k.expected) << k.name << ": " << ionex::describeFailure(r.failure);
        EXPECT_NE(r.failure.detail.find(k.detail), std::string::npos) << r.failure.detail;
        EXPECT_LT(allocprobe::peak(), 12u << 20) << k.name;
        // The header alone: the whole grid's axes, a few MB at most.
        ionex::ReadOptions info;
        info.header_only = true;
        allocprobe::reset();
        EXPECT_EQ(ionextext::readPath(path, info).status, ReadStatus::kOk);
        EXPECT_LT(allocprobe::peak(), 12u << 20) << k.name;
    }
}

TEST(IonexReadMemory, PeakOfARealFileIsItsOutputAndLittleMore) {
    allocprobe::reset();
    const auto r = ionextext::readPath(testfiles::dataPath("codg0080.20i.gz"));
    ASSERT_EQ(r.status, ReadStatus::kOk);
    const size_t output = (r.contents.maps[kTecMap].values.size() + r.contents.maps[kRmsMap].values.size()) * sizeof(double);
    EXPECT_LT(allocprobe::peak(), 2 * output + (4u << 20)) << allocprobe::peak();
}

TEST(IonexReadMemory, ASteadyLoopOfReadsTakesNoLargeBlock) {
    // The line source's blocks, inflaters and decoder tables are kept for the next source, and the map
    // storage the caller gives back (as the gateway does) serves the next read: a second read
    // of the same file takes no block of 64 KB or more.
    for (const char* name : {"codg0080.20i.gz", "codg0080.20i.Z", "CODG0080.20I"}) {
        const std::string path = testfiles::dataPath(name);
        for (int round = 0; round < 3; ++round) {
            allocprobe::reset();
            auto r = ionextext::readPath(path);
            ASSERT_EQ(r.status, ReadStatus::kOk) << name;
            EXPECT_EQ(r.contents.maps[kTecMap].values.size(), 25u * 71 * 73) << name;
            if (round > 0) {
                EXPECT_LT(allocprobe::largest(), 64u << 10) << name << ", read " << round + 1;
            }
            for (ionex::MapSeries& m : r.contents.maps) ionex::keepValueStorage(m.values);
        }
        // The line source alone, opened and read to its end again.
        for (int round = 0; round < 2; ++round) {
            allocprobe::reset();
            ionex::LineSource* source = ionex::openLineSource(path.c_str());
            ASSERT_NE(source, nullptr);
            char line[512];
            long lines = 0;
            while (ionex::readLineLength(source, line, sizeof line) >= 0) ++lines;
            ionex::closeLineSource(source);
            EXPECT_EQ(lines, 22097) << name;  // the lines of CODG0080.20I
            if (round > 0) {
                EXPECT_LT(allocprobe::largest(), 1024u) << name;
            }
        }
    }
}

TEST(IonexReadMemory, KeptMapStorageIsBounded) {
    // Whatever is kept now is taken first, so that the bounds below are seen from empty.
    for (size_t k = 0; k < ionex::kKeptValueVectors; ++k) ionex::takeValueStorage();
    const size_t most = ionex::kKeptValueBytes / sizeof(double);
    struct Row {
        size_t capacity;  // of the vector given back
        size_t kept;      // capacity the next take gives
    };
    const Row rows[] = {{most + 1, 0}, {most, most}, {1000, 1000}, {0, 0}};
    for (const Row& row : rows) {
        std::vector<double> values;
        values.reserve(row.capacity);
        values.resize(row.capacity / 2, 1.0);
        ionex::keepValueStorage(values);
        EXPECT_EQ(values.capacity(), 0u) << row.capacity;
        const std::vector<double> taken = ionex::takeValueStorage();
        EXPECT_TRUE(taken.empty()) << row.capacity;
        EXPECT_EQ(taken.capacity(), row.kept) << row.capacity;
    }
    // No more than kKeptValueVectors are kept.
    for (size_t k = 0; k < ionex::kKeptValueVectors + 2; ++k) {
        std::vector<double> values(100);
        ionex::keepValueStorage(values);
    }
    size_t kept = 0;
    for (size_t k = 0; k < ionex::kKeptValueVectors + 2; ++k) kept += ionex::takeValueStorage().capacity() > 0;
    EXPECT_EQ(kept, ionex::kKeptValueVectors);
}
