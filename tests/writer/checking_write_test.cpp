// The write that checks each value as it encodes it must give the bytes of the plan that
// checks every value first (planWrite, then the text): rounding of halves, NaN, the file's
// exponent made coarser, maps with EXPONENT records of their own, heights, and the refusals
// of values a chosen exponent cannot hold, which leave no file behind.
#include <gtest/gtest.h>


#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "writer/ionex_text_writer.h"
#include "writer/ionex_writer.h"
#include "writer/write_plan.h"
#include "format_reader/ionex_reader.h"
#include "writer/writer_support.h"

namespace {

using writertest::axis;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// What the plan that checks every value first makes of `in`: its status, failure and text.
struct CheckedFirst {
    ionex::WriteStatus status;
    ionex::WriteFailure failure;
    std::string text;
};

// Bytes appended to the string `context`. Returns true.
bool appendTo(void* context, const char* data, std::size_t count) {
    static_cast<std::string*>(context)->append(data, count);
    return true;
}

CheckedFirst checkedFirst(const ionex::WriteInput& in) {
    CheckedFirst out;
    ionex::WritePlan plan;
    out.status = ionex::planWrite(in, plan, out.failure);
    if (out.status != ionex::WriteStatus::kOk) return out;
    EXPECT_TRUE(plan.values_checked);
    ionex::TextSink sink;
    sink.flush = appendTo;
    sink.context = &out.text;
    sink.buffer.resize(4096);  // small: many flushes, maps split between them
    EXPECT_EQ(ionex::writeIonexText(in, plan, sink), ionex::TextResult::kWritten);
    return out;
}

// Writes `in` both ways and expects the same outcome. Returns the text of the checking write.
std::string expectSameBothWays(const ionex::WriteInput& in) {
    const CheckedFirst reference = checkedFirst(in);
    std::string text;
    ionex::WriteFailure failure;
    EXPECT_EQ(ionex::writeIonexString(in, text, failure), reference.status);
    EXPECT_EQ(failure.field, reference.failure.field);
    EXPECT_EQ(failure.detail, reference.failure.detail);
    EXPECT_TRUE(text == reference.text) << "the texts differ";
    return text;
}

// The data lines of `text` (five-column values only), in order. Returns them.
std::vector<std::string> dataLines(const std::string& text) {
    std::vector<std::string> lines;
    for (const std::string& line : writertest::linesOf(text)) {
        if (line.size() % 5 == 0 && line.find_first_not_of(" -0123456789") == std::string::npos) lines.push_back(line);
    }
    return lines;
}

// The values of EXPONENT records, header first. Returns them.
std::vector<int> exponentRecords(const std::string& text) {
    std::vector<int> exponents;
    for (const std::string& line : writertest::linesOf(text)) {
        if (line.size() > 60 && line.compare(60, 8, "EXPONENT") == 0) exponents.push_back(std::stoi(line.substr(0, 6)));
    }
    return exponents;
}

double zero(std::size_t, std::size_t, std::size_t, std::size_t) { return 0.0; }

// The input of `set` with a fixed date: the two writes must not straddle a minute. Returns it.
ionex::WriteInput inputOf(const writertest::MapSet& set) {
    ionex::WriteInput in = set.input();
    in.header.date = "08-JAN-20 12:00";
    return in;
}

// A set of 3 maps of 2 x 4 nodes, all 0 but the values given for map 0's first row.
writertest::MapSet rowSet(const std::vector<double>& first_row) {
    writertest::MapSet set = writertest::makeSet({10, 5}, axis(0, 5, 4), {}, 3, zero);
    for (std::size_t j = 0; j < first_row.size(); ++j) set.tec[j * 2] = first_row[j];  // latitude fastest
    return set;
}

TEST(CheckingWrite, HalvesNaNAndWideFieldsAsTheCheckedPlanWritesThem) {
    struct Row {
        const char* what;
        std::vector<double> values;
        const char* line;  // the first data line of map 1, with -1 chosen
    };
    const Row rows[] = {
        {"decimal halves away from zero", {0.15, -0.15, 2.45, -2.45}, "    2   -2   25  -25"},
        {"binary halves away from zero", {0.25, -0.25, 0.05, -0.05}, "    3   -3    1   -1"},
        {"no value", {kNaN, 1.0, kNaN, -1.0}, " 9999   10 9999  -10"},
        {"five digits and the lowest value", {1015.7, 9999.9, -999.9, 999.95}, "1015799999-999910000"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        writertest::MapSet set = rowSet(r.values);
        ionex::WriteInput in = inputOf(set);
        in.has_exponent = true;
        in.exponent = -1;
        const std::vector<std::string> lines = dataLines(expectSameBothWays(in));
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], r.line);
        // Without the chosen exponent the same values, inexact at -1, may take a finer one.
        expectSameBothWays(inputOf(set));
    }
}

TEST(CheckingWrite, ExponentsOfTheFileAndOfEachMapAsTheCheckedPlanChoosesThem) {
    struct Row {
        const char* what;
        std::size_t kind;            // 0 TEC, 1 RMS
        std::size_t map;             // the map whose first node gets `value`
        double value;
        std::vector<int> exponents;  // the EXPONENT records written, the header's first
    };
    // Once the file's exponent is 0, every map exact at -1 gets a record of its own; a map
    // that does not fit -1 keeps the file's.
    const std::vector<int> coarser = {0, -1, -1, -1, -1, -1};
    const Row rows[] = {
        {"tenths everywhere", 0, 0, 12.3, {-1}},
        {"hundredths in one map: its own record", 0, 1, 12.34, {-1, -2}},
        {"thousandths in an RMS map", 1, 2, 0.125, {-1, -3}},
        {"a third, exact nowhere: the file's stays", 0, 1, 1.0 / 3, {-1}},
        {"too large at -1 in the last TEC map", 0, 2, 12345.0, coarser},
        {"too large at -1 in an RMS map, after every TEC map", 1, 2, 20000.0, coarser},
        {"rounding to 9999 at -1", 0, 0, 999.9, coarser},
        {"too large for 0 as well", 0, 1, 250000.0, {1, -1, -1, -1, -1, -1}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        writertest::MapSet set = writertest::makeSet({10, 5}, axis(0, 5, 4), {}, 3, [](std::size_t m, std::size_t i, std::size_t j, std::size_t) {
            return static_cast<double>(m * 10 + i * 4 + j) / 10.0;
        });
        set.rms.assign(set.tec.size(), 0.5);
        std::vector<double>& values = r.kind == 0 ? set.tec : set.rms;
        values[r.map * 8] = r.value;
        const std::string text = expectSameBothWays(inputOf(set));
        EXPECT_EQ(exponentRecords(text), r.exponents);
    }
}

TEST(CheckingWrite, HeightsTakeTheirMapsExponent) {
    // Three heights; map 2's top layer has hundredths, map 3's middle layer a value too large
    // at -1 (the file's exponent becomes 0, map 1 takes -1 and map 2 -2), then one that fits.
    writertest::MapSet set = writertest::makeSet({10, 5}, axis(0, 5, 3), {100, 200, 300}, 3,
                                                 [](std::size_t m, std::size_t i, std::size_t j, std::size_t h) {
                                                     return static_cast<double>(m + i + j + 10 * h) / 10.0;
                                                 });
    const std::size_t layer = 6, nmaps = 3;
    set.tec[2 * layer * nmaps + 1 * layer + 4] = 7.25;  // height 3, map 2
    set.tec[1 * layer * nmaps + 2 * layer + 0] = 12000.0;  // height 2, map 3
    EXPECT_EQ(exponentRecords(expectSameBothWays(inputOf(set))), (std::vector<int>{0, -1, -2}));
    set.tec[1 * layer * nmaps + 2 * layer + 0] = 500.0;
    EXPECT_EQ(exponentRecords(expectSameBothWays(inputOf(set))), (std::vector<int>{-1, -2}));
}

TEST(CheckingWrite, ValuesNoExponentCanHoldAreRefusedAsBefore) {
    struct Row {
        const char* what;
        double value;
        bool chosen;
        const char* detail;  // part of the message
    };
    const Row rows[] = {
        {"too large for the chosen -1", 12345.6, true, "does not fit a five-column field with the exponent -1"},
        {"an infinity", -std::numeric_limits<double>::infinity(), false, "has no IONEX value"},
        {"too large for any exponent", 1e120, false, "is too large for any exponent up to 99"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        writertest::MapSet set = writertest::makeSet({10, 5}, axis(0, 5, 4), {}, 3, zero);
        set.tec[2 * 8 + 3 * 2 + 1] = r.value;  // map 3, latitude 5, longitude 15
        ionex::WriteInput in = inputOf(set);
        in.has_exponent = r.chosen;
        in.exponent = -1;
        expectSameBothWays(in);
        std::string text = "left over";
        ionex::WriteFailure failure;
        ASSERT_EQ(ionex::writeIonexString(in, text, failure), ionex::WriteStatus::kInput);
        EXPECT_TRUE(text.empty());
        EXPECT_EQ(failure.field, "tec");
        EXPECT_NE(failure.detail.find("map 3 at latitude 5, longitude 15"), std::string::npos) << failure.detail;
        EXPECT_NE(failure.detail.find(r.detail), std::string::npos) << failure.detail;
    }
}


TEST(CheckingWrite, ARefusedValueFoundWhileWritingLeavesNoFile) {
    const std::string folder = testfiles::makeTempDir("ionex_checking_write_");
    writertest::MapSet set = writertest::makeSet(axis(87.5, -2.5, 71), axis(-180, 5, 73), {}, 25, zero);
    set.tec[24 * 71 * 73 + 72 * 71 + 70] = 12345.6;  // the last map's last node: found when nearly all is written
    ionex::WriteInput in = inputOf(set);
    in.has_exponent = true;
    in.exponent = -1;
    ionex::WriteFileOptions replace;
    replace.overwrite = true;
    for (const char* name : {"maps.20i", "maps.20i.gz"}) {
        SCOPED_TRACE(name);
        const std::string path = folder + "/" + name;
        ionex::WriteFailure failure;
        ASSERT_EQ(ionex::writeIonexFile(path, in, replace, failure), ionex::WriteStatus::kInput);
        EXPECT_EQ(failure.field, "tec");
        EXPECT_NE(failure.detail.find("map 25 at latitude -87.5, longitude 180"), std::string::npos) << failure.detail;
        EXPECT_TRUE(writertest::namesIn(folder).empty());
        // An existing file stays as it was, and the value is named before the file's existence.
        std::ofstream(path) << "keep me";
        ASSERT_EQ(ionex::writeIonexFile(path, in, replace, failure), ionex::WriteStatus::kInput);
        ASSERT_EQ(ionex::writeIonexFile(path, in, {}, failure), ionex::WriteStatus::kInput);
        EXPECT_EQ(failure.field, "tec");
        EXPECT_EQ(writertest::fileText(path), "keep me");
        EXPECT_EQ(writertest::namesIn(folder), std::vector<std::string>{name});
        std::remove(path.c_str());
    }
    testfiles::removeTree(folder);
}

TEST(CheckingWrite, AFileWrittenAgainAfterACoarserExponentIsComplete) {
    // A value too large at -1 in the last map: the file is begun at -1, abandoned, and
    // written again at 0, plain and gzip, by the same thread one after the other.
    const std::string folder = testfiles::makeTempDir("ionex_checking_write_");
    writertest::MapSet set = writertest::makeSet(axis(87.5, -2.5, 71), axis(-180, 5, 73), {}, 25,
                                                 [](std::size_t m, std::size_t i, std::size_t j, std::size_t) {
                                                     return static_cast<double>((m * 7 + i * 3 + j) % 400);
                                                 });
    set.tec.back() = 12345.0;
    const ionex::WriteInput in = inputOf(set);
    const std::string expected = checkedFirst(in).text;
    ASSERT_FALSE(expected.empty());
    const ionex::IonexContents back = writertest::readBack(expected);
    for (const char* name : {"maps.20i", "maps.20i.gz", "again.20i.gz"}) {
        SCOPED_TRACE(name);
        const std::string path = folder + "/" + name;
        ionex::WriteFailure failure;
        ASSERT_EQ(ionex::writeIonexFile(path, in, {}, failure), ionex::WriteStatus::kOk) << failure.detail;
        ionex::IonexContents read;
        ionex::ReadFailure read_failure;
        ASSERT_EQ(ionex::readIonexFile(path, ionex::ReadOptions{}, read, read_failure), ionex::ReadStatus::kOk);
        EXPECT_EQ(read.header.exponent, 0);
        EXPECT_EQ(read.maps[0].values, back.maps[0].values);
        if (std::string(name) == "maps.20i") {
            EXPECT_TRUE(writertest::fileText(path) == expected);
        }
    }
    EXPECT_EQ(writertest::namesIn(folder).size(), 3u);  // no temporary file left
    testfiles::removeTree(folder);
}

}  // namespace
