// The entry from end to end: file errors with the outputs they keep, differential code
// biases, and a real product in its three encodings.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "input/line_source_faults.h"
#include "gateway/common/mex_call.h"
#include "minimex_testing.h"

namespace {

using gwtest::Grid;
using gwtest::IonexText;
using gwtest::MexCall;
using minimex::makeChar;
using minimex::makeRow;

const std::string kData = IONEX_TEST_DATA;
const std::string kCodePlain = kData + "/CODG0080.20I";

// A TEC value as the map reader stores it for EXPONENT -1.
double tec(int text_value) { return static_cast<double>(text_value) * static_cast<double>(0.1f); }

// A message as the caller gets it: cut after 127 characters (temporary paths are long).
std::string cut(const std::string& message) { return message.substr(0, 127); }

// Switches the read fault of the line source off after each test.
struct EntryTest : ::testing::Test {
    void TearDown() override { ionex::testing::failReadNumber(0); }
    gwtest::TempDir dir;
};

// A complete one-map file on the global grid, as text to edit.
IonexText oneMapFile() {
    IonexText text;
    text.maps.push_back(gwtest::fullMap(1, text.grid, [](int r, int c) { return r * 100 + c; }));
    return text;
}

TEST_F(EntryTest, MissingFileKeepsTheDcbOutputs) {
    const std::string path = dir.path + "/absent.16i";
    MexCall three(3, {makeChar(path)});
    ASSERT_TRUE(three.failed());
    EXPECT_EQ(three.message(), "511: Input file '" + path + "' does not exist");
    EXPECT_EQ(three.identifier(), "Vornakelstrid:NoFile");
    EXPECT_TRUE(gwtest::isDoubleMatrix(three.out(1), 0, 0));
    EXPECT_TRUE(gwtest::isDoubleMatrix(three.out(2), 0, 0));

    MexCall six(6, {makeChar(path), makeRow({47, 8}), makeChar("zimm"), makeRow({40})});
    ASSERT_TRUE(six.failed());
    for (int i = 1; i < 4; ++i) EXPECT_TRUE(gwtest::isDoubleMatrix(six.out(i), 0, 0));
    EXPECT_TRUE(gwtest::isDoubleMatrix(six.out(4), 1, 40));
    EXPECT_EQ(gwtest::valuesOf(six.out(4)), std::vector<double>(40, 0.0));
    EXPECT_TRUE(gwtest::isDoubleMatrix(six.out(5), 1, 1));
    EXPECT_EQ(gwtest::valuesOf(six.out(5)), std::vector<double>{0.0});
}

TEST_F(EntryTest, ANameWithANulNamesNoFile) {
    // Cut at the NUL, the name would be that of a real file.
    MexCall call(1, {makeChar(kCodePlain + std::string("\0.bak", 5))});
    ASSERT_TRUE(call.failed());
    EXPECT_EQ(call.identifier(), "Vornakelstrid:NoFile");
}

TEST_F(EntryTest, LongFileNameIsCutWithItsQuote) {
    const std::string path = dir.path + "/" + std::string(150, 'x');
    MexCall call(1, {makeChar(path)});
    const std::string full = "511: Input file '" + path + "' does not exist";
    EXPECT_EQ(call.message(), full.substr(0, 127));
    EXPECT_EQ(call.message().back(), 'x');
}

// Header and map read failures through the line source's fault seam.
TEST_F(EntryTest, HeaderReadFailureKeepsWhatTheDcbBlockGaveSoFar) {
    // Line 99 of the file is satellite G16, line 100 is G17: the 100th read fails.
    ionex::testing::failReadNumber(100);
    MexCall call(6, {makeChar(kCodePlain), makeRow({47, 8}), makeChar("zimm")});
    ASSERT_TRUE(call.failed());
    EXPECT_EQ(call.message(), "508: Error occured while reading header in '" + kCodePlain + "'");
    EXPECT_EQ(call.identifier(), "Vornakelstrid:ReadError");
    for (int i = 1; i < 4; ++i) EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(i), 0, 0));
    const std::vector<double> satellites = gwtest::valuesOf(call.out(4));
    ASSERT_EQ(satellites.size(), 32u);
    EXPECT_EQ(satellites[0], -7.615);
    EXPECT_EQ(satellites[15], 2.927);
    EXPECT_EQ(satellites[16], 0.0);
    EXPECT_EQ(gwtest::valuesOf(call.out(5)), std::vector<double>{0.0});
}

TEST_F(EntryTest, MapReadFailureKeepsEpochsAxesAndBiases) {
    ionex::testing::failReadNumber(700);  // inside the first map
    MexCall call(6, {makeChar(kCodePlain)});
    ASSERT_TRUE(call.failed());
    EXPECT_EQ(call.message(), "508: Unknown error occurred while processing '" + kCodePlain + "'");
    EXPECT_EQ(call.identifier(), "Vornakelstrid:ReadError");
    const std::vector<double> epochs = gwtest::valuesOf(call.out(1));
    ASSERT_EQ(epochs.size(), 25u);
    EXPECT_EQ(epochs[0], 737798.0);
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(2), 71, 1));
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(3), 73, 1));
    EXPECT_EQ(gwtest::valuesOf(call.out(4))[31], -4.244);
}

TEST_F(EntryTest, NotATwoDimensionalMap) {
    const std::string expected_tail = "' does not contain a two-dimensional IONEX map or compression used is not GZIP";
    struct Row { const char* what; IonexText text; };
    std::vector<Row> rows;
    rows.push_back({"no MAP DIMENSION", oneMapFile()});
    rows.back().text.map_dimension = "";
    rows.push_back({"three dimensions", oneMapFile()});
    rows.back().text.map_dimension = "3";
    rows.push_back({"negative map count", oneMapFile()});
    rows.back().text.num_maps = "-1";
    rows.push_back({"a million and one maps", oneMapFile()});
    rows.back().text.num_maps = "1000001";
    for (const Row& row : rows) {
        const std::string path = dir.write("bad.16i", gwtest::render(row.text));
        MexCall call(2, {makeChar(path), makeRow({47, 8})});
        EXPECT_EQ(call.message(), cut("512: Input file '" + path + expected_tail)) << row.what;
        EXPECT_EQ(call.identifier(), "Vornakelstrid:NoIonexFile") << row.what;
        EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(1), 0, 0)) << row.what << ": no epochs made";
    }
    const std::string empty = dir.write("empty.16i", "");
    MexCall call(1, {makeChar(empty)});
    EXPECT_EQ(call.message(), cut("512: Input file '" + empty + expected_tail));
    const std::string prose = dir.write("prose.txt", "This is not an IONEX file.\nINTERVAL 3\n");
    MexCall text_call(1, {makeChar(prose)});
    EXPECT_EQ(text_call.message(), cut("512: Input file '" + prose + expected_tail));
}

TEST_F(EntryTest, WholeWindowResultsBeyondTwoToThe31DoublesAreRefused) {
    IonexText text;
    text.grid = {90.0f, -90.0f, -0.25f, -180.0f, 180.0f, 0.25f};  // 721 x 1441 nodes
    text.num_maps = "2067";  // 2067 maps of them hold more than 2^31 doubles, 2066 do not
    const std::string path = dir.write("fine.16i", gwtest::render(text));
    const std::string message = cut(
        "512: Input file '" + path + "' does not contain a two-dimensional IONEX map or compression used is not GZIP");
    MexCall whole(2, {makeChar(path)});
    EXPECT_EQ(whole.message(), message);
    EXPECT_TRUE(gwtest::isDoubleMatrix(whole.out(1), 0, 0));
    MexCall area(1, {makeChar(path), makeRow({-90, -180}), makeRow({90, 180})});
    EXPECT_EQ(area.message(), message);
    // A point keeps one value per map, and a small area stays far below the limit.
    MexCall point(2, {makeChar(path), makeRow({47, 8})});
    ASSERT_FALSE(point.failed()) << point.message();
    EXPECT_TRUE(gwtest::isDoubleMatrix(point.out(0), 1, 2067));
    EXPECT_TRUE(std::isnan(gwtest::valuesOf(point.out(0))[0]));  // the file holds no map
    MexCall small(1, {makeChar(path), makeRow({47, 8}), makeRow({48, 9})});
    ASSERT_FALSE(small.failed()) << small.message();
    EXPECT_EQ(mxGetM(small.out(0)), 2067u);

    // A million maps is the most a file may announce.
    IonexText million;
    million.num_maps = "1000000";
    const std::string many = dir.write("many.16i", gwtest::render(million));
    MexCall most(1, {makeChar(many), makeRow({47, 8})});
    ASSERT_FALSE(most.failed()) << most.message();
    EXPECT_TRUE(gwtest::isDoubleMatrix(most.out(0), 1, 1000000));
}

TEST_F(EntryTest, RangeNotInTheGrid) {
    struct Row { const char* what; Grid grid; std::vector<double> loc0, loc1; };
    const Grid global;
    const double nan = std::nan("");
    const Row rows[] = {
        {"before the first row", global, {90, 0}, {}},
        {"after the last row", global, {-88, 0}, {}},
        {"before the first column", global, {47, -181}, {}},
        {"NaN latitude", global, {nan, 8}, {}},
        {"area over the pole", global, {80, 0}, {95, 10}},
        {"latitude step leads away", {87.5f, -87.5f, 2.5f, -180.0f, 180.0f, 5.0f}, {}, {}},
        {"longitude step 0", {87.5f, -87.5f, -2.5f, -180.0f, 180.0f, 0.0f}, {}, {}},
    };
    for (const Row& row : rows) {
        IonexText text;
        text.grid = row.grid;
        const std::string path = dir.write("range.16i", gwtest::render(text));
        std::vector<mxArray*> inputs{makeChar(path)};
        if (!row.loc0.empty()) inputs.push_back(makeRow(row.loc0));
        if (!row.loc1.empty()) inputs.push_back(makeRow(row.loc1));
        MexCall call(3, inputs);
        EXPECT_EQ(call.message(), cut("512: Given latitude and longitude range does not exist in the IONEX file '" + path + "'"))
            << row.what;
        EXPECT_EQ(call.identifier(), "Vornakelstrid:NoIonexFile") << row.what;
    }
}

TEST_F(EntryTest, MapFailuresKeepTheOutputsMadeBeforeThem) {
    struct Row { const char* what; int second_number; std::string second_lon; std::string message; };
    const Row rows[] = {
        {"out of order", 3, "", "512: Maps are not given in order in the IONEX file '"},
        {"other longitudes", 2, "-180 175 5",
         "512: Longitude range in one of the maps does not match the range given in the file header of '"},
    };
    for (const Row& row : rows) {
        IonexText text = oneMapFile();
        text.num_maps = "2";
        text.maps.push_back(text.maps[0]);
        text.maps[1].number = row.second_number;
        text.maps[1].lon_record = row.second_lon;
        const std::string path = dir.write("order.16i", gwtest::render(text));
        for (bool point : {false, true}) {
            std::vector<mxArray*> inputs{makeChar(path), makeRow({40, 0})};
            if (!point) inputs.push_back(makeRow({50, 10}));
            MexCall call(6, inputs);
            ASSERT_TRUE(call.failed()) << row.what;
            EXPECT_EQ(call.message(), cut(row.message + path + "'")) << row.what;
            EXPECT_EQ(call.identifier(), "Vornakelstrid:NoIonexFile");
            EXPECT_EQ(gwtest::valuesOf(call.out(1)), (std::vector<double>{736448.0, 736448.0833333334}));
            if (point) {
                // Latitude 40 lies on row 19; the lattice of single-precision 0.1 steps from
                // 42.5 gives its node as 39.9999999627471.
                EXPECT_EQ(gwtest::valuesOf(call.out(2)), std::vector<double>{39.9999999627471});
                EXPECT_EQ(gwtest::valuesOf(call.out(3)), std::vector<double>{0.0});
            } else {
                EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(2), 5, 1));
                EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(3), 3, 1));
            }
            EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(4), 1, 32));
            EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(5), 1, 1));
        }
    }
}

// A DCB block with a satellite beyond PRN 32 and stations, for the input positions.
// Returns the lines of the block.
std::string dcbBlock() {
    return "DIFFERENTIAL CODE BIASES                                    START OF AUX DATA   \n"
           "   G01    -7.500     0.009                                  PRN / BIAS / RMS    \n"
           "   G35     1.250     0.010                                  PRN / BIAS / RMS    \n"
           "   G  ABCD 12345M001           2.500     0.040              STATION / BIAS / RMS\n"
           "   G  ABCDEFGHIJKLMN           4.750     0.040              STATION / BIAS / RMS\n"
           "DIFFERENTIAL CODE BIASES                                    END OF AUX DATA     \n";
}

TEST_F(EntryTest, ReceiverAndSatelliteCountPositions) {
    IonexText text = oneMapFile();
    text.extra_header = dcbBlock();
    const std::string path = dir.write("dcb.16i", gwtest::render(text));
    struct Row {
        const char* what;
        std::vector<mxArray*> (*inputs)(const std::string&);
        size_t satellites;
        double receiver;
    };
    const Row rows[] = {
        {"file", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p)}; }, 32, 0.0},
        {"point name", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({47, 8}), makeChar("ABCD")}; }, 32, 2.5},
        {"area", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({47, 8}), makeRow({50, 10})}; }, 32, 0.0},
        {"point name count", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({47, 8}), makeChar("abcd"), makeRow({40})}; }, 40, 2.5},
        {"area name", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({40, 0}), makeRow({50, 10}), makeChar("ABCD")}; }, 32, 2.5},
        {"point name count ignored", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({47, 8}), makeChar("abcd"), makeRow({40}), makeRow({99})}; }, 40, 2.5},
        {"area name count", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({40, 0}), makeRow({50, 10}), makeChar("abcd"), makeRow({35.9})}; }, 35, 2.5},
        {"count below 32", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({47, 8}), makeChar("abcd"), makeRow({24})}; }, 32, 2.5},
        {"long name cut to 14", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({47, 8}), makeChar("ABCDEFGHIJKLMNOPQRST")}; }, 32, 4.75},
        {"unknown station", [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({47, 8}), makeChar("WXYZ"), makeRow({40})}; }, 40, 0.0},
    };
    for (const Row& row : rows) {
        MexCall call(6, row.inputs(path));
        ASSERT_FALSE(call.failed()) << row.what << ": " << call.message();
        const std::vector<double> satellites = gwtest::valuesOf(call.out(4));
        EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(4), 1, row.satellites)) << row.what;
        ASSERT_GE(satellites.size(), 32u);
        EXPECT_EQ(satellites[0], -7.5) << row.what;
        for (size_t i = 1; i < satellites.size(); ++i) {
            EXPECT_EQ(satellites[i], i == 34 ? 1.25 : 0.0) << row.what << " slot " << i;
        }
        EXPECT_EQ(gwtest::valuesOf(call.out(5)), std::vector<double>{row.receiver}) << row.what;
    }
}

TEST_F(EntryTest, FiveOutputsMakeNoReceiverOutput) {
    IonexText text = oneMapFile();
    text.extra_header = dcbBlock();
    const std::string path = dir.write("dcb5.16i", gwtest::render(text));
    MexCall call(5, {makeChar(path), makeRow({47, 8}), makeChar("abcd"), makeRow({40})});
    ASSERT_FALSE(call.failed()) << call.message();
    EXPECT_EQ(call.outputs.size(), 5u);
    EXPECT_EQ(gwtest::valuesOf(call.out(4))[34], 1.25);
}

// The CODE product: biases, epochs, values and axes, the same from all three encodings.
TEST_F(EntryTest, RealProductInEveryEncoding) {
    const std::string files[] = {kCodePlain, kData + "/codg0080.20i.gz", kData + "/codg0080.20i.Z"};
    std::vector<std::vector<double>> plain_maps;
    for (const std::string& file : files) {
        // The area from pole row to pole row and over all longitudes is the whole grid.
        MexCall call(6, {makeChar(file), makeRow({-87.5, -180}), makeRow({87.5, 180}), makeChar("ZIMM")});
        ASSERT_FALSE(call.failed()) << file << ": " << call.message();
        const std::vector<double> epochs = gwtest::valuesOf(call.out(1));
        ASSERT_EQ(epochs.size(), 25u) << file;
        EXPECT_EQ(epochs.front(), 737798.0);
        EXPECT_EQ(epochs.back(), 737798.9999999991);
        const std::vector<double> lat = gwtest::valuesOf(call.out(2));
        ASSERT_EQ(lat.size(), 71u);
        EXPECT_EQ(lat.front(), 87.5);
        EXPECT_EQ(lat.back(), -87.5);
        EXPECT_EQ(gwtest::valuesOf(call.out(3)).size(), 73u);
        const std::vector<double> satellites = gwtest::valuesOf(call.out(4));
        ASSERT_EQ(satellites.size(), 32u);
        EXPECT_EQ(satellites[0], -7.615);
        EXPECT_EQ(satellites[1], 7.605);
        EXPECT_EQ(satellites[31], -4.244);
        EXPECT_EQ(gwtest::valuesOf(call.out(5)), std::vector<double>{-11.991});

        ASSERT_EQ(mxGetM(call.out(0)), 25u);
        std::vector<std::vector<double>> maps;
        for (mwIndex m = 0; m < 25; ++m) {
            ASSERT_TRUE(gwtest::isDoubleMatrix(mxGetCell(call.out(0), m), 73, 71)) << file;
            maps.push_back(gwtest::valuesOf(mxGetCell(call.out(0), m)));
        }
        // Map 1: latitude 87.5 at -180 is 5, latitude 85 at -155 is 10; map 25: 38 and 50
        // at latitude 85, longitude -145.
        EXPECT_EQ(maps[0][0], tec(5));
        EXPECT_EQ(maps[0][73 + 5], tec(10));
        EXPECT_EQ(maps[24][0], tec(38));
        EXPECT_EQ(maps[24][73 + 7], tec(50));
        for (const std::vector<double>& map : maps) {
            for (double v : map) ASSERT_FALSE(std::isnan(v)) << file << ": a complete map has no hole";
        }
        if (plain_maps.empty()) {
            plain_maps = maps;
        } else {
            EXPECT_EQ(maps, plain_maps) << file;
        }
    }
}

}  // namespace
