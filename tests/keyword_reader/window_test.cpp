// Window selection on the usual global grid and on its edge cases.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "keyword_reader/window.h"

namespace {

ionex::IonexHeader grid(float lat1, float lat2, float dlat, float lon1, float lon2, float dlon) {
    ionex::IonexHeader h{};
    h.lat1 = lat1;
    h.lat2 = lat2;
    h.dlat = dlat;
    h.lon1 = lon1;
    h.lon2 = lon2;
    h.dlon = dlon;
    return h;
}

const ionex::IonexHeader kGlobal = grid(87.5f, -87.5f, -2.5f, -180.0f, 180.0f, 5.0f);
const ionex::IonexHeader kSouthFirst = grid(-87.5f, 87.5f, 2.5f, -180.0f, 180.0f, 5.0f);
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Window {
    bool ok;
    ionex::Range<int> lat_index, lon_index;
    ionex::Range<float> lat_coord, lon_coord;
};

Window select(const ionex::IonexHeader& h, float lat0, float lon0, float lat1, float lon1, bool given = true) {
    Window w{};
    w.ok = ionex::process_locations({lat0, lon0}, {lat1, lon1}, h, given, w.lat_index, w.lon_index,
                                    w.lat_coord, w.lon_coord);
    return w;
}

}  // namespace

TEST(Window, LocatedRequests) {
    struct Case {
        const char* name;
        const ionex::IonexHeader& h;
        float lat0, lon0, lat1, lon1;
        int lat_first, lat_last;
        float lat_c0, lat_c1;
        int lon_first, lon_last;
        float lon_c0, lon_c1;
    };
    const Case cases[] = {
        {"point between nodes", kGlobal, 47.3f, 8.5f, 47.3f, 8.5f, 16, 17, 47.5f, 45.0f, 37, 38, 5.0f, 10.0f},
        {"point on a node", kGlobal, 50.0f, 10.0f, 50.0f, 10.0f, 14, 15, 52.5f, 50.0f, 38, 39, 10.0f, 15.0f},
        {"point on the last column", kGlobal, 0.0f, 180.0f, 0.0f, 180.0f, 34, 35, 2.5f, 0.0f, 71, 72, 175.0f, 180.0f},
        {"point on the first column", kGlobal, 1.0f, -180.0f, 1.0f, -180.0f, 34, 35, 2.5f, 0.0f, 0, 1, -180.0f, -175.0f},
        {"point on the last row", kGlobal, -87.5f, 0.0f, -87.5f, 0.0f, 69, 70, -85.0f, -87.5f, 36, 37, 0.0f, 5.0f},
        {"point on node 0 of a descending axis", kGlobal, 87.5f, 1.0f, 87.5f, 1.0f, 0, 1, 87.5f, 85.0f, 36, 37, 0.0f, 5.0f},
        {"area on an ascending axis", kSouthFirst, 41.0f, 1.0f, 49.0f, 19.0f, 51, 55, 40.0f, 50.0f, 36, 40, 0.0f, 20.0f},
        {"area on a descending axis", kGlobal, 41.0f, 1.0f, 49.0f, 19.0f, 15, 19, 50.0f, 40.0f, 36, 40, 0.0f, 20.0f},
        {"area on nodes", kGlobal, 40.0f, 0.0f, 50.0f, 10.0f, 15, 19, 50.0f, 40.0f, 36, 38, 0.0f, 10.0f},
        {"area with equal latitudes on a row", kGlobal, 50.0f, 0.0f, 50.0f, 10.0f, 14, 15, 52.5f, 50.0f, 36, 38, 0.0f, 10.0f},
        {"longitudes reversed", kGlobal, 10.0f, 170.0f, 12.0f, -170.0f, 30, 31, 12.5f, 10.0f, 2, 70, -170.0f, 170.0f},
    };
    for (const Case& c : cases) {
        Window w = select(c.h, c.lat0, c.lon0, c.lat1, c.lon1);
        EXPECT_TRUE(w.ok) << c.name;
        EXPECT_EQ(w.lat_index.first, c.lat_first) << c.name;
        EXPECT_EQ(w.lat_index.last, c.lat_last) << c.name;
        EXPECT_EQ(w.lat_coord.first, c.lat_c0) << c.name;
        EXPECT_EQ(w.lat_coord.last, c.lat_c1) << c.name;
        EXPECT_EQ(w.lat_coord.step, c.h.dlat) << c.name;
        EXPECT_EQ(w.lon_index.first, c.lon_first) << c.name;
        EXPECT_EQ(w.lon_index.last, c.lon_last) << c.name;
        EXPECT_EQ(w.lon_coord.first, c.lon_c0) << c.name;
        EXPECT_EQ(w.lon_coord.last, c.lon_c1) << c.name;
        EXPECT_EQ(w.lon_coord.step, c.h.dlon) << c.name;
    }
}

TEST(Window, RefusedRequests) {
    const ionex::IonexHeader zero_step = grid(87.5f, -87.5f, 0.0f, -180.0f, 180.0f, 5.0f);
    const ionex::IonexHeader nan_lon = grid(87.5f, -87.5f, -2.5f, kNaN, 180.0f, 5.0f);
    struct Case {
        const char* name;
        const ionex::IonexHeader& h;
        float lat0, lon0, lat1, lon1;
    };
    const Case cases[] = {
        {"beyond the last row", kGlobal, -88.0f, 0.0f, -88.0f, 0.0f},
        {"beyond the first row", kGlobal, 88.0f, 0.0f, 88.0f, 0.0f},
        {"beyond the last column", kGlobal, 0.0f, 181.0f, 0.0f, 181.0f},
        {"before the first column", kGlobal, 0.0f, -181.0f, 0.0f, -181.0f},
        {"area reaching past the grid", kGlobal, 80.0f, 0.0f, 89.0f, 10.0f},
        {"NaN latitude", kGlobal, kNaN, 0.0f, kNaN, 0.0f},
        {"infinite longitude", kGlobal, 0.0f, kInf, 0.0f, kInf},
        {"step 0", zero_step, 0.0f, 0.0f, 0.0f, 0.0f},
        {"NaN grid coordinate", nan_lon, 0.0f, 0.0f, 0.0f, 0.0f},
        {"huge coordinate", kGlobal, 0.0f, 3.0e38f, 0.0f, 3.0e38f},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(select(c.h, c.lat0, c.lon0, c.lat1, c.lon1).ok) << c.name;
    }
}

TEST(Window, WholeGrid) {
    Window w = select(kGlobal, kNaN, kNaN, kNaN, kNaN, false);
    EXPECT_TRUE(w.ok) << "locations are not read";
    EXPECT_EQ(w.lat_index.first, 0);
    EXPECT_EQ(w.lat_index.last, 70);
    EXPECT_EQ(w.lon_index.last, 72);
    EXPECT_EQ(w.lat_coord.first, 87.5f);
    EXPECT_EQ(w.lat_coord.last, -87.5f);
    EXPECT_EQ(w.lon_coord.first, -180.0f);
    EXPECT_EQ(w.lon_coord.last, 180.0f);
    EXPECT_EQ(w.lon_coord.step, 5.0f);

    // Truncation, not rounding: 87.5 .. -86 in steps of -2.5 holds 70.6 steps.
    Window t = select(grid(87.5f, -86.0f, -2.5f, 0, 10, 5), 0, 0, 0, 0, false);
    EXPECT_TRUE(t.ok);
    EXPECT_EQ(t.lat_index.last, 69);
    EXPECT_EQ(t.lat_coord.last, -86.0f) << "the header's value, not recomputed";

    Window single = select(grid(10.0f, 10.0f, -2.5f, 0, 10, 5), 0, 0, 0, 0, false);
    EXPECT_TRUE(single.ok);
    EXPECT_EQ(single.lat_index.last, 0);

    EXPECT_FALSE(select(grid(87.5f, -87.5f, 2.5f, 0, 10, 5), 0, 0, 0, 0, false).ok) << "step away from LAT2";
    EXPECT_FALSE(select(grid(87.5f, -87.5f, 0.0f, 0, 10, 5), 0, 0, 0, 0, false).ok) << "step 0";
    EXPECT_FALSE(select(grid(0, 10, 1, 0, kNaN, 5), 0, 0, 0, 0, false).ok) << "NaN";
    EXPECT_FALSE(select(grid(0, 3.0e38f, 1e-30f, 0, 10, 5), 0, 0, 0, 0, false).ok) << "count beyond int";
    EXPECT_FALSE(select(ionex::IonexHeader{}, 0, 0, 0, 0, false).ok) << "a header without a grid";
}
