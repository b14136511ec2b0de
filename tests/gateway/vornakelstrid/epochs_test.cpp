// Map epochs: serial day numbers and their running sum over the maps.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "vornakelstrid/epochs.h"
#include "gateway/common/ionex_writer.h"
#include "gateway/common/mex_call.h"
#include "minimex_testing.h"

namespace {

using gwtest::MexCall;

TEST(Datenum, CalendarTable) {
    struct Row { int year, month, day, hour, minute; double second; double expected; };
    const Row rows[] = {
        {2016, 4, 28, 0, 0, 0, 736448.0},
        {2016, 4, 28, 2, 0, 0, 736448.0833333334},
        {2016, 1, 1, 12, 30, 30, 736330.5211805556},
        {2015, 14, 1, 0, 0, 0, 736361.0},   // carried to 1 February 2016
        {2015, 13, 1, 0, 0, 0, 736330.0},   // January of the next year
        {2014, 25, 1, 0, 0, 0, 736330.0},   // January two years on
        {2000, 3, 1, 0, 0, 0, 730546.0},    // 2000 is a leap year
        {1900, 3, 1, 0, 0, 0, 694021.0},    // 1900 is not
        {2016, 0, 10, 0, 0, 0, 736339.0},   // month 0 counts like January
        {2016, 1, 10, 0, 0, 0, 736339.0},
        {2016, -5, 10, 0, 0, 0, 736339.0},  // and so does a negative month
        {2016, 5, 0, 0, 0, 0, 736450.0},    // day 0 of May is 30 April
        {2016, 4, 30, 0, 0, 0, 736450.0},
        {2016, 4, 28, 24, 0, 0, 736449.0},  // hour 24 is the next day
        {2016, 4, 28, 0, 0, 30.5, 736448.0003530092},
        {0, 1, 1, 0, 0, 0, 2.0},
        {2020, 1, 8, 0, 0, 0, 737798.0},
        // Whole-day sums beyond 32 bits do not wrap around.
        {INT_MAX, 1, 1, 0, 0, 0, 784352295941.0},
        {INT_MIN, 1, 1, 0, 0, 0, -784352296303.0},
        {2016, INT_MAX, 1, 0, 0, 0, 65363427627.0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(gateway::datenum(r.year, r.month, r.day, r.hour, r.minute, r.second), r.expected)
            << r.year << "-" << r.month << "-" << r.day << " " << r.hour << ":" << r.minute << ":" << r.second;
    }
}

// Epochs of a file announcing `num_maps` maps `interval` seconds apart, as output 2 of a
// point request.
std::vector<double> epochsOf(const std::string& num_maps, const std::string& interval) {
    gwtest::TempDir dir;
    gwtest::IonexText text;
    text.num_maps = num_maps;
    text.interval = interval;
    const std::string path = dir.write("epochs.14i", gwtest::render(text));
    MexCall call(2, {minimex::makeChar(path), minimex::makeRow({47, 8})});
    EXPECT_FALSE(call.failed()) << call.message();
    EXPECT_EQ(mxGetN(call.out(1)), 1u);
    return gwtest::valuesOf(call.out(1));
}

TEST(EpochOutput, RunningSumOverTwoHourMaps) {
    const std::vector<double> epochs = epochsOf("13", "7200");
    ASSERT_EQ(epochs.size(), 13u);
    EXPECT_EQ(epochs[0], 736448.0);
    EXPECT_EQ(epochs[1], 736448.0833333334);
    EXPECT_EQ(epochs[2], 736448.1666666667);
    EXPECT_EQ(epochs[3], 736448.2500000001);
    EXPECT_EQ(epochs[11], 736448.9166666671);
    EXPECT_EQ(epochs[12], 736449.0000000005);
}

TEST(EpochOutput, RunningSumOverQuarterHourMaps) {
    const std::vector<double> epochs = epochsOf("97", "900");
    ASSERT_EQ(epochs.size(), 97u);
    EXPECT_EQ(epochs[96], 736448.9999999963);
}

TEST(EpochOutput, ZeroAndNegativeIntervals) {
    const std::vector<double> same = epochsOf("3", "0");
    EXPECT_EQ(same, (std::vector<double>{736448.0, 736448.0, 736448.0}));
    const std::vector<double> falling = epochsOf("3", "-43200");
    EXPECT_EQ(falling, (std::vector<double>{736448.0, 736447.5, 736447.0}));
}

TEST(EpochOutput, NoMapsGiveAnEmptyColumn) {
    gwtest::TempDir dir;
    gwtest::IonexText text;
    text.num_maps = "0";
    const std::string path = dir.write("none.14i", gwtest::render(text));
    MexCall call(2, {minimex::makeChar(path)});
    ASSERT_FALSE(call.failed()) << call.message();
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(1), 0, 1));
    EXPECT_EQ(mxGetClassID(call.out(0)), mxCELL_CLASS);
    EXPECT_EQ(mxGetM(call.out(0)), 0u);
    EXPECT_EQ(mxGetN(call.out(0)), 1u);
}

TEST(EpochOutput, OnlyMadeForTwoOrMoreOutputs) {
    gwtest::TempDir dir;
    const std::string path = dir.write("one.14i", gwtest::render(gwtest::IonexText{}));
    MexCall call(1, {minimex::makeChar(path), minimex::makeRow({47, 8})});
    ASSERT_FALSE(call.failed()) << call.message();
    EXPECT_EQ(call.outputs.size(), 1u);
    EXPECT_EQ(minimex::lastCallTemporaryCount(), 3u);  // the two axes and the map grid
}

}  // namespace
