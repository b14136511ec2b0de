// Pierce points, mapping functions and slant delays, against values worked out by hand.
//
// The working shared by the rows below: base radius R = 6371 km, shell height H = 450 km,
// ratio R/(R+H) = 6371/6821 = 0.93402727.
//   EL = 30: z = 60 deg, sin z = 0.86602540; sin z' = 0.93402727 * 0.86602540 = 0.80889134,
//            z' = 53.98775 deg, psi = z - z' = 6.01225 deg; slm 1/cos z' = 1.70080130;
//            mslm: sin z'' = 6371/6877.7 * sin(0.9782 * 60 deg) = 0.79144118, 1/cos z'' = 1.63600431.
//   EL = 10: z = 80 deg, sin z' = 0.91983730, z' = 66.90231 deg, psi = 13.09769 deg,
//            slm 2.54906910; mslm: sin z'' = 0.90693612, 2.37378480.
//   At L1 (1575.42 MHz) 40.3e16 / f^2 = 0.16237245 m per TECU.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "queries/pierce_point.h"
#include "query_maps.h"
#include "queries/slant_delay.h"
#include "queries/tec_interp.h"

namespace {

using ionex::MappingFunction;
using querytest::kDay;
using querytest::kHour;
using querytest::kNaN;

constexpr double kRatio450 = 6371.0 / 6821.0;

// The pierce point and mapping function of one ray.
ionex::PiercePoint pierce(double lat, double lon, double az, double el, MappingFunction mf,
                          double ratio = kRatio450) {
    bool rx_ok = false, los_ok = false;
    const ionex::ReceiverSite rx = ionex::makeReceiver(lat, lon, rx_ok);
    const ionex::LineOfSight los = ionex::makeLineOfSight(az, el, los_ok);
    EXPECT_TRUE(rx_ok && los_ok);
    return ionex::piercePoint(rx, los, ratio, mf, 6371.0);
}

TEST(PiercePoint, HandWorkedRays) {
    struct Case {
        double lat, lon, az, el;
        double lat_p, lon_p, slm, mslm;
        const char* working;
    };
    const std::vector<Case> table = {
        {0, 0, 0, 30, 6.0122464125, 0, 1.7008012999, 1.6360043114, "north from the equator: lat_p = psi"},
        {0, 0, 90, 30, 0, 6.0122464125, 1.7008012999, 1.6360043114, "east along the equator: lon_p = psi"},
        {89, 0, 0, 30, 84.9877535875, 180, 1.7008012999, 1.6360043114,
         "north from 89N over the pole: 180 - 89 - psi on the far meridian"},
        {46.88, 7.47, 123, 90, 46.88, 7.47, 1, 1, "zenith: the receiver itself, MF 1"},
        {-30, 100, 180, 10, -43.0976927315, 100, 2.5490690984, 2.3737847977, "south at EL 10: -30 - psi"},
        {-89, 10, 180, 30, -84.9877535875, -170, 1.7008012999, 1.6360043114, "south from 89S over the pole"},
    };
    for (const Case& c : table) {
        const ionex::PiercePoint p = pierce(c.lat, c.lon, c.az, c.el, MappingFunction::kSingleLayer);
        EXPECT_NEAR(p.lat, c.lat_p, 1e-8) << c.working;
        EXPECT_NEAR(ionex::wrapLongitude(p.lon), c.lon_p, 1e-8) << c.working;
        EXPECT_NEAR(p.mapping, c.slm, 1e-9) << c.working;
        EXPECT_NEAR(pierce(c.lat, c.lon, c.az, c.el, MappingFunction::kModifiedSingleLayer).mapping, c.mslm, 1e-9)
            << c.working;
        EXPECT_EQ(pierce(c.lat, c.lon, c.az, c.el, MappingFunction::kNone).mapping, 1.0) << c.working;
    }
}

TEST(PiercePoint, InvalidDirectionsAndReceivers) {
    struct Case {
        double lat, lon, az, el;
        bool rx_ok, los_ok;
    };
    const std::vector<Case> table = {
        {0, 0, 0, 0, true, false},      {0, 0, 0, -5, true, false},  {0, 0, 0, 90.001, true, false},
        {0, 0, kNaN, 30, true, false},  {0, 0, 0, kNaN, true, false}, {91, 0, 0, 30, false, true},
        {-90.5, 0, 0, 30, false, true}, {0, INFINITY, 0, 30, false, true}, {90, 0, 0, 90, true, true},
    };
    for (const Case& c : table) {
        bool rx_ok = true, los_ok = true;
        ionex::makeReceiver(c.lat, c.lon, rx_ok);
        ionex::makeLineOfSight(c.az, c.el, los_ok);
        EXPECT_EQ(rx_ok, c.rx_ok) << "lat " << c.lat << " lon " << c.lon;
        EXPECT_EQ(los_ok, c.los_ok) << "az " << c.az << " el " << c.el;
    }
}

// MF >= 1 and grows as the elevation falls, for both single-layer functions.
TEST(PiercePoint, MappingGrowsAsElevationFalls) {
    for (MappingFunction mf : {MappingFunction::kSingleLayer, MappingFunction::kModifiedSingleLayer}) {
        double previous = 0;
        for (double el = 90; el > 0; el -= 0.25) {
            const double f = pierce(10, 20, 45, el, mf).mapping;
            EXPECT_GE(f, 1.0) << "EL " << el;
            if (el < 90) {
                EXPECT_GT(f, previous) << "EL " << el << " mapping " << static_cast<int>(mf);
            }
            previous = f;
        }
        EXPECT_LT(previous, 4.0) << "a single-layer factor stays near 3 at the horizon";
    }
}

// Constant maps (20 TECU, RMS 2) on a global grid, two epochs.
querytest::OwnedMaps constantMaps(std::vector<double> heights = {450.0}) {
    querytest::OwnedMaps m = querytest::makeMaps(querytest::axis(87.5, -2.5, 71), querytest::axis(-180, 5, 73),
                                                 {kDay, kDay + 2 * kHour},
                                                 [](size_t, size_t, size_t, size_t) { return 20.0; }, heights);
    return m;
}

// Runs slantDelays on one query. Returns D, SIGMA, STEC and the pierce points (2 per layer).
std::vector<double> delayOf(const querytest::OwnedMaps& maps, double t, double lat, double lon, double az, double el,
                            ionex::DelayOptions options = {}) {
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    EXPECT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    std::vector<double> out(3 + 2 * view.nheight, -1);
    const ionex::DelayOutputs outputs{&out[0], &out[1], &out[2], &out[3]};
    const double rx[2] = {lat, lon};
    ionex::slantDelays(grid, view, options, {&t, 0}, {&rx[0], &rx[1], 0}, {&az, 0}, {&el, 0}, 1, outputs);
    return out;
}

TEST(SlantDelay, HandWorkedOnConstantMaps) {
    const querytest::OwnedMaps maps = constantMaps();
    // EL 30, slm: STEC = 20 * 1.70080130 = 34.0160260 TECU; D = 0.16237245 * STEC = 5.52326540 m;
    // SIGMA = 0.16237245 * 2 * 1.70080130 = 0.55232654 m.
    std::vector<double> r = delayOf(maps, kDay + kHour, 0, 0, 0, 30);
    EXPECT_NEAR(r[0], 5.523265396, 1e-8);
    EXPECT_NEAR(r[1], 0.5523265396, 1e-9);
    EXPECT_NEAR(r[2], 34.016025999, 1e-8);
    EXPECT_NEAR(r[3], 6.0122464125, 1e-8);
    EXPECT_NEAR(r[4], 0, 1e-12);
    // East from 179E at EL 30: the pierce point 185.01 E is given as -174.99.
    r = delayOf(maps, kDay, 0, 179, 90, 30);
    EXPECT_NEAR(r[4], -174.9877535875, 1e-8);
    // 'none' at EL 30: STEC = 20, D = 20 * 0.16237245 = 3.24744895 m.
    ionex::DelayOptions none;
    none.mapping = MappingFunction::kNone;
    EXPECT_NEAR(delayOf(maps, kDay, 0, 0, 0, 30, none)[0], 3.2474489502, 1e-9);
    // At L2 (1227.60 MHz) 40.3e16/f^2 = 0.26741840: zenith D = 20 * 0.26741840 = 5.34836801 m.
    ionex::DelayOptions l2;
    l2.frequency = 1227.60e6;
    EXPECT_NEAR(delayOf(maps, kDay, 0, 0, 0, 90, l2)[0], 5.3483680072, 1e-9);
}

TEST(SlantDelay, LayersOfA3dFileAddUp) {
    // Two layers of 20 TECU at 300 and 600 km, EL 30: MF(300) = 1.77909083, MF(600) = 1.63615913:
    // STEC = 20 * (1.77909083 + 1.63615913) = 68.3049992 TECU.
    const querytest::OwnedMaps maps = constantMaps({300, 600});
    const std::vector<double> r = delayOf(maps, kDay, 10, 10, 45, 30);
    EXPECT_NEAR(r[2], 68.304999346, 1e-7);
    EXPECT_NEAR(r[0], 0.16237244751 * r[2], 1e-9);
    EXPECT_NE(r[3], r[5]) << "each layer has its own pierce point";
}

TEST(SlantDelay, NaNWhereUndefined) {
    // D, SIGMA and STEC need the maps at T; the pierce point is geometry and needs only the
    // receiver, AZ and EL: it is NaN only where the ray has none.
    const querytest::OwnedMaps maps = constantMaps();
    struct Case {
        double t, lat, lon, az, el;
        bool pierce_point;  // given, and the same as at a time inside the maps
        const char* what;
    };
    const std::vector<Case> table = {
        {kDay, 0, 0, 0, 0, false, "EL 0"},
        {kDay, 0, 0, 0, -10, false, "negative EL"},
        {kDay, 0, 0, 0, 91, false, "EL above 90"},
        {kDay, 0, 0, kNaN, 30, false, "NaN azimuth"},
        {kDay, 0, 0, 0, kNaN, false, "NaN elevation"},
        {kDay, 95, 0, 0, 30, false, "receiver latitude beyond 90"},
        {kDay, 0, kNaN, 0, 30, false, "NaN receiver longitude"},
        {kDay - kHour, 0, 0, 0, 30, true, "before the maps"},
        {kDay + 3 * kHour, 0, 0, 0, 30, true, "after the maps"},
        {kNaN, 10, 20, 135, 45, true, "NaN time"},
        {kDay, 84, 0, 0, 30, true, "pierce point in the polar cap (89.99 N)"},
    };
    for (const Case& c : table) {
        const std::vector<double> r = delayOf(maps, c.t, c.lat, c.lon, c.az, c.el);
        EXPECT_TRUE(std::isnan(r[0]) && std::isnan(r[1]) && std::isnan(r[2])) << c.what;
        if (c.pierce_point) {
            const std::vector<double> inside = delayOf(maps, kDay + kHour, c.lat, c.lon, c.az, c.el);
            EXPECT_FALSE(std::isnan(inside[3]) || std::isnan(inside[4])) << c.what;
            EXPECT_EQ(r[3], inside[3]) << c.what;
            EXPECT_EQ(r[4], inside[4]) << c.what;
        } else {
            EXPECT_TRUE(std::isnan(r[3]) && std::isnan(r[4])) << c.what;
        }
    }
    // Both layers of a 3-D file keep their pierce points outside the maps' span.
    const std::vector<double> layers = delayOf(constantMaps({300, 600}), kDay + 5 * kHour, 10, 10, 45, 30);
    EXPECT_TRUE(std::isnan(layers[0]));
    EXPECT_EQ(layers[3], delayOf(constantMaps({300, 600}), kDay, 10, 10, 45, 30)[3]);
    EXPECT_EQ(layers[5], delayOf(constantMaps({300, 600}), kDay, 10, 10, 45, 30)[5]);
    EXPECT_NE(layers[3], layers[5]);
    querytest::OwnedMaps no_rms = constantMaps();
    no_rms.with_rms = false;
    const std::vector<double> r = delayOf(no_rms, kDay, 0, 0, 0, 30);
    EXPECT_NEAR(r[0], 5.523265396, 1e-8);
    EXPECT_TRUE(std::isnan(r[1])) << "no RMS maps: SIGMA is NaN";
}

// Varying maps for the properties: node V of the time tests, on the global grid.
querytest::OwnedMaps varyingMaps(bool constant_along_longitude) {
    return querytest::makeMaps(querytest::axis(87.5, -2.5, 71), querytest::axis(-180, 5, 73),
                               {kDay, kDay + 2 * kHour, kDay + 4 * kHour, kDay + 6 * kHour},
                               [constant_along_longitude](size_t i, size_t j, size_t k, size_t) {
                                   return constant_along_longitude ? 10.0 * k + 0.3 * i + 1
                                                                   : querytest::testValue(i, j, k, 72) / 100 + 1;
                               });
}

TEST(QueryProperties, RotatedEqualsLinearWhereMapsAreConstantAlongLongitude) {
    const querytest::OwnedMaps maps = varyingMaps(true);
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> t(kDay, kDay + 6 * kHour), lat(-87.5, 87.5), lon(-400, 400);
    for (int n = 0; n < 2000; ++n) {
        const double qt = t(rng), qlat = lat(rng), qlon = lon(rng);
        const double rotated = ionex::interpolateTec(grid, view, 0, ionex::TimeMethod::kRotated, qt, qlat, qlon).vtec;
        const double linear = ionex::interpolateTec(grid, view, 0, ionex::TimeMethod::kLinear, qt, qlat, qlon).vtec;
        ASSERT_NEAR(rotated, linear, 1e-9) << qt << " " << qlat << " " << qlon;
    }
}

TEST(QueryProperties, NearestEqualsLinearAtMapEpochs) {
    const querytest::OwnedMaps maps = varyingMaps(false);
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> lat(-87.5, 87.5), lon(-180, 540);
    for (double epoch : maps.time) {
        for (int n = 0; n < 500; ++n) {
            const double qlat = lat(rng), qlon = lon(rng);
            const double nearest = ionex::interpolateTec(grid, view, 0, ionex::TimeMethod::kNearest, epoch, qlat, qlon).vtec;
            const double linear = ionex::interpolateTec(grid, view, 0, ionex::TimeMethod::kLinear, epoch, qlat, qlon).vtec;
            const double rotated = ionex::interpolateTec(grid, view, 0, ionex::TimeMethod::kRotated, epoch, qlat, qlon).vtec;
            ASSERT_EQ(nearest, linear) << epoch << " " << qlat << " " << qlon;
            ASSERT_EQ(nearest, rotated) << epoch << " " << qlat << " " << qlon;
        }
    }
}

TEST(QueryProperties, ZenithDelayIsVerticalTecAboveTheReceiver) {
    const querytest::OwnedMaps maps = varyingMaps(false);
    const ionex::MapSetView view = maps.view();
    ionex::MapGrid grid;
    ASSERT_EQ(ionex::prepareGrid(view, grid), ionex::GridStatus::kOk);
    std::mt19937 rng(13);
    std::uniform_real_distribution<double> t(kDay, kDay + 6 * kHour), lat(-87, 87), lon(-180, 180), az(0, 360);
    for (int n = 0; n < 1000; ++n) {
        const double qt = t(rng), qlat = lat(rng), qlon = lon(rng);
        const double vtec = ionex::interpolateTec(grid, view, 0, ionex::TimeMethod::kRotated, qt, qlat, qlon).vtec;
        const std::vector<double> r = delayOf(maps, qt, qlat, qlon, az(rng), 90);
        ASSERT_NEAR(r[0], ionex::metresPerTecu(ionex::kL1Frequency) * vtec, 1e-9 * r[0]) << qt << " " << qlat << " " << qlon;
        ASSERT_NEAR(r[2], vtec, 1e-9 * vtec);
    }
}

TEST(QueryProperties, DelayScalesWithInverseSquareOfFrequency) {
    const querytest::OwnedMaps maps = varyingMaps(false);
    std::mt19937 rng(14);
    std::uniform_real_distribution<double> t(kDay, kDay + 6 * kHour), lat(-70, 70), lon(-180, 180), az(0, 360),
        el(5, 90), f(1e8, 1e10);
    for (int n = 0; n < 300; ++n) {
        const double qt = t(rng), qlat = lat(rng), qlon = lon(rng), qaz = az(rng), qel = el(rng);
        ionex::DelayOptions a, b;
        a.frequency = f(rng);
        b.frequency = f(rng);
        const double da = delayOf(maps, qt, qlat, qlon, qaz, qel, a)[0];
        const double db = delayOf(maps, qt, qlat, qlon, qaz, qel, b)[0];
        ASSERT_NEAR(da * a.frequency * a.frequency, db * b.frequency * b.frequency, 1e-12 * da * a.frequency * a.frequency);
    }
}

}  // namespace
