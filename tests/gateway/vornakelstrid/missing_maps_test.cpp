// Maps a file announces but never reaches: NaN grids while they stay in proportion to the
// file, the "no IONEX map" error result beyond, with every array of the maps released.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "vornakelstrid/map_values.h"
#include "gateway/common/mex_call.h"
#include "minimex_testing.h"

namespace {

using gwtest::IonexText;
using gwtest::MexCall;
using minimex::makeChar;
using minimex::makeRow;

const std::string kData = IONEX_TEST_DATA;

// A header that announces `maps` maps of a 2-by-721 grid (latitudes 87.5 and 85, half-degree
// longitudes), a satellite and a station bias, and no map at all: under a kilobyte.
std::string bareHeader(const std::string& maps) {
    IonexText text;
    text.num_maps = maps;
    text.grid.lat1 = 87.5f;
    text.grid.lat2 = 85.0f;
    text.grid.dlat = -2.5f;
    text.grid.lon1 = -180.0f;
    text.grid.lon2 = 180.0f;
    text.grid.dlon = 0.5f;
    text.extra_header =
        "DIFFERENTIAL CODE BIASES                                    START OF AUX DATA   \n"
        "   G01    -7.500     0.009                                  PRN / BIAS / RMS    \n"
        "   G  ABCD 12345M001           2.500     0.040              STATION / BIAS / RMS\n"
        "DIFFERENTIAL CODE BIASES                                    END OF AUX DATA     \n";
    return gwtest::render(text);
}

// The text of the real daily file up to and including the line that ends its first map.
std::string realFileCutAfterMapOne() {
    std::ifstream in(kData + "/CODG0080.20I", std::ios::binary);
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string text = whole.str();
    const size_t end = text.find("END OF TEC MAP");
    const size_t line_end = text.find('\n', end);
    return text.substr(0, line_end + 1);
}

// Writes `text` as one gzip member to `path`. Returns whether it was written.
bool writeGzip(const std::string& path, const std::string& text) {
    gzFile out = gzopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    const int written = gzwrite(out, text.data(), static_cast<unsigned>(text.size()));
    return gzclose(out) == Z_OK && written == static_cast<int>(text.size());
}

TEST(MissingMapsFit, ValuesAgainstTheFloorAndTheFileSize) {
    struct Row { long long missing; int nlat; int nlon; unsigned long long size; bool fits; };
    const Row rows[] = {
        {999999, 2, 721, 810, false},             // the lying header of a tiny file
        {24, 71, 73, 1665607, true},              // a daily file cut after map 1
        {24, 71, 73, 0, true},                    // size unknown: the floor alone
        {1, 4096, 4096, 0, true},                 // exactly 2^24 values
        {1, 4096, 4097, 0, false},                // one row more
        {1, 4096, 4097, 16781312, true},          // a file as large as the values
        {1, 4096, 4097, 16781311, false},         // one byte smaller
        {0, 2, 721, 0, true},                     // nothing missing
        {1000000, 46341, 46341, 0, false},        // beyond 2^31 values: no overflow
    };
    for (const Row& row : rows) {
        gateway::MapRequest request{};
        request.nlat = row.nlat;
        request.nlon = row.nlon;
        EXPECT_EQ(gateway::missingMapsFit(row.missing, request, row.size), row.fits)
            << row.missing << " x " << row.nlat << " x " << row.nlon << " in " << row.size;
    }
}

TEST(StoredFileSize, BytesOnDiskOrZero) {
    gwtest::TempDir dir;
    EXPECT_EQ(gateway::storedFileSize(dir.write("ten.txt", "0123456789").c_str()), 10u);
    EXPECT_EQ(gateway::storedFileSize((dir.path + "/none").c_str()), 0u);
    EXPECT_EQ(gateway::storedFileSize((kData + "/codg0080.20i.gz").c_str()), 204643u);
}

// The header claims 999999 maps: whole-window requests get the error result and nothing of
// the maps, the DCB outputs stay; a point request is not bounded (one value per map).
TEST(MissingMaps, HeaderClaimingFarMoreThanTheFileHoldsIsRefused) {
    gwtest::TempDir dir;
    const std::string path = dir.write("claims.16i", bareHeader("999999"));
    const std::string message =
        "512: Input file '" + path + "' does not contain a two-dimensional IONEX map or compression used is not GZIP";
    struct Row { const char* what; int nlhs; std::vector<mxArray*> (*inputs)(const std::string&); };
    const Row rows[] = {
        {"whole grid, 6 outputs", 6, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({87.5, -180}), makeRow({85, 180}), makeChar("ABCD")}; }},
        {"whole grid, 1 output", 1, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p)}; }},
        {"whole grid, 4 outputs", 4, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p)}; }},
    };
    for (const Row& row : rows) {
        const size_t arrays_before = minimex::liveArrayCount();
        {
            MexCall call(row.nlhs, row.inputs(path));
            ASSERT_TRUE(call.failed()) << row.what;
            EXPECT_EQ(call.message(), message.substr(0, 127)) << row.what;
            EXPECT_EQ(call.identifier(), "Vornakelstrid:NoIonexFile") << row.what;
            for (int i = 1; i < row.nlhs && i < 4; ++i) {
                EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(i), 0, 0)) << row.what << " output " << i + 1;
            }
            if (row.nlhs == 6) {
                EXPECT_EQ(gwtest::valuesOf(call.out(4))[0], -7.5) << row.what;
                EXPECT_EQ(gwtest::valuesOf(call.out(5)), std::vector<double>{2.5}) << row.what;
            }
            // The cell of maps, the epochs, the axes and the map grid were released by the
            // call itself, not left to the host.
            EXPECT_EQ(minimex::lastCallTemporaryCount(), 0u) << row.what;
        }
        EXPECT_EQ(minimex::liveArrayCount(), arrays_before) << row.what;
    }

    MexCall point(2, {makeChar(path), makeRow({86, 0})});
    ASSERT_FALSE(point.failed()) << point.message();
    EXPECT_TRUE(gwtest::isDoubleMatrix(point.out(0), 1, 999999));
    const std::vector<double> values = gwtest::valuesOf(point.out(0));
    EXPECT_TRUE(std::isnan(values.front()) && std::isnan(values.back()));
}

// Headers whose missing maps stay within the bound keep their NaN maps.
TEST(MissingMaps, FewMissingMapsStayNaNGrids) {
    gwtest::TempDir dir;
    struct Row { const char* maps; int nlhs; size_t cells; };
    const Row rows[] = {
        {"3", 2, 3},
        {"5000", 1, 5000},  // 5000 x 1442 values, well under 2^24
    };
    for (const Row& row : rows) {
        const std::string path = dir.write(std::string("claims") + row.maps + ".16i", bareHeader(row.maps));
        MexCall call(row.nlhs, {makeChar(path)});
        ASSERT_FALSE(call.failed()) << row.maps << ": " << call.message();
        ASSERT_EQ(mxGetNumberOfElements(call.out(0)), row.cells);
        for (size_t k : {size_t{0}, row.cells - 1}) {
            const mxArray* map = mxGetCell(call.out(0), k);
            ASSERT_TRUE(gwtest::isDoubleMatrix(map, 721, 2)) << row.maps << " map " << k;
            for (double v : gwtest::valuesOf(map)) ASSERT_TRUE(std::isnan(v));
        }
    }
}

// A daily product cut after its first map, plain and gzip: map 1 as in the whole file, the
// 24 maps never reached NaN, epochs and axes in place.
TEST(MissingMaps, RealFileCutAfterMapOneKeepsItsNaNMaps) {
    gwtest::TempDir dir;
    const std::string cut = realFileCutAfterMapOne();
    const std::string plain = dir.write("codg-cut.20i", cut);
    const std::string gzip = dir.path + "/codg-cut.20i.gz";
    ASSERT_TRUE(writeGzip(gzip, cut));
    MexCall whole(1, {makeChar(kData + "/CODG0080.20I")});
    ASSERT_FALSE(whole.failed()) << whole.message();
    const std::vector<double> first_map = gwtest::valuesOf(mxGetCell(whole.out(0), 0));

    for (const std::string& path : {plain, gzip}) {
        MexCall call(4, {makeChar(path)});
        ASSERT_FALSE(call.failed()) << path << ": " << call.message();
        ASSERT_EQ(mxGetNumberOfElements(call.out(0)), 25u) << path;
        EXPECT_EQ(gwtest::valuesOf(mxGetCell(call.out(0), 0)), first_map) << path;
        for (size_t k = 1; k < 25; ++k) {
            const mxArray* map = mxGetCell(call.out(0), k);
            ASSERT_TRUE(gwtest::isDoubleMatrix(map, 73, 71)) << path << " map " << k;
            for (double v : gwtest::valuesOf(map)) ASSERT_TRUE(std::isnan(v)) << path << " map " << k;
        }
        EXPECT_EQ(gwtest::valuesOf(call.out(1)).size(), 25u);
        EXPECT_EQ(gwtest::valuesOf(call.out(2)).size(), 71u);
    }
}

}  // namespace
