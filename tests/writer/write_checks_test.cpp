// What the writer refuses, before any file exists: each broken field as a row (what is
// broken, the field the refusal must name), and the values a chosen exponent cannot hold.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "writer/ionex_writer.h"
#include "writer/writer_support.h"

namespace {

using writertest::axis;

double tenths(std::size_t m, std::size_t i, std::size_t j, std::size_t) {
    return static_cast<double>(m * 10 + i * 3 + j) / 10.0;
}

TEST(WriteChecks, EachBrokenFieldIsRefusedByName) {
    struct Row {
        const char* what;
        std::function<void(writertest::MapSet&, ionex::WriteInput&)> breakIt;
        const char* field;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Row rows[] = {
        {"no TEC maps", [](auto&, auto& in) { in.maps[ionex::kTecMap] = nullptr; }, "tec"},
        {"a NaN latitude", [&](auto&, auto& in) { in.lat[1] = nan; }, "lat(2)"},
        {"uneven longitudes", [](auto&, auto& in) { in.lon[2] += 0.5; }, "lon"},
        {"longitudes uneven once unwrapped", [](auto&, auto& in) { in.lon = {170, 175, -170, -175}; }, "lon"},
        {"a repeated node", [](auto&, auto& in) { in.lat = {10, 10, 10}; }, "lat"},
        {"no latitude", [](auto&, auto& in) { in.lat.clear(); }, "lat"},
        {"a step finer than six columns hold", [](auto&, auto& in) { in.lon = axis(-170, 0.125, 5); }, "lon"},
        {"unsorted epochs", [](auto&, auto& in) { std::swap(in.time[0], in.time[2]); }, "time(2)"},
        {"two epochs in one second", [](auto&, auto& in) { in.time[1] = in.time[0] + 0.2 / 86400; }, "time(2)"},
        {"an epoch beyond year 9999", [](auto&, auto& in) { in.time[0] = 4e6; }, "time(1)"},
        {"no epoch", [](auto&, auto& in) { in.time.clear(); }, "time"},
        {"a comment of 61 characters", [](auto&, auto& in) { in.header.comments = {"ok", std::string(61, 'x')}; }, "comments{2}"},
        {"a tab in the description", [](auto&, auto& in) { in.header.description = {"a\tb"}; }, "description{1}"},
        {"a program name of 21 characters", [](auto&, auto& in) { in.header.program = std::string(21, 'p'); }, "program"},
        {"a system of 21 characters", [](auto&, auto& in) { in.header.system = std::string(21, 'G'); }, "system"},
        {"an elevation cutoff of 100 degrees", [](auto&, auto& in) { in.header.elevation_cutoff = 100.0; }, "elevation_cutoff"},
        {"a NaN base radius", [&](auto&, auto& in) { in.header.base_radius = nan; }, "base_radius"},
        {"a negative station count", [](auto&, auto& in) { in.header.num_stations = -1; }, "num_stations"},
        {"a header exponent of 100", [](auto&, auto& in) { in.header.exponent = 100; }, "exponent"},
        {"a record the writer derives", [](auto&, auto& in) { in.header.other_records = {{"EXPONENT", "-2"}}; }, "other_records{1}"},
        {"an aux block left open", [](auto&, auto& in) { in.header.other_records = {{"START OF AUX DATA", "OTHER"}}; }, "other_records"},
        {"a DCB title of another type",
         [](auto&, auto& in) { in.dcb.resize(1); in.dcb[0].title = "SATELLITE CLOCKS"; }, "dcb(1).title"},
        {"a PRN of 100",
         [](auto&, auto& in) { in.dcb.resize(1); in.dcb[0].satellites = {{'G', 100, 1.0, 0.1}}; }, "dcb(1).satellites.prn(1)"},
        {"a station name of five letters",
         [](auto&, auto& in) { in.dcb.resize(1); in.dcb[0].stations = {{'G', "ABCDE", "", 1.0, 0.1}}; }, "dcb(1).stations.name{1}"},
        {"an infinite bias",
         [](auto&, auto& in) { in.dcb.resize(1); in.dcb[0].satellites = {{'G', 1, std::numeric_limits<double>::infinity(), 0.1}}; }, "dcb(1).satellites.bias(1)"},
        {"an infinite map value", [](auto& set, auto&) { set.tec[4] = std::numeric_limits<double>::infinity(); }, "tec"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        writertest::MapSet set = writertest::makeSet(axis(10, -5, 3), axis(0, 5, 4), {}, 3, tenths);
        ionex::WriteInput in = set.input();
        r.breakIt(set, in);
        std::string text;
        ionex::WriteFailure failure;
        EXPECT_EQ(ionex::writeIonexString(in, text, failure), ionex::WriteStatus::kInput);
        EXPECT_EQ(failure.field, r.field) << failure.detail;
        EXPECT_FALSE(failure.detail.empty());
        EXPECT_TRUE(text.empty());
    }
}

TEST(WriteChecks, AChosenExponentThatCannotHoldAValueNamesMapNodeAndValue) {
    writertest::MapSet set = writertest::makeSet(axis(10, -5, 3), axis(0, 5, 4), {}, 3, tenths);
    set.tec[2 * 12 + 1 * 3 + 2] = 1234.5;  // map 3, longitude 5, latitude 0
    ionex::WriteInput in = set.input();
    in.has_exponent = true;
    in.exponent = -1;
    std::string text;
    ionex::WriteFailure failure;
    ASSERT_EQ(ionex::writeIonexString(in, text, failure), ionex::WriteStatus::kOk);  // 12345 fits five columns
    set.tec[2 * 12 + 1 * 3 + 2] = 12345.6;
    in = set.input();
    in.has_exponent = true;
    in.exponent = -1;
    ASSERT_EQ(ionex::writeIonexString(in, text, failure), ionex::WriteStatus::kInput);
    EXPECT_EQ(failure.field, "tec");
    EXPECT_NE(failure.detail.find("map 3"), std::string::npos) << failure.detail;
    EXPECT_NE(failure.detail.find("latitude 0, longitude 5"), std::string::npos) << failure.detail;
    EXPECT_NE(failure.detail.find("12345.6"), std::string::npos) << failure.detail;
    // Without the chosen exponent the file takes exponent 0.
    in.has_exponent = false;
    ASSERT_EQ(ionex::writeIonexString(in, text, failure), ionex::WriteStatus::kOk);
    EXPECT_NE(text.find("     0                                                      EXPONENT"), std::string::npos);
}

TEST(WriteChecks, AChosenExponentAppliesToEveryMap) {
    // Hundredths in every map: with -1 chosen they are rounded, with no EXPONENT record per map.
    writertest::MapSet set = writertest::makeSet({0}, {0, 5}, {}, 2, [](std::size_t, std::size_t, std::size_t j, std::size_t) {
        return j == 0 ? 0.25 : -0.35;
    });
    ionex::WriteInput in = set.input();
    in.has_exponent = true;
    in.exponent = -1;
    const std::string text = writertest::textOf(in);
    std::size_t records = 0;
    for (const std::string& line : writertest::linesOf(text)) records += line.size() > 60 && line.compare(60, 8, "EXPONENT") == 0;
    EXPECT_EQ(records, 1u);
    EXPECT_EQ(writertest::readBack(text).maps[0].values, (std::vector<double>{0.3, -0.4, 0.3, -0.4}));
}

}  // namespace
