// ionex.read's core over generated files: value scaling, 9999, per-map exponents, height maps
// and 3-D files, grids in every direction, line ends, files ending in each kind of map, every
// option, and the memory bound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "support/ionex_text.h"
#include "support/test_files.h"

using ionex::kHeightMap;
using ionex::kRmsMap;
using ionex::kTecMap;
using ionex::ReadStatus;
using ionextext::at;
using ionextext::Grid;

namespace {

bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

// Replaces every occurrence of `from` in `text` by `to`. Returns the text.
std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t p = text.find(from); p != std::string::npos; p = text.find(from, p + to.size())) text.replace(p, from.size(), to);
    return text;
}

// Checks every value of every map of `kind` against the pattern, scaled by 10^exponent.
void expectPattern(const ionex::IonexContents& c, int kind, const Grid& g, int maps, int exponent = -1) {
    ASSERT_EQ(c.maps[kind].values.size(), static_cast<size_t>(g.nlat() * g.nlon() * g.nhgt() * maps));
    for (int m = 0; m < maps; ++m)
        for (long h = 0; h < g.nhgt(); ++h)
            for (long i = 0; i < g.nlat(); ++i)
                for (long j = 0; j < g.nlon(); ++j) {
                    const long n = ionextext::defaultValue(m + 1, i, j, h);
                    const double want = exponent < 0 ? n / std::pow(10.0, -exponent) : n * std::pow(10.0, exponent);
                    ASSERT_EQ(at(c, kind, i, j, m, h), want) << "map " << m << " hgt " << h << " lat " << i << " lon " << j;
                }
}

ionex::ReadOptions lonRange(double a, double b) {
    ionex::ReadOptions o;
    o.has_lon_range = true;
    o.lon_range[0] = a;
    o.lon_range[1] = b;
    return o;
}

}  // namespace

TEST(IonexReadValues, ScaledToTheNearestDouble) {
    struct Case {
        int exponent;
        long written;
        double expected;
    };
    const Case cases[] = {
        {-1, 33, 3.3},   {-1, 1, 0.1},      {-2, 1015, 10.15}, {-3, 12345, 12.345}, {0, 42, 42.0},
        {1, 7, 70.0},    {-1, -5, -0.5},    {-1, 9999, NAN},   {-2, 9999, NAN},     {-1, 0, 0.0},
        {-1, 99999, 9999.9},
    };
    for (const Case& k : cases) {
        Grid g;
        g.exponent = k.exponent;
        const std::string text = ionextext::file(g, 1, false, [&](int, long i, long j, long) { return i == 0 && j == 0 ? k.written : 1L; });
        const auto r = ionextext::readText("scale.14i", text);
        ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
        EXPECT_TRUE(same(at(r.contents, kTecMap, 0, 0, 0), k.expected)) << k.written << "e" << k.exponent;
    }
}

TEST(IonexReadValues, ExponentInsideAMapHoldsForThatMapAlone) {
    Grid g;
    std::string text = ionextext::header(g, 3);
    const auto value = [](int, long, long, long) { return 1234L; };
    text += ionextext::mapBlock("TEC", 1, g, value);
    text += ionextext::mapBlock("TEC", 2, g, value, ionextext::record("    -2", "EXPONENT"));
    text += ionextext::mapBlock("TEC", 3, g, value);
    const auto r = ionextext::readText("exponent.14i", text);
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    EXPECT_EQ(at(r.contents, kTecMap, 1, 1, 0), 123.4);
    EXPECT_EQ(at(r.contents, kTecMap, 1, 1, 1), 12.34);
    EXPECT_EQ(at(r.contents, kTecMap, 1, 1, 2), 123.4);
}

TEST(IonexReadValues, HeightMapsAndThreeDimensionalFiles) {
    Grid g;
    g.hgt1 = 100;
    g.hgt2 = 300;
    g.dhgt = 100;
    std::string text = ionextext::header(g, 2);
    for (const char* kind : {"TEC", "RMS", "HEIGHT"}) {
        for (int m = 1; m <= 2; ++m) text += ionextext::mapBlock(kind, m, g, ionextext::defaultValue);
    }
    const auto r = ionextext::readText("three_d.14i", text);  // ends in a height map, no END OF FILE
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    EXPECT_EQ(r.contents.height, (std::vector<double>{100, 200, 300}));
    for (int kind : {kTecMap, kRmsMap, kHeightMap}) expectPattern(r.contents, kind, g, 2);
}

TEST(IonexReadValues, GridsInEveryDirection) {
    struct Case {
        const char* name;
        Grid grid;
    };
    auto grid = [](double lat1, double lat2, double dlat, double lon1, double lon2, double dlon) {
        Grid g;
        g.lat1 = lat1, g.lat2 = lat2, g.dlat = dlat, g.lon1 = lon1, g.lon2 = lon2, g.dlon = dlon;
        return g;
    };
    const Case cases[] = {
        {"north to south, west to east", grid(10, 0, -5, -10, 10, 5)},
        {"south to north", grid(-60, -30, 2.5, 100, 110, 2.5)},
        {"west-going", grid(40, 30, -5, 30, -30, -7.5)},
        {"0..360", grid(87.5, -87.5, -2.5, 0, 355, 5)},
        {"global -180..180", grid(87.5, -87.5, -2.5, -180, 180, 5)},
        {"one latitude", grid(45, 45, 0, -180, 180, 5)},
    };
    for (const Case& k : cases) {
        const auto r = ionextext::readText("grid.14i", ionextext::file(k.grid, 2, true));
        ASSERT_EQ(r.status, ReadStatus::kOk) << k.name << ": " << ionex::describeFailure(r.failure);
        ASSERT_EQ(r.contents.lat.size(), static_cast<size_t>(k.grid.nlat())) << k.name;
        ASSERT_EQ(r.contents.lon.size(), static_cast<size_t>(k.grid.nlon())) << k.name;
        for (size_t i = 0; i < r.contents.lat.size(); ++i) EXPECT_EQ(r.contents.lat[i], k.grid.lat1 + i * k.grid.dlat) << k.name;
        for (size_t j = 0; j < r.contents.lon.size(); ++j) EXPECT_EQ(r.contents.lon[j], k.grid.lon1 + j * k.grid.dlon) << k.name;
        expectPattern(r.contents, kTecMap, k.grid, 2);
        expectPattern(r.contents, kRmsMap, k.grid, 2);
    }
}

TEST(IonexReadValues, LineEndsPaddingAndRowsOverShortLinesReadAlike) {
    Grid g;
    g.lon1 = -180, g.lon2 = 180, g.dlon = 10;  // 37 values: three lines a row
    const std::string text = ionextext::file(g, 2, true);
    const auto plain = ionextext::readText("plain.14i", text);
    ASSERT_EQ(plain.status, ReadStatus::kOk) << ionex::describeFailure(plain.failure);
    expectPattern(plain.contents, kTecMap, g, 2);
    // Data lines padded to 80 columns, CR LF line ends, a row's values over lines of 4 values.
    std::string padded;
    std::string short_lines;
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        std::string line = text.substr(start, end - start);
        const bool data = line.size() <= 80 && line.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos;
        padded += (data ? line + std::string(80 - line.size(), ' ') : line) + "\n";
        if (!data) {
            short_lines += line + "\n";
            continue;
        }
        for (size_t p = 0; p < line.size(); p += 20) short_lines += line.substr(p, 20) + "\n";
    }
    const std::string variants[] = {padded, replaceAll(text, "\n", "\r\n"), short_lines, testfiles::gzipBytes(text)};
    for (const std::string& v : variants) {
        const auto r = ionextext::readText("variant.14i", v);
        ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
        EXPECT_EQ(r.contents.maps[kTecMap].values, plain.contents.maps[kTecMap].values);
        EXPECT_EQ(r.contents.maps[kRmsMap].values, plain.contents.maps[kRmsMap].values);
        EXPECT_EQ(r.contents.time, plain.contents.time);
    }
}

TEST(IonexReadValues, RowsLeftShortOrMissingAreNaN) {
    Grid g;
    std::string text = ionextext::file(g, 1, false);
    // Row 5.0 gives two of its five values; row 0.0 is left out.
    const std::string row5 = "     5.0 -10.0  10.0   5.0 450.0";
    const size_t p = text.find(row5);
    const size_t data = text.find('\n', p) + 1;
    text.replace(data, text.find('\n', data) - data, "  111  112");
    const size_t row0 = text.find("     0.0 -10.0  10.0   5.0 450.0");
    const size_t after = text.find('\n', text.find('\n', row0) + 1) + 1;
    text.erase(row0, after - row0);
    const auto r = ionextext::readText("short_rows.14i", text);
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    EXPECT_EQ(at(r.contents, kTecMap, 1, 0, 0), 11.1);
    EXPECT_EQ(at(r.contents, kTecMap, 1, 1, 0), 11.2);
    for (long j = 2; j < 5; ++j) EXPECT_TRUE(std::isnan(at(r.contents, kTecMap, 1, j, 0))) << j;
    for (long j = 0; j < 5; ++j) EXPECT_TRUE(std::isnan(at(r.contents, kTecMap, 2, j, 0))) << j;
    EXPECT_EQ(at(r.contents, kTecMap, 0, 4, 0), ionextext::defaultValue(1, 0, 4, 0) / 10.0);
}

TEST(IonexReadValues, FileEndingInEachKindOfMap) {
    Grid g;
    struct Case {
        std::vector<const char*> kinds;
        bool end_of_file;
    };
    const Case cases[] = {{{"TEC"}, false}, {{"TEC", "RMS"}, false}, {{"TEC", "RMS", "HEIGHT"}, false},
                          {{"TEC"}, true},  {{"TEC", "RMS", "HEIGHT"}, true}};
    for (const Case& k : cases) {
        std::string text = ionextext::header(g, 2);
        for (const char* kind : k.kinds)
            for (int m = 1; m <= 2; ++m) text += ionextext::mapBlock(kind, m, g, ionextext::defaultValue);
        if (k.end_of_file) text += ionextext::record("", "END OF FILE");
        const auto r = ionextext::readText("ending.14i", text);
        ASSERT_EQ(r.status, ReadStatus::kOk) << k.kinds.back() << ": " << ionex::describeFailure(r.failure);
        for (int kind = 0; kind < ionex::kMapKindCount; ++kind) {
            const bool expected = static_cast<size_t>(kind) < k.kinds.size();
            EXPECT_EQ(r.contents.maps[kind].present, expected) << kind;
            if (expected) expectPattern(r.contents, kind, g, 2);
        }
    }
}

TEST(IonexReadOptions, KindsHeaderOnlyAndTime) {
    Grid g;
    const std::string path = testfiles::writeTemp("options.14i", ionextext::file(g, 4, true));
    ionex::ReadOptions rms_only;
    rms_only.kinds[kTecMap] = false;
    auto r = ionextext::readPath(path, rms_only);
    ASSERT_EQ(r.status, ReadStatus::kOk);
    EXPECT_FALSE(r.contents.maps[kTecMap].present);
    EXPECT_TRUE(r.contents.maps[kTecMap].values.empty());
    expectPattern(r.contents, kRmsMap, g, 4);

    // TEC alone: the RMS maps that follow the last TEC map are not read, damaged or not.
    ionex::ReadOptions tec_only;
    tec_only.kinds[kRmsMap] = tec_only.kinds[kHeightMap] = false;
    const std::string full = ionextext::file(g, 4, true);
    const std::string damaged = full.substr(0, full.rfind('\n', full.rfind("START OF RMS MAP")) + 1);  // RMS map 4 missing
    r = ionextext::readText("tec_only.14i", damaged, tec_only);
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    expectPattern(r.contents, kTecMap, g, 4);
    EXPECT_FALSE(r.contents.maps[kRmsMap].present);
    EXPECT_EQ(ionextext::readText("tec_only.14i", damaged).status, ReadStatus::kTruncated);
    ionex::ReadOptions none;
    none.kinds[kTecMap] = none.kinds[kRmsMap] = none.kinds[kHeightMap] = false;
    r = ionextext::readPath(path, none);
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    for (const auto& m : r.contents.maps) EXPECT_FALSE(m.present);

    ionex::ReadOptions info;
    info.header_only = true;
    info.has_lat_range = true;
    info.lat_range[0] = info.lat_range[1] = 5;
    r = ionextext::readPath(path, info);
    ASSERT_EQ(r.status, ReadStatus::kOk);
    EXPECT_TRUE(r.contents.time.empty());
    EXPECT_EQ(r.contents.lat.size(), 3u);  // the whole grid's axes
    EXPECT_EQ(r.contents.lon.size(), 5u);
    EXPECT_EQ(*r.contents.header.num_maps, 4);
    for (const auto& m : r.contents.maps) EXPECT_FALSE(m.present);

    const double day = ionex::serialDayNumber({2020, 1, 8, 0, 0, 0});
    ionex::ReadOptions time;
    time.has_time_range = true;
    time.time_range[0] = day + 2.0 / 24;
    time.time_range[1] = day + 4.0 / 24;
    r = ionextext::readPath(path, time);
    ASSERT_EQ(r.status, ReadStatus::kOk);
    EXPECT_EQ(r.contents.time, (std::vector<double>{day + 2.0 / 24, day + 4.0 / 24}));
    EXPECT_EQ(at(r.contents, kTecMap, 1, 1, 0), ionextext::defaultValue(2, 1, 1, 0) / 10.0);
    EXPECT_EQ(at(r.contents, kRmsMap, 1, 1, 1), ionextext::defaultValue(3, 1, 1, 0) / 10.0);
    EXPECT_EQ(r.contents.maps[kRmsMap].values.size(), 2u * 15);
}

TEST(IonexReadOptions, LatitudeWindowEnclosesTheRange) {
    Grid g;  // latitudes 10, 5, 0
    const std::string path = testfiles::writeTemp("lat.14i", ionextext::file(g, 1, false));
    struct Case {
        double a, b;
        std::vector<double> lat;
        long first_row;
    };
    const Case cases[] = {{5, 7, {10, 5}, 0}, {7, 5, {10, 5}, 0}, {2, 3, {5, 0}, 1}, {0, 0, {0}, 2}, {-20, 1, {5, 0}, 1}, {-90, 90, {10, 5, 0}, 0}};
    for (const Case& k : cases) {
        ionex::ReadOptions o;
        o.has_lat_range = true;
        o.lat_range[0] = k.a;
        o.lat_range[1] = k.b;
        const auto r = ionextext::readPath(path, o);
        ASSERT_EQ(r.status, ReadStatus::kOk) << k.a << ".." << k.b;
        EXPECT_EQ(r.contents.lat, k.lat) << k.a << ".." << k.b;
        EXPECT_EQ(at(r.contents, kTecMap, 0, 2, 0), ionextext::defaultValue(1, k.first_row, 2, 0) / 10.0);
    }
}

TEST(IonexReadOptions, LongitudeWindowsAndTheSeam) {
    struct Case {
        double lon1, lon2, dlon;  // the grid
        double a, b;              // the range asked for
        std::vector<double> lon;  // the window's nodes
    };
    const Case cases[] = {
        {-180, 180, 30, -40, 40, {-60, -30, 0, 30, 60}},
        {-180, 180, 30, 170, -170, {150, 180, -150}},
        {-180, 180, 30, 350, 10, {-30, 0, 30}},
        {-180, 180, 30, 0, 360, {-180, -150, -120, -90, -60, -30, 0, 30, 60, 90, 120, 150, 180}},
        {-180, 180, 30, -180, 180, {-180, -150, -120, -90, -60, -30, 0, 30, 60, 90, 120, 150, 180}},
        {0, 360, 30, -40, 40, {300, 330, 360, 30, 60}},
        {0, 360, 30, 100, 130, {90, 120, 150}},
        {0, 330, 30, -40, 40, {300, 330, 0, 30, 60}},
        {0, 330, 30, 320, 20, {300, 330, 0, 30}},
        {180, -180, -30, 170, -170, {-150, -180, 150}},
        {0, 60, 30, -40, 40, {0, 30, 60}},
        {0, 60, 30, 10, 20, {0, 30}},
    };
    for (const Case& k : cases) {
        Grid g;
        g.lon1 = k.lon1, g.lon2 = k.lon2, g.dlon = k.dlon;
        const std::string path = testfiles::writeTemp("lon.14i", ionextext::file(g, 1, false));
        const auto whole = ionextext::readPath(path);
        const auto r = ionextext::readPath(path, lonRange(k.a, k.b));
        ASSERT_EQ(r.status, ReadStatus::kOk) << k.a << ".." << k.b << ": " << ionex::describeFailure(r.failure);
        EXPECT_EQ(r.contents.lon, k.lon) << "grid " << k.lon1 << ".." << k.lon2 << ", range " << k.a << ".." << k.b;
        // Each window column holds the whole grid's column of the same meridian.
        for (size_t j = 0; j < r.contents.lon.size(); ++j) {
            const auto w = std::find(whole.contents.lon.begin(), whole.contents.lon.end(), r.contents.lon[j]);
            ASSERT_NE(w, whole.contents.lon.end());
            for (long i = 0; i < 3; ++i) {
                EXPECT_EQ(at(r.contents, kTecMap, i, static_cast<long>(j), 0),
                          at(whole.contents, kTecMap, i, w - whole.contents.lon.begin(), 0));
            }
        }
    }
}

TEST(IonexReadOptions, RangesThatMakeNoSenseAreInputErrors) {
    Grid g;
    g.lon1 = 0, g.lon2 = 60, g.dlon = 30;
    const std::string path = testfiles::writeTemp("input.14i", ionextext::file(g, 1, false));
    std::vector<ionex::ReadOptions> cases(6);
    cases[0].has_lat_range = true, cases[0].lat_range[0] = NAN;
    cases[1].has_lat_range = true, cases[1].lat_range[0] = 30, cases[1].lat_range[1] = 60;  // outside 0..10
    cases[2] = lonRange(100, 120);                                                          // outside 0..60
    cases[3] = lonRange(-200, 10);
    cases[4].has_time_range = true, cases[4].time_range[0] = 2, cases[4].time_range[1] = 1;
    cases[5] = lonRange(0, 400);
    for (size_t i = 0; i < cases.size(); ++i) {
        const auto r = ionextext::readPath(path, cases[i]);
        EXPECT_EQ(r.status, ReadStatus::kInput) << i;
        EXPECT_FALSE(r.failure.detail.empty()) << i;
    }
}

TEST(IonexReadOptions, RangesBeyondTheGridAreInputErrorsNamingRangeAndExtent) {
    // Latitudes 10, 5, 0; longitudes 0, 30, 60 (a regional grid). A range beyond an end holds
    // no node: an error, never the edge row; a range overlapping the grid in part keeps the
    // nodes within it and the enclosing node inside the grid.
    Grid g;
    g.lon1 = 0, g.lon2 = 60, g.dlon = 30;
    const std::string path = testfiles::writeTemp("beyond.14i", ionextext::file(g, 1, false));
    struct Case {
        bool latitude;
        double a, b;
        std::vector<double> nodes;  // the window; empty: an error with `message`
        const char* message;
    };
    const Case cases[] = {
        {true, 11, 12, {}, "the latitude range [11 12] lies outside the grid's latitudes 10..0"},
        {true, 12, 10.5, {}, "the latitude range [12 10.5] lies outside the grid's latitudes 10..0"},
        {true, -0.5, -4, {}, "the latitude range [-0.5 -4] lies outside the grid's latitudes 10..0"},
        {true, 10, 12, {10}, ""},
        {true, -3, 0, {0}, ""},
        {true, 9, 12, {10, 5}, ""},
        {true, 6, 7, {10, 5}, ""},
        {false, 61, 70, {}, "the longitude range [61 70] lies outside the grid's longitudes 0..60"},
        {false, -5, -1, {}, "the longitude range [-5 -1] lies outside the grid's longitudes 0..60"},
        {false, 350, 359, {}, "the longitude range [350 359] lies outside the grid's longitudes 0..60"},
        {false, 100, -10, {}, "the longitude range [100 -10] lies outside the grid's longitudes 0..60"},
        {false, 60, 70, {60}, ""},
        {false, -5, 0, {0}, ""},
        {false, 350, 5, {0, 30}, ""},
        {false, 40, 50, {30, 60}, ""},
        {false, 50, 100, {30, 60}, ""},
    };
    for (const Case& k : cases) {
        ionex::ReadOptions o = k.latitude ? ionex::ReadOptions{} : lonRange(k.a, k.b);
        if (k.latitude) o.has_lat_range = true, o.lat_range[0] = k.a, o.lat_range[1] = k.b;
        const auto r = ionextext::readPath(path, o);
        const std::string what = (k.latitude ? "latitude " : "longitude ") + std::to_string(k.a) + ".." + std::to_string(k.b);
        if (k.nodes.empty()) {
            EXPECT_EQ(r.status, ReadStatus::kInput) << what;
            EXPECT_EQ(r.failure.detail, k.message) << what;
        } else {
            ASSERT_EQ(r.status, ReadStatus::kOk) << what << ": " << ionex::describeFailure(r.failure);
            EXPECT_EQ(k.latitude ? r.contents.lat : r.contents.lon, k.nodes) << what;
        }
    }
}

TEST(IonexReadOptions, TimeWindowWithoutMapsKeepsEachKindEmpty) {
    // A window between two epochs, or beyond them: each kind the file holds is present with
    // no map, and the header fields describe the maps returned; ionex.info keeps the header's.
    Grid g;
    const std::string path = testfiles::writeTemp("empty_time.14i", ionextext::file(g, 4, true));
    const double day = ionex::serialDayNumber({2020, 1, 8, 0, 0, 0});
    struct Case {
        double t0, t1;
        bool tec, rms;  // kinds asked for
        long maps;      // maps returned
        int first_hour, last_hour;
    };
    const Case cases[] = {
        {day + 1.0 / 24, day + 1.5 / 24, true, true, 0, -1, -1},
        {day + 3, day + 4, true, true, 0, -1, -1},
        {day + 1.0 / 24, day + 1.5 / 24, false, true, 0, -1, -1},
        {day + 1.0 / 24, day + 5.0 / 24, true, true, 2, 2, 4},
        {day - 1, day + 1, true, false, 4, 0, 6},
    };
    for (const Case& k : cases) {
        ionex::ReadOptions o;
        o.has_time_range = true;
        o.time_range[0] = k.t0, o.time_range[1] = k.t1;
        o.kinds[kTecMap] = k.tec, o.kinds[kRmsMap] = k.rms;
        const auto r = ionextext::readPath(path, o);
        const std::string what = std::to_string(k.t0 - day) + ".." + std::to_string(k.t1 - day);
        ASSERT_EQ(r.status, ReadStatus::kOk) << what << ": " << ionex::describeFailure(r.failure);
        EXPECT_EQ(r.contents.time.size(), static_cast<size_t>(k.maps)) << what;
        EXPECT_EQ(r.contents.maps[kTecMap].present, k.tec) << what;
        EXPECT_EQ(r.contents.maps[kRmsMap].present, k.rms) << what;
        EXPECT_FALSE(r.contents.maps[kHeightMap].present) << what;
        for (int kind : {kTecMap, kRmsMap}) {
            EXPECT_EQ(r.contents.maps[kind].values.size(), r.contents.maps[kind].present ? k.maps * 15u : 0u) << what;
        }
        ASSERT_TRUE(r.contents.header.num_maps.has_value()) << what;
        EXPECT_EQ(*r.contents.header.num_maps, k.maps) << what;
        EXPECT_EQ(r.contents.header.first_epoch.has_value(), k.maps > 0) << what;
        EXPECT_EQ(r.contents.header.last_epoch.has_value(), k.maps > 0) << what;
        if (k.maps > 0) {
            EXPECT_EQ(r.contents.header.first_epoch->hour, k.first_hour) << what;
            EXPECT_EQ(r.contents.header.last_epoch->hour, k.last_hour) << what;
        }
    }
    ionex::ReadOptions info;
    info.header_only = true;
    info.has_time_range = true;
    info.time_range[0] = day + 3, info.time_range[1] = day + 4;
    const auto r = ionextext::readPath(path, info);
    ASSERT_EQ(r.status, ReadStatus::kOk);
    EXPECT_EQ(*r.contents.header.num_maps, 4);
    EXPECT_EQ(r.contents.header.last_epoch->hour, 6);
}

TEST(IonexReadSeries, ProgressIsReportedAfterEachFileAndCanStopTheRead) {
    Grid g;
    const std::string a = testfiles::writeTemp("progress_a.14i", ionextext::file(g, 2, false));
    const std::string b = testfiles::writeTemp("progress_b.14i", ionextext::file(g, 2, false));
    const std::string broken = testfiles::writeTemp("progress_broken.14i", "not IONEX\n");
    struct Calls {
        std::vector<std::pair<size_t, size_t>> seen;
        size_t stop_after = 0;  // 0: never stop
    };
    auto report = [](void* context, size_t done, size_t total) {
        Calls& calls = *static_cast<Calls*>(context);
        calls.seen.emplace_back(done, total);
        return calls.seen.size() != calls.stop_after;
    };
    struct Case {
        std::vector<std::string> files;
        size_t stop_after;
        ReadStatus status;
        std::vector<std::pair<size_t, size_t>> seen;
    };
    const Case cases[] = {
        {{a, b, a}, 0, ReadStatus::kOk, {{1, 3}, {2, 3}, {3, 3}}},
        {{a}, 0, ReadStatus::kOk, {{1, 1}}},
        {{a, b, a}, 2, ReadStatus::kStopped, {{1, 3}, {2, 3}}},
        {{a, b, a}, 3, ReadStatus::kStopped, {{1, 3}, {2, 3}, {3, 3}}},
        {{a, broken, b}, 0, ReadStatus::kNotIonex, {{1, 3}}},
    };
    for (const Case& k : cases) {
        Calls calls;
        calls.stop_after = k.stop_after;
        ionex::ReadProgress progress;
        progress.report = report;
        progress.context = &calls;
        ionex::IonexContents c;
        ionex::ReadFailure f;
        EXPECT_EQ(ionex::readIonexSeries(k.files, ionex::ReadOptions{}, c, f, &progress), k.status) << k.files.size();
        EXPECT_EQ(calls.seen, k.seen) << k.files.size() << " files, stop after " << k.stop_after;
        if (k.status == ReadStatus::kStopped) {
            EXPECT_EQ(ionex::describeFailure(f), "the read was stopped");
        }
    }
    ionex::ReadProgress silent;  // no function: nothing is called
    ionex::IonexContents c;
    ionex::ReadFailure f;
    EXPECT_EQ(ionex::readIonexSeries({a, b}, ionex::ReadOptions{}, c, f, &silent), ReadStatus::kOk);
}

TEST(IonexReadSeries, DayBoundaryOrderAndGridMismatch) {
    Grid g;
    // Day one: 13 maps 00:00 .. 24:00; day two written as its own file from 2020-01-09 00:00.
    const std::string one = ionextext::file(g, 13, true);
    std::string two = ionextext::file(g, 13, true, [](int m, long i, long j, long) { return 5000L + m * 10 + i + j; });
    for (int m = 13; m >= 1; --m) {
        const int h = (m - 1) * 2;
        char from[64], to[64];
        std::snprintf(from, sizeof from, "  2020     1%6d%6d     0     0", 8 + h / 24, h % 24);
        std::snprintf(to, sizeof to, "  2020     1%6d%6d     0     0", 9 + h / 24, h % 24);
        two = replaceAll(two, from, to);
    }
    const std::string p1 = testfiles::writeTemp("day1.14i", one), p2 = testfiles::writeTemp("day2.14i", two);
    ionex::IonexContents c;
    ionex::ReadFailure f;
    ASSERT_EQ(ionex::readIonexSeries({p2, p1}, ionex::ReadOptions{}, c, f), ReadStatus::kOk) << ionex::describeFailure(f);
    ASSERT_EQ(c.time.size(), 25u);
    const double day8 = ionex::serialDayNumber({2020, 1, 8, 0, 0, 0});
    for (size_t k = 0; k < 25; ++k) EXPECT_EQ(c.time[k], day8 + k * 2.0 / 24) << k;
    EXPECT_EQ(at(c, kTecMap, 0, 0, 11), ionextext::defaultValue(12, 0, 0, 0) / 10.0);
    EXPECT_EQ(at(c, kTecMap, 0, 0, 12), (5000 + 10) / 10.0);  // 2020-01-09 00:00 from day two
    EXPECT_EQ(at(c, kRmsMap, 1, 2, 24), (5000 + 130 + 3) / 10.0);
    EXPECT_EQ(c.files, (std::vector<std::string>{p1, p2}));
    EXPECT_EQ(*c.header.num_maps, 25);
    EXPECT_EQ(c.header.last_epoch->day, 10);

    // A time window that keeps no map of the series: kinds present, no map, no epoch claimed.
    ionex::ReadOptions none;
    none.has_time_range = true;
    none.time_range[0] = none.time_range[1] = day8 + 1.0 / 24;
    ASSERT_EQ(ionex::readIonexSeries({p1, p2}, none, c, f), ReadStatus::kOk) << ionex::describeFailure(f);
    EXPECT_TRUE(c.time.empty());
    EXPECT_TRUE(c.maps[kTecMap].present && c.maps[kRmsMap].present);
    EXPECT_EQ(*c.header.num_maps, 0);
    EXPECT_FALSE(c.header.first_epoch || c.header.last_epoch);

    Grid other = g;
    other.dlon = 10;
    other.lon2 = 10;
    const std::string p3 = testfiles::writeTemp("other.14i", ionextext::file(other, 1, false));
    EXPECT_EQ(ionex::readIonexSeries({p1, p3}, ionex::ReadOptions{}, c, f), ReadStatus::kGridMismatch);
    EXPECT_EQ(f.file, p3);
}

