// Real analysis-centre files read completely: header, DCBs and every TEC map, from each
// compressed form of the same product.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "keyword_reader/header_reader.h"
#include "keyword_reader/map_reader.h"
#include "support/test_files.h"
#include "keyword_reader/window.h"

namespace {

struct WholeFile {
    bool header_ok = false;
    ionex::IonexHeader header{};
    std::vector<double> satellites = std::vector<double>(32, 0.0);
    double receiver = 0.0;
    std::vector<int> results;
    std::vector<double> values;  // every map's whole grid, one after the other
};

// Reads the header (with DCBs for `receiver`) and every TEC map of the file.
WholeFile readWholeFile(const std::string& name, const char* receiver) {
    WholeFile f;
    testfiles::OpenSource src(testfiles::dataPath(name));
    EXPECT_NE(src.source, nullptr) << name;
    if (src.source == nullptr) return f;
    char line[512] = {};
    f.header_ok = ionex::readIonexHeader(src.source, f.header, line, f.satellites.data(), 32, receiver, &f.receiver);
    ionex::Range<int> lat{}, lon{};
    ionex::Range<float> lat_c{}, lon_c{};
    ionex::Location none{0, 0};
    EXPECT_TRUE(ionex::process_locations(none, none, f.header, false, lat, lon, lat_c, lon_c));
    size_t grid = static_cast<size_t>((lat.last + 1) * (lon.last + 1));
    float scale = ionex::pow10(f.header.exponent);
    for (int j = 0; j < f.header.num_maps; ++j) {
        std::vector<double> map(grid, NAN);
        f.results.push_back(ionex::readIonexMap(src.source, f.header, lat, lon, scale, j, line, map.data()));
        f.values.insert(f.values.end(), map.begin(), map.end());
    }
    return f;
}

size_t countNaN(const std::vector<double>& v) {
    size_t n = 0;
    for (double x : v) n += std::isnan(x) ? 1 : 0;
    return n;
}

}  // namespace

TEST(RealFiles, CodeDailyProductPlain) {
    WholeFile f = readWholeFile("CODG0080.20I", "albh");
    ASSERT_TRUE(f.header_ok);
    EXPECT_EQ(f.header.map_dimension, 2);
    EXPECT_EQ(f.header.num_maps, 25);
    EXPECT_EQ(f.header.interval, 3600);
    EXPECT_EQ(f.header.first_epoch.year, 2020);
    EXPECT_EQ(f.header.first_epoch.day, 8);
    EXPECT_EQ(f.header.exponent, -1);
    EXPECT_EQ(f.satellites[0], -7.615);
    EXPECT_EQ(f.satellites[1], 7.605);
    EXPECT_EQ(f.receiver, 6.100);
    EXPECT_EQ(f.results, std::vector<int>(25, 0));
    ASSERT_EQ(f.values.size(), 25u * 71 * 73);
    EXPECT_EQ(countNaN(f.values), 0u) << "every node of every map is supplied";
    EXPECT_EQ(f.values[0], 5.0 * static_cast<double>(0.1f));       // map 1, 87.5 N, 180 W
    EXPECT_EQ(f.values[16], 5.0 * static_cast<double>(0.1f));
    EXPECT_EQ(f.values[24 * 71 * 73 + 70 * 73 + 9], 79.0 * static_cast<double>(0.1f));  // map 25, 87.5 S, 135 W
}

TEST(RealFiles, SameProductFromEveryCompression) {
    WholeFile plain = readWholeFile("CODG0080.20I", "albh");
    for (const char* name : {"codg0080.20i.gz", "codg0080.20i.Z"}) {
        WholeFile other = readWholeFile(name, "albh");
        EXPECT_EQ(std::memcmp(&plain.header, &other.header, sizeof plain.header), 0) << name;
        EXPECT_EQ(other.satellites, plain.satellites) << name;
        EXPECT_EQ(other.receiver, plain.receiver) << name;
        EXPECT_EQ(other.results, plain.results) << name;
        EXPECT_TRUE(other.values == plain.values) << name;
    }
}

TEST(RealFiles, JplOldDcbLayoutAndEsaStationsFirst) {
    WholeFile jpl = readWholeFile("jplg0010.17i.gz", "");
    EXPECT_EQ(jpl.header.num_maps, 13);
    EXPECT_EQ(jpl.satellites[0], -7.516);
    EXPECT_EQ(jpl.satellites[1], 9.150);
    EXPECT_EQ(jpl.results, std::vector<int>(13, 0));
    EXPECT_EQ(countNaN(jpl.values), 0u);
    EXPECT_EQ(jpl.values[0], 33.0 * static_cast<double>(0.1f));  // map 1, 87.5 N, 180 W

    WholeFile esa = readWholeFile("esag0080.20i.Z", "");
    EXPECT_EQ(esa.header.num_maps, 13);
    EXPECT_EQ(esa.results, std::vector<int>(13, 0));
    EXPECT_EQ(countNaN(esa.values), 0u) << "lines padded to 80 columns read fully";
}

TEST(RealFiles, RegionalFileWithGluedValues) {
    WholeFile f = readWholeFile("jammed-fields.14i", "");
    EXPECT_EQ(f.header.exponent, -2);
    EXPECT_EQ(f.header.num_maps, 2);
    ASSERT_EQ(f.values.size(), 2u * 3 * 73);
    EXPECT_EQ(f.values[0], 8917.0 * static_cast<double>(0.01f));
    // "1015710167" is one token: the row's first value holds it and every later value moves up.
    EXPECT_EQ(f.values[73], static_cast<double>(1015710167.0f) * static_cast<double>(0.01f));
    EXPECT_EQ(f.values[74], 9847.0 * static_cast<double>(0.01f));
}
