// ionex.read's core over real analysis-centre products: header records, DCB tables, TEC and
// RMS maps checked against the text of the files, per-map epochs, and a two-day series.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/calendar.h"
#include "keyword_reader/header_reader.h"
#include "keyword_reader/map_reader.h"
#include "keyword_reader/window.h"
#include "support/ionex_text.h"
#include "support/test_files.h"

using ionex::kRmsMap;
using ionex::kTecMap;
using ionex::ReadStatus;
using ionextext::at;

namespace {

ionextext::Read readData(const std::string& name, const ionex::ReadOptions& o = ionex::ReadOptions{}) {
    return ionextext::readPath(testfiles::dataPath(name), o);
}

double day(int y, int mo, int d, int h = 0, int mi = 0, double s = 0) {
    return ionex::serialDayNumber(ionex::IonexEpoch{y, mo, d, h, mi, s});
}

}  // namespace

TEST(IonexReadReal, CodeHeaderRecords) {
    const auto r = readData("CODG0440.13I");
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    const ionex::HeaderRecords& h = r.contents.header;
    EXPECT_EQ(*h.version, 1.0);
    EXPECT_EQ(h.file_type, "I");
    EXPECT_EQ(h.system, "GNSS");
    EXPECT_EQ(h.program, "ADDNEQ2 V5.3");
    EXPECT_EQ(h.run_by, "AIUB");
    EXPECT_EQ(h.date, "17-FEB-13 20:26");
    ASSERT_EQ(h.description.size(), 31u);
    EXPECT_EQ(h.description[0], "Global ionosphere maps (GIM) are generated on a daily basis");
    EXPECT_EQ(h.description.back(), "                 www.aiub.unibe.ch/download/CODE/");
    ASSERT_EQ(h.comments.size(), 30u);  // one before the description, 29 after the grid
    EXPECT_EQ(h.comments[0], "CODE'S GLOBAL IONOSPHERE MAPS FOR DAY 044, 2013");
    EXPECT_EQ(h.comments.back(), "zim2 zimm zwe2");
    EXPECT_EQ(h.first_epoch->day, 13);
    EXPECT_EQ(h.last_epoch->day, 14);
    EXPECT_EQ(*h.interval, 7200.0);
    EXPECT_EQ(*h.num_maps, 13);
    EXPECT_EQ(h.mapping_function, "NONE");
    EXPECT_EQ(*h.elevation_cutoff, 10.0);
    EXPECT_EQ(h.observables, "One-way carrier phase leveled to code");
    EXPECT_EQ(*h.num_stations, 279);
    EXPECT_EQ(*h.num_satellites, 56);
    EXPECT_EQ(*h.base_radius, 6371.0);
    EXPECT_EQ(*h.map_dimension, 2);
    EXPECT_EQ(*h.exponent, -1);
    EXPECT_TRUE(h.other_records.empty());
    ASSERT_EQ(r.contents.files.size(), 1u);
}

TEST(IonexReadReal, CodeAxesMapsAndEpochs) {
    const auto r = readData("CODG0440.13I");
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    const ionex::IonexContents& c = r.contents;
    ASSERT_EQ(c.lat.size(), 71u);
    ASSERT_EQ(c.lon.size(), 73u);
    ASSERT_EQ(c.height.size(), 1u);
    EXPECT_EQ(c.lat.front(), 87.5);
    EXPECT_EQ(c.lat[35], 0.0);
    EXPECT_EQ(c.lat.back(), -87.5);
    EXPECT_EQ(c.lon.front(), -180.0);
    EXPECT_EQ(c.lon.back(), 180.0);
    EXPECT_EQ(c.height[0], 450.0);
    ASSERT_EQ(c.time.size(), 13u);
    for (size_t k = 0; k < 13; ++k) EXPECT_EQ(c.time[k], day(2013, 2, 13, static_cast<int>(2 * k))) << k;
    ASSERT_EQ(c.maps[kTecMap].values.size(), 71u * 73 * 13);
    ASSERT_EQ(c.maps[kRmsMap].values.size(), 71u * 73 * 13);
    EXPECT_FALSE(c.maps[ionex::kHeightMap].present);
    // TEC map 1, row 87.5: "   64   65   66 ..." ending "   64   64".
    EXPECT_EQ(at(c, kTecMap, 0, 0, 0), 6.4);
    EXPECT_EQ(at(c, kTecMap, 0, 1, 0), 6.5);
    EXPECT_EQ(at(c, kTecMap, 0, 16, 0), 6.9);  // first value of the row's second line
    EXPECT_EQ(at(c, kTecMap, 0, 72, 0), 6.4);
    // RMS map 13, row -87.5: "   29   29 ..." with 3.3 in the middle of the third line.
    EXPECT_EQ(at(c, kRmsMap, 70, 0, 12), 2.9);
    EXPECT_EQ(at(c, kRmsMap, 70, 6, 12), 3.0);
    EXPECT_EQ(at(c, kRmsMap, 70, 32, 12), 3.3);
    EXPECT_EQ(at(c, kRmsMap, 70, 72, 12), 2.9);
}

TEST(IonexReadReal, CodeDcbWithGlonass) {
    const auto r = readData("CODG0440.13I");
    ASSERT_EQ(r.status, ReadStatus::kOk);
    ASSERT_EQ(r.contents.dcb.size(), 1u);
    const ionex::DcbBlock& b = r.contents.dcb[0];
    EXPECT_EQ(b.title, "DIFFERENTIAL CODE BIASES");
    EXPECT_EQ(b.file, testfiles::dataPath("CODG0440.13I"));
    ASSERT_EQ(b.satellites.size(), 56u);
    EXPECT_EQ(b.satellites[0].system, 'G');
    EXPECT_EQ(b.satellites[0].prn, 1);
    EXPECT_EQ(b.satellites[0].bias, -10.766);
    EXPECT_EQ(b.satellites[0].rms, 0.007);
    int glonass = 0;
    for (const auto& s : b.satellites) glonass += s.system == 'R' ? 1 : 0;
    EXPECT_EQ(glonass, 24);
    EXPECT_EQ(b.satellites.back().system, 'R');
    EXPECT_EQ(b.satellites.back().prn, 24);
    ASSERT_EQ(b.stations.size(), 451u);
    EXPECT_EQ(b.stations[0].system, 'G');
    EXPECT_EQ(b.stations[0].name, "ABMF");
    EXPECT_EQ(b.stations[0].domes, "97103M001");
    EXPECT_EQ(b.stations[0].bias, -12.747);
    EXPECT_EQ(b.stations[0].rms, 0.045);
    EXPECT_EQ(b.stations[1].system, 'R');
    EXPECT_EQ(b.stations[1].name, "ABMF");
}

TEST(IonexReadReal, EsaStationsBeforeSatellitesPaddedLines) {
    const auto r = readData("esag0080.20i.Z");
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    ASSERT_EQ(r.contents.dcb.size(), 1u);
    const ionex::DcbBlock& b = r.contents.dcb[0];
    EXPECT_EQ(b.stations.size(), 577u);
    EXPECT_EQ(b.satellites.size(), 53u);
    EXPECT_EQ(b.stations[0].name, "ABMF");
    EXPECT_EQ(b.stations[0].bias, 8.579);
    EXPECT_EQ(b.satellites[0].prn, 1);
    EXPECT_EQ(b.satellites[0].bias, -7.633);
    ASSERT_EQ(b.comments.size(), 1u);
    EXPECT_EQ(b.comments[0], "DCB values in ns; zero-mean condition wrt satellite values");
    EXPECT_EQ(r.contents.time.size(), 13u);
    // Padded lines: no blank field becomes a value, every node of every map is read.
    for (int kind : {kTecMap, kRmsMap}) {
        size_t nan = 0;
        for (double v : r.contents.maps[kind].values) nan += std::isnan(v) ? 1 : 0;
        EXPECT_EQ(nan, 0u) << kind;
    }
}

TEST(IonexReadReal, CasTwoBlocksShiftedLabelRealInterval) {
    const auto r = readData("casg0010.99i.Z");
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    const ionex::HeaderRecords& h = r.contents.header;
    EXPECT_EQ(h.program, "GIM_AOE V1.0");
    EXPECT_EQ(h.run_by, "LZSH");
    EXPECT_EQ(h.date, "2015-11-16 22:06:30.0");
    EXPECT_EQ(*h.interval, 7200.0);
    EXPECT_EQ(*h.base_radius, 6371.4);
    EXPECT_EQ(h.mapping_function, "COSZ");
    EXPECT_EQ(h.system, "MIX");
    EXPECT_EQ(h.first_epoch->hour, 1);
    ASSERT_EQ(r.contents.dcb.size(), 2u);
    EXPECT_EQ(r.contents.dcb[0].title, "Differential code biases [P1-P2]");
    EXPECT_EQ(r.contents.dcb[0].satellites.size(), 27u);
    EXPECT_EQ(r.contents.dcb[0].stations.size(), 119u);
    EXPECT_EQ(r.contents.dcb[1].title, "Differential code biases [P1-C1]");
    EXPECT_EQ(r.contents.dcb[1].satellites.size(), 27u);
    EXPECT_EQ(r.contents.dcb[1].stations.size(), 0u);
    ASSERT_EQ(r.contents.time.size(), 12u);
    EXPECT_EQ(r.contents.time[0], day(1999, 1, 1, 1));
    EXPECT_EQ(r.contents.time[11], day(1999, 1, 1, 23));
}

TEST(IonexReadReal, JplOldDcbLayout) {
    const auto r = readData("jplg0010.17i.gz");
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    const ionex::DcbBlock& b = r.contents.dcb.at(0);
    ASSERT_EQ(b.satellites.size(), 32u);
    EXPECT_EQ(b.satellites[0].system, 'G');
    EXPECT_EQ(b.satellites[0].prn, 1);
    EXPECT_EQ(b.satellites[0].bias, -7.516);
    EXPECT_EQ(b.satellites[31].prn, 32);
    ASSERT_EQ(b.stations.size(), 196u);
    EXPECT_EQ(b.stations[0].system, 'G');
    EXPECT_EQ(b.stations[0].name, "AJAC");
    EXPECT_EQ(b.stations[0].domes, "");
    EXPECT_EQ(b.stations[0].bias, 25.095);
    EXPECT_EQ(b.stations[0].rms, 0.011);
}

TEST(IonexReadReal, IgsRapidRmsOf999AndNoEndOfFile) {
    const auto r = readData("igrg2680.20i");
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    const ionex::DcbBlock& b = r.contents.dcb.at(0);
    EXPECT_EQ(b.satellites.size(), 30u);
    EXPECT_EQ(b.stations.size(), 342u);
    EXPECT_EQ(b.stations[0].name, "ABMF");
    EXPECT_EQ(b.stations[0].domes, "97103M001");
    EXPECT_EQ(b.stations[0].rms, 999.9);
    EXPECT_EQ(b.stations[2].name, "ADIS");
    EXPECT_EQ(b.stations[2].domes, "");
    EXPECT_EQ(r.contents.time.size(), 13u);
    // The file's last line: "   14   15   15   15   15   15   15   15   16" ends RMS map 13.
    EXPECT_EQ(at(r.contents, kRmsMap, 70, 72, 12), 1.6);
    EXPECT_EQ(at(r.contents, kRmsMap, 70, 71, 12), 1.5);
}

TEST(IonexReadReal, KlobucharTecOnlyNoDcb) {
    const auto r = readData("CKMG0020.22I.gz");
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    EXPECT_TRUE(r.contents.dcb.empty());
    EXPECT_FALSE(r.contents.header.num_stations.has_value());
    EXPECT_EQ(r.contents.header.observables, "");
    EXPECT_TRUE(r.contents.maps[kTecMap].present);
    EXPECT_FALSE(r.contents.maps[kRmsMap].present);
    EXPECT_TRUE(r.contents.maps[kRmsMap].values.empty());
    EXPECT_EQ(r.contents.time.size(), 25u);
    EXPECT_EQ(r.contents.height[0], 350.0);
    EXPECT_EQ(at(r.contents, kTecMap, 0, 0, 0), 9.2);
}

TEST(IonexReadReal, JammedFieldsUnderscoreLabels) {
    const auto r = readData("jammed-fields.14i");
    ASSERT_EQ(r.status, ReadStatus::kOk) << ionex::describeFailure(r.failure);
    const ionex::HeaderRecords& h = r.contents.header;
    EXPECT_EQ(*h.version, 1.1);
    EXPECT_EQ(h.mapping_function, "NONE");
    EXPECT_EQ(*h.elevation_cutoff, 0.0);
    ASSERT_EQ(h.other_records.size(), 1u);
    EXPECT_EQ(h.other_records[0].first, "SYS / #STA / #SAT");
    EXPECT_EQ(h.other_records[0].second, "     E     0     0");
    ASSERT_EQ(r.contents.lat.size(), 3u);
    // Row 22.5 of map 1 starts "1015710167 9847": two touching values, exponent -2.
    EXPECT_EQ(at(r.contents, kTecMap, 1, 0, 0), 101.57);
    EXPECT_EQ(at(r.contents, kTecMap, 1, 1, 0), 101.67);
    EXPECT_EQ(at(r.contents, kTecMap, 1, 2, 0), 98.47);
    EXPECT_EQ(at(r.contents, kTecMap, 1, 72, 0), 101.57);
    EXPECT_EQ(at(r.contents, kTecMap, 2, 1, 0), 111.76);
}

TEST(IonexReadReal, CompressedFormsReadAlike) {
    const auto plain = readData("CODG0080.20I");
    ASSERT_EQ(plain.status, ReadStatus::kOk) << ionex::describeFailure(plain.failure);
    for (const char* name : {"codg0080.20i.Z", "codg0080.20i.gz"}) {
        const auto other = readData(name);
        ASSERT_EQ(other.status, ReadStatus::kOk) << name;
        EXPECT_EQ(other.contents.time, plain.contents.time) << name;
        for (int k = 0; k < ionex::kMapKindCount; ++k) {
            EXPECT_EQ(other.contents.maps[k].values, plain.contents.maps[k].values) << name;
        }
    }
    EXPECT_EQ(plain.contents.dcb.at(0).stations.size(), 264u);
    EXPECT_EQ(plain.contents.dcb.at(0).comments.size(), 266u);
}

TEST(IonexReadReal, TwoDaySeriesKeepsTheLaterFilesMidnightMap) {
    ionex::IonexContents c;
    ionex::ReadFailure f;
    // Given in reverse: the series is put in time order.
    const ReadStatus st = ionex::readIonexSeries({testfiles::dataPath("codg0090.20i.Z"), testfiles::dataPath("codg0080.20i.Z")},
                                                 ionex::ReadOptions{}, c, f);
    ASSERT_EQ(st, ReadStatus::kOk) << ionex::describeFailure(f);
    ASSERT_EQ(c.time.size(), 49u);
    for (size_t k = 0; k < 49; ++k) EXPECT_EQ(c.time[k], day(2020, 1, 8) + static_cast<double>(k) / 24.0 * 1.0) << k;
    ASSERT_EQ(c.files.size(), 2u);
    EXPECT_EQ(c.files[0], testfiles::dataPath("codg0080.20i.Z"));
    EXPECT_EQ(*c.header.num_maps, 49);
    EXPECT_EQ(c.header.first_epoch->day, 8);
    EXPECT_EQ(c.header.last_epoch->day, 10);
    EXPECT_EQ(c.dcb.size(), 2u);
    EXPECT_EQ(c.dcb[1].file, testfiles::dataPath("codg0090.20i.Z"));
    // Map 25 (2020-01-09 00:00) is the later file's first map, not the earlier file's last.
    const auto day9 = readData("codg0090.20i.Z");
    const auto day8 = readData("codg0080.20i.Z");
    const size_t map = 71 * 73;
    for (int kind : {kTecMap, kRmsMap}) {
        ASSERT_EQ(c.maps[kind].values.size(), 49 * map);
        const std::vector<double> got(c.maps[kind].values.begin() + 24 * map, c.maps[kind].values.begin() + 25 * map);
        const std::vector<double> later(day9.contents.maps[kind].values.begin(), day9.contents.maps[kind].values.begin() + map);
        const std::vector<double> earlier(day8.contents.maps[kind].values.begin() + 24 * map, day8.contents.maps[kind].values.end());
        EXPECT_EQ(got, later);
        EXPECT_NE(got, earlier);
        EXPECT_TRUE(std::equal(day8.contents.maps[kind].values.begin(), day8.contents.maps[kind].values.begin() + 24 * map,
                               c.maps[kind].values.begin()));
    }
}

// The TEC maps agree with those of the module's own reader (which scales in single precision,
// so to about 1e-7 relative), map by map and node by node, in every real product. (The edited
// file with touching values is left out: the module splits values on blanks.)
TEST(IonexReadReal, TecMapsAgreeWithTheModulesReader) {
    for (const char* name : {"CODG0080.20I", "CODG0440.13I", "esag0080.20i.Z", "jplg0010.17i.gz", "casg0010.99i.Z",
                             "igrg2680.20i", "CKMG0020.22I.gz"}) {
        const auto mine = readData(name);
        ASSERT_EQ(mine.status, ReadStatus::kOk) << name;
        testfiles::OpenSource src(testfiles::dataPath(name));
        ASSERT_NE(src.source, nullptr);
        char line[512] = {};
        ionex::IonexHeader h{};
        ASSERT_TRUE(ionex::readIonexHeader(src.source, h, line, nullptr, 0, "", nullptr)) << name;
        ionex::Range<int> lat{}, lon{};
        ionex::Range<float> lat_c{}, lon_c{};
        ASSERT_TRUE(ionex::process_locations({0, 0}, {0, 0}, h, false, lat, lon, lat_c, lon_c)) << name;
        const long nlat = lat.last + 1, nlon = lon.last + 1;
        ASSERT_EQ(static_cast<size_t>(nlat), mine.contents.lat.size()) << name;
        ASSERT_EQ(static_cast<size_t>(nlon), mine.contents.lon.size()) << name;
        ASSERT_EQ(static_cast<size_t>(h.num_maps), mine.contents.time.size()) << name;
        const float scale = ionex::pow10(h.exponent);
        long compared = 0;
        for (int m = 0; m < h.num_maps; ++m) {
            std::vector<double> old(static_cast<size_t>(nlat * nlon), NAN);
            ASSERT_EQ(ionex::readIonexMap(src.source, h, lat, lon, scale, m, line, old.data()), ionex::kMapRead) << name;
            for (long i = 0; i < nlat; ++i) {
                for (long j = 0; j < nlon; ++j) {
                    const double a = at(mine.contents, kTecMap, i, j, m), b = old[static_cast<size_t>(i * nlon + j)];
                    ASSERT_NEAR(a, b, 1e-7 * std::fabs(b) + 1e-12) << name << " map " << m << " node " << i << "," << j;
                    ++compared;
                }
            }
        }
        EXPECT_EQ(compared, nlat * nlon * h.num_maps) << name;
    }
}
