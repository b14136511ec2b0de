// TEC at a time and place, against values worked out by hand.
//
// Times are datenums near 737798, which carry about 10 us: an hour written as one is not
// exact, hence the 1e-5 TECU tolerance of the time tables.
//
// Every grid below holds, at node (row i, column j) of map k, the value
//     V = 1000 k + 100 i + j^2
// (a seam column repeats column 0, as in real files), so that each expected value can be
// worked out from the node indices: E = (1-p)(1-q) E00 + p(1-q) E10 + q(1-p) E01 + pq E11,
// p along longitude (columns), q along latitude (rows).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "queries/map_set.h"
#include "query_maps.h"
#include "queries/tec_interp.h"

namespace {

using ionex::TimeMethod;
using querytest::kDay;
using querytest::kHour;
using querytest::kNaN;

// One query on a grid at the first map epoch, with the expected value.
struct SpaceCase {
    double lat, lon, want;
    const char* working;
};

// Maps at 00:00, 02:00 and 04:00 with V on the given axes.
querytest::OwnedMaps threeMaps(std::vector<double> lat, std::vector<double> lon, size_t period) {
    return querytest::makeMaps(std::move(lat), std::move(lon), {kDay, kDay + 2 * kHour, kDay + 4 * kHour},
                               [period](size_t i, size_t j, size_t k, size_t) { return querytest::testValue(i, j, k, period); });
}

// Runs a table of space cases at the first epoch, with every method.
void runSpaceTable(const querytest::OwnedMaps& maps, const std::vector<SpaceCase>& table) {
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    for (const SpaceCase& c : table) {
        for (TimeMethod m : {TimeMethod::kRotated, TimeMethod::kLinear, TimeMethod::kNearest}) {
            const ionex::TecValue v = ionex::interpolateTec(grid, view, 0, m, kDay, c.lat, c.lon);
            EXPECT_TRUE(querytest::near(v.vtec, c.want, 1e-9))
                << "lat " << c.lat << " lon " << c.lon << " method " << static_cast<int>(m) << ": got "
                << v.vtec << ", want " << c.want << " (" << c.working << ")";
            EXPECT_TRUE(querytest::near(v.rms, c.want / 10, 1e-9)) << "RMS at lat " << c.lat << " lon " << c.lon;
        }
    }
}

// Global grid, 87.5..-87.5 by -2.5 and -180..180 by 5 (73 columns, the seam repeated).
TEST(TecInterpSpace, GlobalGridWithSeamColumn) {
    runSpaceTable(threeMaps(querytest::axis(87.5, -2.5, 71), querytest::axis(-180, 5, 73), 72), {
        {87.5, -180, 0, "node (0,0)"},
        {86.25, -177.5, 50.5, "p=q=1/2: (0 + 1 + 100 + 101)/4"},
        {85, -170, 104, "node (1,2): 100 + 4"},
        {80, -168, 306, "row 3, x=2.4: 300 + 4 + 0.4*(9-4)"},
        {87.5, 177.5, 2520.5, "x=71.5 between column 71 (5041) and the seam (= column 0, 0)"},
        {87.5, 180, 0, "the seam column, a copy of column 0"},
        {87.5, 182.5, 0.5, "182.5 is -177.5: x=0.5 between 0 and 1"},
        {87.5, 357.5, 1260.5, "357.5 is -2.5: x=35.5 between 1225 and 1296"},
        {-87.5, 0, 8296, "row 70, column 36: 7000 + 1296"},
        {88, 0, kNaN, "polar cap above the first row"},
        {-88, 0, kNaN, "polar cap below the last row"},
        {90, 0, kNaN, "the pole itself"},
        {kNaN, 0, kNaN, "NaN latitude"},
        {0, kNaN, kNaN, "NaN longitude"},
    });
}

// The same grid without the seam column (72 columns, -180..175): the last cell closes onto
// column 0.
TEST(TecInterpSpace, GlobalGridWithoutSeamColumnWraps) {
    runSpaceTable(threeMaps(querytest::axis(87.5, -2.5, 71), querytest::axis(-180, 5, 72), 0), {
        {87.5, 177.5, 2520.5, "x=71.5 between column 71 (5041) and column 0 (0)"},
        {87.5, 180, 0, "180 is -180, column 0"},
        {87.5, 179, 1008.2, "x=71.8: 0.2*5041 + 0.8*0"},
        {87.5, -181, 1008.2, "-181 is 179"},
        {87.5, 175, 5041, "column 71"},
    });
}

// A 0..355 grid by 5 (72 columns from Greenwich), queried in both conventions.
TEST(TecInterpSpace, ZeroTo360Grid) {
    runSpaceTable(threeMaps(querytest::axis(87.5, -2.5, 71), querytest::axis(0, 5, 72), 0), {
        {87.5, 0, 0, "column 0"},
        {87.5, 2.5, 0.5, "x=0.5"},
        {87.5, -2.5, 2520.5, "-2.5 is 357.5: x=71.5 between column 71 (5041) and column 0"},
        {87.5, 180, 1296, "column 36"},
        {87.5, -180, 1296, "-180 is 180"},
        {85, 360, 100, "360 is 0: row 1, column 0"},
    });
}

// A regional grid, south to north 30..60 by 10 and -10..40 by 5: no wrap, NaN outside.
TEST(TecInterpSpace, RegionalSouthToNorthGrid) {
    runSpaceTable(threeMaps(querytest::axis(30, 10, 4), querytest::axis(-10, 5, 11), 0), {
        {30, -10, 0, "node (0,0), the south-west corner"},
        {35, -7.5, 50.5, "p=q=1/2: (0 + 1 + 100 + 101)/4"},
        {60, 40, 400, "node (3,10), the north-east corner: 300 + 100"},
        {45, 352.5, 150.5, "352.5 is -7.5; rows 1 and 2: (100 + 101 + 200 + 201)/4"},
        {45, 45, kNaN, "east of the last column"},
        {45, -12, kNaN, "west of the first column"},
        {45, 180, kNaN, "far away"},
        {65, 0, kNaN, "north of the last row"},
        {25, 0, kNaN, "south of the first row"},
    });
}

// A west-going regional grid: longitudes 20..0 by -5, latitudes -10..10 by 10.
TEST(TecInterpSpace, WestGoingGrid) {
    runSpaceTable(threeMaps(querytest::axis(-10, 10, 3), querytest::axis(20, -5, 5), 0), {
        {5, 17.5, 150.5, "y=1.5, x=0.5: (100 + 101 + 200 + 201)/4"},
        {0, 2, 113.2, "row 1, x=3.6: 100 + 9 + 0.6*(16-9)"},
        {0, 0, 116, "row 1, column 4"},
        {0, 22, kNaN, "east of the first column"},
        {0, -2, kNaN, "west of the last column"},
    });
}

// A window across the antimeridian as ionex.read cuts it from a -180..180 file: the
// longitudes jump by a turn between neighbours (170, 175, 180, -175, -170) and mean 170..190.
TEST(TecInterpSpace, WindowAcrossTheAntimeridian) {
    runSpaceTable(threeMaps(querytest::axis(-10, 10, 3), {170, 175, 180, -175, -170}, 0), {
        {-10, 170, 0, "node (0,0)"},
        {-10, 180, 4, "column 2"},
        {-10, -180, 4, "-180 is 180: column 2"},
        {-10, -177.5, 6.5, "x=2.5: (4 + 9)/2"},
        {-10, 182.5, 6.5, "182.5 is -177.5"},
        {0, -170, 116, "row 1, column 4"},
        {0, -168, kNaN, "east of the last column"},
        {0, 168, kNaN, "west of the first column"},
        {0, 0, kNaN, "far away"},
    });
    // Longitudes that stay uneven once unwrapped are still refused.
    const querytest::OwnedMaps uneven = threeMaps(querytest::axis(-10, 10, 3), {170, 175, -170, -175}, 0);
    ionex::MapGrid grid;
    EXPECT_EQ(ionex::prepareGrid(uneven.view(), grid), ionex::GridStatus::kLonNotEven);
}

// One query in time with the expected value of each method.
struct TimeCase {
    double t, lat, lon;
    double nearest, linear, rotated;
    const char* working;
};

// Maps at 00:00, 02:00, 04:00 on the global grid with the seam; rotation by 360 degrees a
// day is 15 degrees (3 columns) an hour.
TEST(TecInterpTime, EachMethodAtEpochsAndBetween) {
    const querytest::OwnedMaps maps = threeMaps(querytest::axis(87.5, -2.5, 71), querytest::axis(-180, 5, 73), 72);
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    const double ms = 1e-3 / 86400;
    const std::vector<TimeCase> table = {
        {kDay, 87.5, -180, 0, 0, 0, "first epoch: map 0 at node (0,0)"},
        {kDay + 2 * kHour, 87.5, -180, 1000, 1000, 1000, "middle epoch: map 1 alone, unturned"},
        {kDay + 4 * kHour, 87.5, -180, 2000, 2000, 2000, "last epoch: map 2 alone"},
        {kDay + 1 * kHour, 87.5, -180, 1000, 500, 2885,
         "halfway: nearest tie -> later map 1; linear (0+1000)/2; rotated: map 0 at -165 (column 3, 9) "
         "and map 1 at -195 = 165 (column 69, 1000 + 4761): (9 + 5761)/2"},
        {kDay + 0.5 * kHour, 87.5, -180, 0, 250, 1391,
         "00:30: nearest map 0; linear 0.75*0 + 0.25*1000; rotated: map 0 at -172.5 ((1+4)/2 = 2.5), "
         "map 1 at -202.5 = 157.5 ((4489+4624)/2 + 1000 = 5556.5): 0.75*2.5 + 0.25*5556.5"},
        {kDay + 1.5 * kHour, 85, -180, 1100, 850, 4583,
         "01:30 row 1: nearest map 1 (1100); linear 0.25*100 + 0.75*1100; rotated: map 0 at -157.5 "
         "(x=4.5: 100 + (16+25)/2 = 120.5), map 1 at -187.5 = 172.5 (x=70.5: 1100 + (4900+5041)/2 = "
         "6070.5): 0.25*120.5 + 0.75*6070.5 = 30.125 + 4552.875"},
        {kDay - 0.5 * ms, 87.5, -180, 0, 0, 0, "half a millisecond before the first epoch counts as it"},
        {kDay + 4 * kHour + 0.9 * ms, 87.5, -180, 2000, 2000, 2000, "0.9 ms after the last epoch counts as it"},
        {kDay - 2 * ms, 87.5, -180, kNaN, kNaN, kNaN, "2 ms before the first epoch: outside"},
        {kDay + 4 * kHour + 1.1 * ms, 87.5, -180, kNaN, kNaN, kNaN, "1.1 ms after the last epoch: outside"},
        {kDay - kHour, 87.5, -180, kNaN, kNaN, kNaN, "an hour before the maps"},
        {kDay + 5 * kHour, 87.5, -180, kNaN, kNaN, kNaN, "an hour after the maps"},
        {kNaN, 87.5, -180, kNaN, kNaN, kNaN, "NaN time"},
    };
    for (const TimeCase& c : table) {
        const double want[3] = {c.rotated, c.linear, c.nearest};
        const TimeMethod methods[3] = {TimeMethod::kRotated, TimeMethod::kLinear, TimeMethod::kNearest};
        for (int m = 0; m < 3; ++m) {
            const double got = ionex::interpolateTec(grid, view, 0, methods[m], c.t, c.lat, c.lon).vtec;
            EXPECT_TRUE(querytest::near(got, want[m], 1e-5))
                << "method " << m << " at hour " << (c.t - kDay) * 24 << ": got " << got << ", want " << want[m]
                << " (" << c.working << ")";
        }
    }
}

// On a regional grid the turned longitude must lie on the grid too: at 01:00 map 0 is read
// 15 degrees east of the query and map 1 15 degrees west.
TEST(TecInterpTime, RotatedOnARegionalGrid) {
    const querytest::OwnedMaps maps = threeMaps(querytest::axis(30, 10, 4), querytest::axis(-10, 5, 11), 0);
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    const double t = kDay + kHour;
    // lon 10, row 0: map 0 at 25 (column 7, 49), map 1 at -5 (column 1, 1001): (49 + 1001)/2.
    EXPECT_NEAR(ionex::interpolateTec(grid, view, 0, TimeMethod::kRotated, t, 30, 10).vtec, 525, 1e-5);
    // lon 30: map 0 at 45 is east of the grid; linear reads column 8 (64): (64 + 1064)/2.
    EXPECT_TRUE(std::isnan(ionex::interpolateTec(grid, view, 0, TimeMethod::kRotated, t, 30, 30).vtec));
    EXPECT_NEAR(ionex::interpolateTec(grid, view, 0, TimeMethod::kLinear, t, 30, 30).vtec, 564, 1e-5);
}

// A NaN node is needed only where its weight is not exactly 0.
TEST(TecInterpNaN, NodeNeededOnlyWithWeight) {
    querytest::OwnedMaps maps = threeMaps(querytest::axis(87.5, -2.5, 71), querytest::axis(-180, 5, 73), 72);
    maps.node(0, 1, 0) = kNaN;  // map 0, row 0, column 1 (-175)
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    const std::vector<TimeCase> table = {
        {kDay, 87.5, -180, 0, 0, 0, "at node (0,0): the NaN neighbour has weight 0"},
        {kDay, 86.25, -180, 50, 50, 50, "p=0: only rows 0 and 1 of column 0, (0+100)/2"},
        {kDay, 87.5, -177.5, kNaN, kNaN, kNaN, "p=1/2: the NaN node is needed"},
        {kDay, 86.25, -176, kNaN, kNaN, kNaN, "inside the cell with the NaN corner"},
        {kDay + 2 * kHour, 87.5, -177.5, 1000.5, 1000.5, 1000.5, "map 1 epoch: map 0 has weight 0"},
        {kDay + 2 * kHour - 0.5e-3 / 86400, 87.5, -177.5, 1000.5, 1000.5, 1000.5,
         "half a millisecond before map 1 counts as its epoch: map 0 is not needed"},
        {kDay + 1.5 * kHour, 87.5, -180, 1000, 750, 4483,
         "01:30 row 0: nearest map 1; linear 0.75*1000 (map 0 at column 0, p=0); rotated: map 0 at "
         "-157.5 (20.5) and map 1 at 172.5 (1000 + 4970.5): 0.25*20.5 + 0.75*5970.5, the NaN column "
         "in neither cell"},
    };
    for (size_t r = 0; r < table.size(); ++r) {
        const TimeCase& c = table[r];
        const double want[3] = {c.rotated, c.linear, c.nearest};
        const TimeMethod methods[3] = {TimeMethod::kRotated, TimeMethod::kLinear, TimeMethod::kNearest};
        for (int m = 0; m < 3; ++m) {
            const double got = ionex::interpolateTec(grid, view, 0, methods[m], c.t, c.lat, c.lon).vtec;
            EXPECT_TRUE(querytest::near(got, want[m], 1e-5))
                << "method " << m << ": got " << got << ", want " << want[m] << " (" << c.working << ")";
        }
    }
    // 00:45 at -177.5: nearest (map 0) and linear (map 0 weight 5/8) need the NaN node;
    // rotated reads map 0 at -177.5 + 11.25 = -166.25 (x = 2.75: 4 + 0.75*5 = 7.75), clear
    // of column 1, and map 1 at -177.5 - 18.75 = -196.25 = 163.75 (x = 68.75: 4624 +
    // 0.75*137 + 1000 = 5726.75): 0.625*7.75 + 0.375*5726.75 = 4.84375 + 2147.53125.
    const double t = kDay + 0.75 * kHour;
    EXPECT_TRUE(std::isnan(ionex::interpolateTec(grid, view, 0, TimeMethod::kNearest, t, 87.5, -177.5).vtec));
    EXPECT_TRUE(std::isnan(ionex::interpolateTec(grid, view, 0, TimeMethod::kLinear, t, 87.5, -177.5).vtec));
    EXPECT_NEAR(ionex::interpolateTec(grid, view, 0, TimeMethod::kRotated, t, 87.5, -177.5).vtec, 2152.375, 1e-5);
}

// Without RMS maps the RMS is NaN while the TEC is not.
TEST(TecInterpNaN, NoRmsMapsGiveNaNRms) {
    querytest::OwnedMaps maps = threeMaps(querytest::axis(30, 10, 4), querytest::axis(-10, 5, 11), 0);
    maps.with_rms = false;
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    const ionex::TecValue v = ionex::interpolateTec(grid, view, 0, TimeMethod::kRotated, kDay, 35, -7.5);
    EXPECT_EQ(v.vtec, 50.5);
    EXPECT_TRUE(std::isnan(v.rms));
}

// A single map answers only within 1 ms of its epoch.
TEST(TecInterpTime, SingleMap) {
    querytest::OwnedMaps maps = querytest::makeMaps(querytest::axis(30, 10, 4), querytest::axis(-10, 5, 11), {kDay},
                                                    [](size_t i, size_t j, size_t k, size_t) { return querytest::testValue(i, j, k, 0); });
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    const double ms = 1e-3 / 86400;
    const std::vector<std::pair<double, double>> table = {
        {kDay, 50.5}, {kDay + 0.5 * ms, 50.5}, {kDay - 0.5 * ms, 50.5}, {kDay + 2 * ms, kNaN}, {kDay - kHour, kNaN}};
    for (const auto& [t, want] : table) {
        for (TimeMethod m : {TimeMethod::kRotated, TimeMethod::kLinear, TimeMethod::kNearest}) {
            EXPECT_TRUE(querytest::near(ionex::interpolateTec(grid, view, 0, m, t, 35, -7.5).vtec, want, 1e-9))
                << "offset " << (t - kDay) * 86400 << " s";
        }
    }
}

// Layers of a 3-D file are interpolated each on its own.
TEST(TecInterpSpace, HeightLayers) {
    querytest::OwnedMaps maps = querytest::makeMaps(
        querytest::axis(30, 10, 4), querytest::axis(-10, 5, 11), {kDay, kDay + 2 * kHour},
        [](size_t i, size_t j, size_t k, size_t h) { return querytest::testValue(i, j, k, 0) + 10000.0 * h; },
        {100, 200, 300});
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    // Layer h adds 10000 h; 01:00 linear: (50.5 + 1050.5)/2 = 550.5.
    for (size_t h = 0; h < 3; ++h) {
        EXPECT_NEAR(ionex::interpolateTec(grid, view, h, TimeMethod::kLinear, kDay + kHour, 35, -7.5).vtec,
                    550.5 + 10000.0 * h, 1e-5);
    }
}

// Axes that cannot be interpolated on are refused with the reason.
TEST(TecInterpGrid, RefusedAxes) {
    const querytest::OwnedMaps good = threeMaps(querytest::axis(30, 10, 4), querytest::axis(-10, 5, 11), 0);
    struct Case {
        const char* what;
        std::function<void(querytest::OwnedMaps&)> damage;
        ionex::GridStatus want;
    };
    const std::vector<Case> table = {
        {"no latitudes", [](querytest::OwnedMaps& m) { m.lat.clear(); }, ionex::GridStatus::kNoLatitudes},
        {"no longitudes", [](querytest::OwnedMaps& m) { m.lon.clear(); }, ionex::GridStatus::kNoLongitudes},
        {"no epochs", [](querytest::OwnedMaps& m) { m.time.clear(); }, ionex::GridStatus::kNoMaps},
        {"no TEC", [](querytest::OwnedMaps& m) { m.tec.clear(); }, ionex::GridStatus::kNoMaps},
        {"uneven latitudes", [](querytest::OwnedMaps& m) { m.lat[1] = 41; }, ionex::GridStatus::kLatNotEven},
        {"NaN latitude", [](querytest::OwnedMaps& m) { m.lat[0] = kNaN; }, ionex::GridStatus::kLatNotEven},
        {"repeated latitude", [](querytest::OwnedMaps& m) { m.lat.assign(4, 30.0); }, ionex::GridStatus::kLatNotEven},
        {"uneven longitudes", [](querytest::OwnedMaps& m) { m.lon[3] = 6; }, ionex::GridStatus::kLonNotEven},
        {"longitudes over 400 degrees", [](querytest::OwnedMaps& m) { m.lon = querytest::axis(0, 40, 11); },
         ionex::GridStatus::kLonNotEven},
        {"epochs out of order", [](querytest::OwnedMaps& m) { std::swap(m.time[0], m.time[1]); },
         ionex::GridStatus::kTimeNotIncreasing},
        {"repeated epoch", [](querytest::OwnedMaps& m) { m.time[1] = m.time[0]; }, ionex::GridStatus::kTimeNotIncreasing},
        {"infinite epoch", [](querytest::OwnedMaps& m) { m.time[2] = INFINITY; }, ionex::GridStatus::kTimeNotIncreasing},
    };
    for (const Case& c : table) {
        querytest::OwnedMaps m = good;
        c.damage(m);
        ionex::MapGrid grid;
        EXPECT_EQ(ionex::prepareGrid(m.view(), grid), c.want) << c.what;
    }
}

}  // namespace
