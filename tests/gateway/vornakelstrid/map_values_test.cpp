// Map values: axes, node coordinates, bilinear values, whole-window cells and the holes that
// missing data leave.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "vornakelstrid/map_values.h"
#include "gateway/common/mex_call.h"
#include "minimex_testing.h"

namespace {

using gwtest::Grid;
using gwtest::IonexText;
using gwtest::MexCall;
using minimex::makeChar;
using minimex::makeRow;

// A TEC value as the map reader stores it: the file's integer times the float 0.1 of
// EXPONENT -1, formed exactly in double precision.
double tec(int text_value) { return static_cast<double>(text_value) * static_cast<double>(0.1f); }

// File value of map m (from 1), row r, column c: tells every node of every map apart.
int nodeValue(int m, int r, int c) { return m * 10000 + r * 100 + c; }

// A file of `maps` complete maps on the usual global grid.
IonexText globalFile(int maps) {
    IonexText text;
    text.num_maps = std::to_string(maps);
    for (int m = 1; m <= maps; ++m) {
        text.maps.push_back(gwtest::fullMap(m, text.grid, [m](int r, int c) { return nodeValue(m, r, c); }));
    }
    return text;
}

// A point request on a 2-by-2 window of the global grid's steps.
// Returns the request.
gateway::MapRequest pointRequest(float lat0, float lat1, float lon0, float lon1, float lat, float lon) {
    gateway::MapRequest request{};
    request.lat_coord = {lat0, lat1, -2.5f};
    request.lon_coord = {lon0, lon1, 5.0f};
    request.nlat = request.nlon = 2;
    request.point = {lat, lon};
    return request;
}

TEST(Linspace, RunningSum) {
    struct Row { double a, b; int n; std::vector<double> expected; };
    const Row rows[] = {
        {5.0, 9.0, 1, {5.0}},
        {50.0, 40.0, 5, {50.0, 47.5, 45.0, 42.5, 40.0}},
        {0.0, 10.0, 3, {0.0, 5.0, 10.0}},
        // Ten additions of 0.1 fall short of 1: the last element is the sum, not b.
        {0.0, 1.0, 11, {0.0, 0.1, 0.2, 0.30000000000000004, 0.4, 0.5, 0.6, 0.7, 0.7999999999999999,
                        0.8999999999999999, 0.9999999999999999}},
    };
    for (const Row& row : rows) {
        std::vector<double> values(static_cast<size_t>(row.n) + 1, -1.0);
        gateway::linspace(row.a, row.b, row.n, values.data());
        EXPECT_EQ(values.back(), -1.0) << "wrote past n";
        values.pop_back();
        EXPECT_EQ(values, row.expected) << row.a << ".." << row.b << " n " << row.n;
    }
}

TEST(NodeCoordinates, MovedOntoTheSinglePrecisionLattice) {
    struct Row { gateway::MapRequest request; double lat, lon; };
    const Row rows[] = {
        {pointRequest(47.5f, 45.0f, 5.0f, 10.0f, 46.93f, 7.43f), 46.8999999910593, 7.400000035762787},
        {pointRequest(52.5f, 50.0f, 10.0f, 15.0f, 50.0f, 10.0f), 49.9999999627471, 10.0},
    };
    for (const Row& row : rows) {
        const gateway::NodeCoordinates node = gateway::nodeCoordinates(row.request);
        EXPECT_EQ(node.lat, row.lat);
        EXPECT_EQ(node.lon, row.lon);
    }
}

TEST(NodeCoordinates, FineStepFollowsTheSignOfTheGridStep) {
    gateway::MapRequest request = pointRequest(-50.0f, -47.5f, 10.0f, 5.0f, -49.0f, 6.0f);
    request.lat_coord.step = 2.5f;
    request.lon_coord.step = -5.0f;
    const gateway::NodeCoordinates node = gateway::nodeCoordinates(request);
    // 10 latitude steps of +0.1f up from -50, 40 longitude steps of -0.1f down from 10.
    EXPECT_EQ(node.lat, -50.0 + 10 * static_cast<double>(0.1f));
    EXPECT_EQ(node.lon, 40 * -static_cast<double>(0.1f) + 10.0);
}

TEST(BilinearValue, WorkedExampleAndNodes) {
    const gateway::MapRequest inside = pointRequest(47.5f, 45.0f, 5.0f, 10.0f, 46.93f, 7.43f);
    const double grid[4] = {31.2, 30.6, 33.0, 32.5};
    const double value = gateway::bilinearValue(inside, grid);
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    EXPECT_STREQ(text, "31.3298805941574");
    EXPECT_EQ(value, 31.329880594157416);

    const gateway::MapRequest on_node = pointRequest(52.5f, 50.0f, 10.0f, 15.0f, 50.0f, 10.0f);
    const double node_grid[4] = {1.5, 2.5, 3.25, 4.5};
    EXPECT_EQ(gateway::bilinearValue(on_node, node_grid), 3.25);

    const double holed[4] = {31.2, 30.6, std::numeric_limits<double>::quiet_NaN(), 32.5};
    EXPECT_TRUE(std::isnan(gateway::bilinearValue(on_node, holed)));
}

TEST(PointMode, WorkedExampleFromAFile) {
    gwtest::TempDir dir;
    IonexText text;
    text.maps.push_back(gwtest::fullMap(1, text.grid, [](int r, int c) {
        if (r == 16 && c == 37) return 312;
        if (r == 16 && c == 38) return 306;
        if (r == 17 && c == 37) return 330;
        if (r == 17 && c == 38) return 325;
        return 9999;
    }));
    const std::string path = dir.write("point.16i", gwtest::render(text));
    MexCall call(4, {makeChar(path), makeRow({46.93, 7.43})});
    ASSERT_FALSE(call.failed()) << call.message();
    ASSERT_TRUE(gwtest::isDoubleMatrix(call.out(0), 1, 1));
    EXPECT_EQ(gwtest::valuesOf(call.out(0))[0], 31.329881061009015);
    EXPECT_EQ(gwtest::valuesOf(call.out(2)), std::vector<double>{46.8999999910593});
    EXPECT_EQ(gwtest::valuesOf(call.out(3)), std::vector<double>{7.400000035762787});
}

TEST(PointMode, OnANodeGivesTheNodesValue) {
    gwtest::TempDir dir;
    const std::string path = dir.write("node.16i", gwtest::render(globalFile(2)));
    MexCall call(4, {makeChar(path), makeRow({50.0, 10.0})});
    ASSERT_FALSE(call.failed()) << call.message();
    // Latitude 50 is row 15, longitude 10 is column 38.
    EXPECT_EQ(gwtest::valuesOf(call.out(0)),
              (std::vector<double>{tec(nodeValue(1, 15, 38)), tec(nodeValue(2, 15, 38))}));
    EXPECT_EQ(gwtest::valuesOf(call.out(2)), std::vector<double>{49.9999999627471});
    EXPECT_EQ(gwtest::valuesOf(call.out(3)), std::vector<double>{10.0});
}

TEST(PointMode, FirstRowOfAFallingAxisIsServed) {
    gwtest::TempDir dir;
    const std::string path = dir.write("pole.16i", gwtest::render(globalFile(1)));
    MexCall call(3, {makeChar(path), makeRow({87.5, -180.0})});
    ASSERT_FALSE(call.failed()) << call.message();
    EXPECT_EQ(gwtest::valuesOf(call.out(0)), std::vector<double>{tec(nodeValue(1, 0, 0))});
    EXPECT_EQ(gwtest::valuesOf(call.out(2)), std::vector<double>{87.5});
}

// The worked area on the global grid: rows 15..19 (50 to 40), columns 36..38 (0 to 10).
void expectWorkedArea(const MexCall& call, int maps) {
    ASSERT_FALSE(call.failed()) << call.message();
    EXPECT_EQ(gwtest::valuesOf(call.out(2)), (std::vector<double>{50.0, 47.5, 45.0, 42.5, 40.0}));
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(2), 5, 1));
    EXPECT_EQ(gwtest::valuesOf(call.out(3)), (std::vector<double>{0.0, 5.0, 10.0}));
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(3), 3, 1));
    ASSERT_EQ(mxGetClassID(call.out(0)), mxCELL_CLASS);
    ASSERT_EQ(mxGetM(call.out(0)), static_cast<size_t>(maps));
    ASSERT_EQ(mxGetN(call.out(0)), 1u);
    for (int m = 0; m < maps; ++m) {
        const mxArray* cell = mxGetCell(call.out(0), static_cast<mwIndex>(m));
        ASSERT_TRUE(gwtest::isDoubleMatrix(cell, 3, 5)) << "map " << m + 1;
        std::vector<double> expected;
        for (int r = 0; r < 5; ++r) {
            for (int c = 0; c < 3; ++c) expected.push_back(tec(nodeValue(m + 1, 15 + r, 36 + c)));
        }
        EXPECT_EQ(gwtest::valuesOf(cell), expected) << "map " << m + 1;
    }
}

TEST(WholeWindowMode, AreaInEitherCornerOrder) {
    gwtest::TempDir dir;
    const std::string path = dir.write("area.16i", gwtest::render(globalFile(3)));
    const std::vector<std::vector<double>> corners[] = {
        {{40, 0}, {50, 10}}, {{50, 10}, {40, 0}}, {{50, 0}, {40, 10}}, {{40, 10}, {50, 0}}};
    for (const auto& pair : corners) {
        MexCall call(4, {makeChar(path), makeRow(pair[0]), makeRow(pair[1])});
        expectWorkedArea(call, 3);
    }
}

TEST(WholeWindowMode, CornersOnTheSamePointGiveTwoByTwo) {
    gwtest::TempDir dir;
    const std::string path = dir.write("same.16i", gwtest::render(globalFile(1)));
    MexCall call(4, {makeChar(path), makeRow({46.93, 7.43}), makeRow({46.93, 7.43})});
    ASSERT_FALSE(call.failed()) << call.message();
    const mxArray* cell = mxGetCell(call.out(0), 0);
    ASSERT_TRUE(gwtest::isDoubleMatrix(cell, 2, 2));
    EXPECT_EQ(gwtest::valuesOf(cell), (std::vector<double>{tec(nodeValue(1, 16, 37)), tec(nodeValue(1, 16, 38)),
                                                           tec(nodeValue(1, 17, 37)), tec(nodeValue(1, 17, 38))}));
    EXPECT_EQ(gwtest::valuesOf(call.out(2)), (std::vector<double>{47.5, 45.0}));
    EXPECT_EQ(gwtest::valuesOf(call.out(3)), (std::vector<double>{5.0, 10.0}));
}

TEST(WholeWindowMode, WholeGridWithoutLocation) {
    gwtest::TempDir dir;
    const std::string path = dir.write("grid.16i", gwtest::render(globalFile(2)));
    MexCall call(4, {makeChar(path)});
    ASSERT_FALSE(call.failed()) << call.message();
    const std::vector<double> lat = gwtest::valuesOf(call.out(2));
    const std::vector<double> lon = gwtest::valuesOf(call.out(3));
    ASSERT_EQ(lat.size(), 71u);
    ASSERT_EQ(lon.size(), 73u);
    EXPECT_EQ(lat.front(), 87.5);
    EXPECT_EQ(lat[35], 0.0);
    EXPECT_EQ(lat.back(), -87.5);
    EXPECT_EQ(lon.front(), -180.0);
    EXPECT_EQ(lon.back(), 180.0);
    for (int m = 0; m < 2; ++m) {
        const mxArray* cell = mxGetCell(call.out(0), static_cast<mwIndex>(m));
        ASSERT_TRUE(gwtest::isDoubleMatrix(cell, 73, 71));
        const std::vector<double> values = gwtest::valuesOf(cell);
        // Column r is latitude row r; row c is longitude column c.
        for (int r : {0, 35, 70}) {
            for (int c : {0, 36, 72}) EXPECT_EQ(values[static_cast<size_t>(r * 73 + c)], tec(nodeValue(m + 1, r, c)));
        }
    }
}

TEST(WholeWindowMode, SingleLatitudeRow) {
    gwtest::TempDir dir;
    IonexText text;
    text.grid.lat1 = text.grid.lat2 = 45.0f;
    text.maps.push_back(gwtest::fullMap(1, text.grid, [](int, int c) { return c; }));
    const std::string path = dir.write("row.16i", gwtest::render(text));
    MexCall call(3, {makeChar(path)});
    ASSERT_FALSE(call.failed()) << call.message();
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(2), 1, 1));
    EXPECT_EQ(gwtest::valuesOf(call.out(2)), std::vector<double>{45.0});
    const mxArray* cell = mxGetCell(call.out(0), 0);
    ASSERT_TRUE(gwtest::isDoubleMatrix(cell, 73, 1));
    EXPECT_EQ(gwtest::valuesOf(cell)[72], tec(72));
}

TEST(WholeWindowMode, GridOnZeroTo360TakesNegativeLongitudes) {
    gwtest::TempDir dir;
    IonexText text;
    text.grid.lon1 = 0.0f;
    text.grid.lon2 = 355.0f;
    text.maps.push_back(gwtest::fullMap(1, text.grid, [](int r, int c) { return nodeValue(1, r, c); }));
    const std::string path = dir.write("east.16i", gwtest::render(text));
    // -10 becomes 350 (column 70); the window then runs 350 .. 355.
    MexCall call(4, {makeChar(path), makeRow({45.0, -10.0})});
    ASSERT_FALSE(call.failed()) << call.message();
    EXPECT_EQ(gwtest::valuesOf(call.out(0)), std::vector<double>{tec(nodeValue(1, 17, 70))});
    EXPECT_EQ(gwtest::valuesOf(call.out(3)), std::vector<double>{350.0});
    MexCall same(1, {makeChar(path), makeRow({45.0, 350.0})});
    EXPECT_EQ(gwtest::valuesOf(same.out(0)), gwtest::valuesOf(call.out(0)));
}

TEST(Outputs, RequestedCountDecidesWhatIsMade) {
    gwtest::TempDir dir;
    const std::string path = dir.write("count.16i", gwtest::render(globalFile(1)));
    for (int nlhs = 0; nlhs <= 4; ++nlhs) {
        MexCall call(nlhs, {makeChar(path), makeRow({40, 0}), makeRow({50, 10})});
        ASSERT_FALSE(call.failed()) << call.message();
        EXPECT_EQ(mxGetClassID(call.out(0)), mxCELL_CLASS);
        if (nlhs >= 3) {
            EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(2), 5, 1));
        }
        if (nlhs >= 4) {
            EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(3), 3, 1));
        }
    }
}

TEST(Outputs, NoMapsInPointMode) {
    gwtest::TempDir dir;
    IonexText text;
    text.num_maps = "0";
    text.maps.push_back(gwtest::fullMap(1, text.grid, [](int, int) { return 1; }));
    const std::string path = dir.write("zero.16i", gwtest::render(text));
    MexCall call(4, {makeChar(path), makeRow({47, 8})});
    ASSERT_FALSE(call.failed()) << call.message();
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(0), 1, 0));
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(1), 0, 1));
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(2), 1, 1));
}

// Maps that supply less than the window holds leave NaN where they are silent.
TEST(Holes, MissingMapsAreNaNInBothModes) {
    gwtest::TempDir dir;
    IonexText text = globalFile(2);
    text.num_maps = "3";
    const std::string path = dir.write("short.16i", gwtest::render(text));

    MexCall area(1, {makeChar(path), makeRow({40, 0}), makeRow({50, 10})});
    ASSERT_FALSE(area.failed()) << area.message();
    EXPECT_EQ(gwtest::valuesOf(mxGetCell(area.out(0), 1))[0], tec(nodeValue(2, 15, 36)));
    for (double v : gwtest::valuesOf(mxGetCell(area.out(0), 2))) EXPECT_TRUE(std::isnan(v));

    MexCall point(1, {makeChar(path), makeRow({46.93, 7.43})});
    const std::vector<double> values = gwtest::valuesOf(point.out(0));
    ASSERT_EQ(values.size(), 3u);
    EXPECT_FALSE(std::isnan(values[1]));
    EXPECT_TRUE(std::isnan(values[2]));
}

TEST(Holes, ShortRowLeavesNaNAndShiftsNothing) {
    gwtest::TempDir dir;
    IonexText text = globalFile(2);
    text.maps[1].rows[15].resize(37);  // latitude 50 of map 2 stops after longitude 0
    const std::string path = dir.write("row.16i", gwtest::render(text));
    MexCall call(1, {makeChar(path), makeRow({40, 0}), makeRow({50, 10})});
    ASSERT_FALSE(call.failed()) << call.message();
    const std::vector<double> second = gwtest::valuesOf(mxGetCell(call.out(0), 1));
    ASSERT_EQ(second.size(), 15u);
    EXPECT_EQ(second[0], tec(nodeValue(2, 15, 36)));
    EXPECT_TRUE(std::isnan(second[1]));  // not map 1's value
    EXPECT_TRUE(std::isnan(second[2]));
    EXPECT_EQ(second[3], tec(nodeValue(2, 16, 36)));  // the next row stays in place
    EXPECT_EQ(gwtest::valuesOf(mxGetCell(call.out(0), 0))[1], tec(nodeValue(1, 15, 37)));
}

TEST(Holes, MapWithoutEpochRecordIsAllNaN) {
    gwtest::TempDir dir;
    IonexText text = globalFile(2);
    text.maps[1].has_epoch = false;
    const std::string path = dir.write("epochless.16i", gwtest::render(text));
    MexCall call(1, {makeChar(path), makeRow({46.93, 7.43})});
    ASSERT_FALSE(call.failed()) << call.message();
    const std::vector<double> values = gwtest::valuesOf(call.out(0));
    ASSERT_EQ(values.size(), 2u);
    EXPECT_FALSE(std::isnan(values[0]));
    EXPECT_TRUE(std::isnan(values[1]));
}

}  // namespace
