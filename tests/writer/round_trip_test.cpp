// Write, then read back: every real product of the test data and generated map sets (every
// grid direction, regional grids, NaN nodes, per-map exponents, heights) come back as they
// were, and the map lines of a real file come out as the producer wrote them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "format_reader/ionex_reader.h"
#include "support/test_files.h"
#include "writer/ionex_writer.h"
#include "writer/writer_support.h"

namespace {

using writertest::axis;

const char* const kRealFiles[] = {"CODG0080.20I",    "codg0080.20i.Z", "codg0090.20i.Z", "CODG0440.13I",
                                  "jplg0010.17i.gz", "esag0080.20i.Z", "casg0010.99i.Z", "igrg2680.20i",
                                  "CKMG0020.22I.gz", "jammed-fields.14i"};

// Tells whether two value arrays are equal bit for bit, NaN matching NaN. Returns true if so.
bool sameValues(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (!(a[k] == b[k] || (std::isnan(a[k]) && std::isnan(b[k])))) return false;
    }
    return true;
}

// Expects every field of two reads to be equal but the names of the files read.
void expectSameContents(const ionex::IonexContents& a, const ionex::IonexContents& b) {
    const ionex::HeaderRecords &x = a.header, &y = b.header;
    EXPECT_EQ(x.version, y.version);
    EXPECT_EQ(x.file_type, y.file_type);
    EXPECT_EQ(x.system, y.system);
    EXPECT_EQ(x.program, y.program);
    EXPECT_EQ(x.run_by, y.run_by);
    EXPECT_EQ(x.date, y.date);
    EXPECT_EQ(x.description, y.description);
    EXPECT_EQ(x.comments, y.comments);
    EXPECT_EQ(x.interval, y.interval);
    EXPECT_EQ(x.num_maps, y.num_maps);
    EXPECT_EQ(x.mapping_function, y.mapping_function);
    EXPECT_EQ(x.elevation_cutoff, y.elevation_cutoff);
    EXPECT_EQ(x.observables, y.observables);
    EXPECT_EQ(x.num_stations, y.num_stations);
    EXPECT_EQ(x.num_satellites, y.num_satellites);
    EXPECT_EQ(x.base_radius, y.base_radius);
    EXPECT_EQ(x.map_dimension, y.map_dimension);
    EXPECT_EQ(x.exponent, y.exponent);
    EXPECT_EQ(x.other_records, y.other_records);
    ASSERT_EQ(x.first_epoch.has_value(), y.first_epoch.has_value());
    if (x.first_epoch) {
        EXPECT_EQ(x.first_epoch->hour, y.first_epoch->hour);
        EXPECT_EQ(x.last_epoch->day, y.last_epoch->day);
    }
    EXPECT_EQ(a.lat, b.lat);
    EXPECT_EQ(a.lon, b.lon);
    EXPECT_EQ(a.height, b.height);
    EXPECT_EQ(a.time, b.time);
    for (int k = 0; k < ionex::kMapKindCount; ++k) {
        EXPECT_EQ(a.maps[k].present, b.maps[k].present) << "kind " << k;
        EXPECT_TRUE(sameValues(a.maps[k].values, b.maps[k].values)) << "kind " << k;
    }
    ASSERT_EQ(a.dcb.size(), b.dcb.size());
    for (std::size_t i = 0; i < a.dcb.size(); ++i) {
        const ionex::DcbBlock &p = a.dcb[i], &q = b.dcb[i];
        EXPECT_EQ(p.title, q.title);
        EXPECT_EQ(p.comments, q.comments);
        ASSERT_EQ(p.satellites.size(), q.satellites.size());
        for (std::size_t k = 0; k < p.satellites.size(); ++k) {
            EXPECT_EQ(p.satellites[k].system, q.satellites[k].system);
            EXPECT_EQ(p.satellites[k].prn, q.satellites[k].prn);
            EXPECT_EQ(p.satellites[k].bias, q.satellites[k].bias);
            EXPECT_EQ(p.satellites[k].rms, q.satellites[k].rms);
        }
        ASSERT_EQ(p.stations.size(), q.stations.size());
        for (std::size_t k = 0; k < p.stations.size(); ++k) {
            EXPECT_EQ(p.stations[k].system, q.stations[k].system);
            EXPECT_EQ(p.stations[k].name, q.stations[k].name);
            EXPECT_EQ(p.stations[k].domes, q.stations[k].domes);
            EXPECT_EQ(p.stations[k].bias, q.stations[k].bias);
            EXPECT_EQ(p.stations[k].rms, q.stations[k].rms);
        }
    }
}

// Reads a file of the test data. Returns its contents.
ionex::IonexContents readData(const std::string& name) {
    ionex::IonexContents c;
    ionex::ReadFailure failure;
    EXPECT_EQ(ionex::readIonexFile(testfiles::dataPath(name), ionex::ReadOptions{}, c, failure), ionex::ReadStatus::kOk);
    return c;
}

// The lines from END OF HEADER to the last map, trailing blanks removed. Returns them.
std::vector<std::string> mapLines(const std::string& text) {
    std::vector<std::string> lines;
    bool in_maps = false;
    for (std::string line : writertest::linesOf(text)) {
        while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
        if (line.find("END OF HEADER") != std::string::npos) in_maps = true;
        if (line.find("END OF FILE") != std::string::npos) break;
        if (in_maps) lines.push_back(line);
    }
    return lines;
}

TEST(WriterRoundTrip, EveryRealFileReadsBackAsItWasRead) {
    for (const char* name : kRealFiles) {
        SCOPED_TRACE(name);
        const ionex::IonexContents original = readData(name);
        const ionex::IonexContents again = writertest::readBack(writertest::textOf(ionex::writeInputOf(original)));
        expectSameContents(original, again);
    }
}

TEST(WriterRoundTrip, MapLinesOfRealFilesAreThoseTheProducerWrote) {
    // Every real file here writes its maps with one exponent: the map text must come out equal.
    for (const char* name : {"CODG0080.20I", "CODG0440.13I", "igrg2680.20i", "jammed-fields.14i"}) {
        SCOPED_TRACE(name);
        const std::string written = writertest::textOf(ionex::writeInputOf(readData(name)));
        EXPECT_EQ(mapLines(testfiles::readData(name)), mapLines(written));
    }
}

TEST(WriterRoundTrip, GzipFileReadsBackAsThePlainOne) {
    const ionex::IonexContents original = readData("jplg0010.17i.gz");
    const std::string path = testfiles::writeTemp("round_trip.17i.gz", "");
    std::remove(path.c_str());
    ionex::WriteFailure failure;
    ASSERT_EQ(ionex::writeIonexFile(path, ionex::writeInputOf(original), {}, failure), ionex::WriteStatus::kOk) << failure.detail;
    std::ifstream file(path, std::ios::binary);
    const int magic0 = file.get(), magic1 = file.get();
    EXPECT_EQ(magic0, 0x1f);  // gzip
    EXPECT_EQ(magic1, 0x8b);
    ionex::IonexContents again;
    ionex::ReadFailure read_failure;
    ASSERT_EQ(ionex::readIonexFile(path, ionex::ReadOptions{}, again, read_failure), ionex::ReadStatus::kOk);
    expectSameContents(original, again);
    std::remove(path.c_str());
}

// A value pattern exact at 0.1 TECU, with a NaN node now and then.
double tenths(std::size_t m, std::size_t i, std::size_t j, std::size_t h) {
    if ((m + 3 * i + 7 * j + h) % 29 == 0) return NAN;
    return static_cast<double>(static_cast<long>(m * 97 + i * 31 + j * 7 + h * 500) % 3000) / 10.0;
}

TEST(WriterRoundTrip, GeneratedGridsInEveryDirection) {
    struct Case {
        const char* name;
        std::vector<double> lat, lon, height;
    };
    const Case cases[] = {
        {"north to south, west to east", axis(87.5, -2.5, 71), axis(-180, 5, 73), {}},
        {"south to north", axis(-87.5, 2.5, 71), axis(-180, 5, 73), {}},
        {"east to west", axis(60, -5, 4), axis(40, -2.5, 17), {}},
        {"0..360 longitudes", axis(10, -1, 3), axis(0, 10, 36), {}},
        {"16 longitudes: no blank line after a full line", axis(50, -1, 2), axis(0, 1, 16), {}},
        {"32 longitudes", axis(50, -1, 2), axis(0, 1, 32), {}},
        {"one latitude, one longitude", {45}, {7.5}, {}},
        {"regional 0.5 degrees", axis(35, 0.5, 11), axis(-10.5, 0.5, 20), {}},
        {"three heights (3-D)", axis(30, -10, 4), axis(0, 30, 12), axis(100, 200, 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const writertest::MapSet set = writertest::makeSet(c.lat, c.lon, c.height, 3, tenths);
        const std::string text = writertest::textOf(set.input());
        const ionex::IonexContents back = writertest::readBack(text);
        EXPECT_EQ(back.lat, c.lat);
        EXPECT_EQ(back.lon, c.lon);
        EXPECT_EQ(back.height, c.height.empty() ? std::vector<double>{450} : c.height);
        EXPECT_EQ(back.time, set.time);
        EXPECT_EQ(back.header.map_dimension, c.height.size() > 1 ? 3 : 2);
        // The reader keeps heights inside each map; the set has them outermost.
        const std::size_t layer = c.lat.size() * c.lon.size(), nhgt = back.height.size();
        ASSERT_EQ(back.maps[ionex::kTecMap].values.size(), set.tec.size());
        for (std::size_t m = 0; m < 3; ++m) {
            for (std::size_t h = 0; h < nhgt; ++h) {
                const std::vector<double> given(set.tec.begin() + (h * 3 + m) * layer, set.tec.begin() + (h * 3 + m + 1) * layer);
                const std::vector<double> read(back.maps[0].values.begin() + (m * nhgt + h) * layer,
                                               back.maps[0].values.begin() + (m * nhgt + h + 1) * layer);
                EXPECT_TRUE(sameValues(given, read)) << "map " << m << " height " << h;
            }
        }
        for (const std::string& line : writertest::linesOf(text)) EXPECT_FALSE(line.empty());
    }
}

// A window across a file's seam, as ionex.read cuts it, is written as the unwrapped grid,
// in -180..180 where it fits there, and reads back with the same values.
TEST(WriterRoundTrip, WindowAcrossTheSeamIsWrittenUnwrapped) {
    struct Case {
        const char* name;
        std::vector<double> lon, written;
        const char* record;
    };
    const Case cases[] = {
        {"across 180 from a -180..180 file", {170, 175, 180, -175, -170}, axis(170, 5, 5), "   170.0 190.0   5.0"},
        {"across 0 from a 0..360 file", {350, 355, 360, 5, 10}, axis(-10, 5, 5), "   -10.0  10.0   5.0"},
        {"west-going across 180", {-170, -175, 180, 175}, axis(190, -5, 4), "   190.0 175.0  -5.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const writertest::MapSet set = writertest::makeSet(axis(-10, -5, 3), c.lon, {}, 2, tenths);
        const std::string text = writertest::textOf(set.input());
        EXPECT_NE(text.find(std::string(c.record) + "                                        LON1 / LON2 / DLON"), std::string::npos);
        const ionex::IonexContents back = writertest::readBack(text);
        EXPECT_EQ(back.lon, c.written);
        EXPECT_TRUE(sameValues(back.maps[ionex::kTecMap].values, set.tec));
    }
}

// Map 2 has hundredths: it alone needs an exponent of its own.
double hundredthsInMapTwo(std::size_t m, std::size_t i, std::size_t j, std::size_t) {
    return m == 1 ? static_cast<double>(i * 100 + j + 1) / 100.0 : static_cast<double>(i + j) / 10.0;
}

TEST(WriterRoundTrip, MapExactAtAFinerExponentGetsItsOwnExponentRecord) {
    const writertest::MapSet set = writertest::makeSet(axis(10, -5, 3), axis(0, 5, 5), {}, 3, hundredthsInMapTwo);
    const std::string text = writertest::textOf(set.input());
    std::size_t exponent_records = 0;
    for (const std::string& line : writertest::linesOf(text)) {
        if (line.size() > 60 && line.compare(60, 8, "EXPONENT") == 0) {
            ++exponent_records;
            EXPECT_EQ(line.substr(0, 6), exponent_records == 1 ? "    -1" : "    -2");
        }
    }
    EXPECT_EQ(exponent_records, 2u);  // the header's, and map 2's
    const ionex::IonexContents back = writertest::readBack(text);
    EXPECT_TRUE(sameValues(back.maps[0].values, set.tec));
    EXPECT_EQ(back.header.exponent, -1);
}

TEST(WriterRoundTrip, ValuesTooLargeForTheFieldTakeACoarserFileExponent) {
    // 1234.5 TECU is 12345 at -1 (fits), 100000 is 1000000 (does not): exponent 0 holds both.
    const writertest::MapSet set = writertest::makeSet({0}, {0, 5}, {}, 1, [](std::size_t, std::size_t, std::size_t j, std::size_t) {
        return j == 0 ? 1234.5 : 99998.0;
    });
    const ionex::IonexContents back = writertest::readBack(writertest::textOf(set.input()));
    EXPECT_EQ(back.header.exponent, 0);
    EXPECT_EQ(back.maps[0].values, (std::vector<double>{1235.0, 99998.0}));  // 1234.5 rounds away from zero
}

TEST(WriterRoundTrip, SecondsOfEpochsAreKeptAndMidnightIsTheNextDay) {
    writertest::MapSet set = writertest::makeSet({0}, {0}, {}, 3, tenths);
    set.time = {737798.0 + 1.0 / 86400.0 * 37, 737798.5 + 59.0 / 86400.0, 737799.0 - 0.2 / 86400.0};
    const std::string text = writertest::textOf(set.input());
    const ionex::IonexContents back = writertest::readBack(text);
    EXPECT_NEAR(back.time[0], set.time[0], 1e-9);
    EXPECT_NEAR(back.time[1], set.time[1], 1e-9);
    EXPECT_EQ(back.time[2], 737799.0);
    EXPECT_NE(text.find("  2020     1     9     0     0     0                        EPOCH OF CURRENT MAP"), std::string::npos);
    EXPECT_NE(text.find("  2020     1     8     0     0    37                        EPOCH OF CURRENT MAP"), std::string::npos);
    EXPECT_EQ(back.header.interval, 0.0);  // not evenly spaced
}

}  // namespace
