// The struct of ionex.read / ionex.info from hand-made contents: every field in MATLAB's
// shape, maps reordered for 3-D files, absent records as [] or '', and no array left
// behind when an allocation fails anywhere on the way.

#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "ionex_package/contents_struct.h"
#include "minimex_testing.h"

namespace {

// The doubles of a double array, column-major.
std::vector<double> valuesOf(const mxArray* a) {
    if (a == nullptr || !mxIsDouble(a)) return {};
    return std::vector<double>(mxGetPr(a), mxGetPr(a) + mxGetNumberOfElements(a));
}

// Contents of a 3-D file: 2 latitudes, 3 longitudes, 2 heights, 2 TEC maps, no RMS maps,
// one DCB block with two satellites and one station. Value of node (lat, lon, hgt) of map m:
// 1000 m + 100 hgt + 10 lon + lat.
ionex::IonexContents threeDimensionalContents() {
    ionex::IonexContents c;
    c.header.version = 1.0;
    c.header.file_type = "I";
    c.header.system = "GNS";
    c.header.description = {"first line", "second line"};
    c.header.first_epoch = ionex::IonexEpoch{2020, 1, 8, 0, 0, 0};
    c.header.num_maps = 2;
    c.header.exponent = -1;
    c.header.other_records = {{"MY RECORD", "text"}};
    c.lat = {10, 20};
    c.lon = {0, 5, 10};
    c.height = {350, 450};
    c.time = {737798.0, 737798.5};
    c.maps[ionex::kTecMap].present = true;
    for (int m = 0; m < 2; ++m)
        for (int h = 0; h < 2; ++h)
            for (int lon = 0; lon < 3; ++lon)
                for (int lat = 0; lat < 2; ++lat) c.maps[ionex::kTecMap].values.push_back(1000 * m + 100 * h + 10 * lon + lat);
    ionex::DcbBlock block;
    block.file = "f.20i";
    block.title = "Differential code biases [P1-C1]";
    block.satellites = {{'G', 1, 1.5, 0.1}, {'R', 24, -2.5, 0.2}};
    block.stations = {{'G', "ZIMM", "14001M004", 3.25, 0.5}};
    block.comments = {"a comment"};
    c.dcb.push_back(block);
    c.files = {"f.20i"};
    return c;
}

// Field `name` of element `i` of `s`, failing the test when it is missing.
const mxArray* field(const mxArray* s, const char* name, size_t i = 0) {
    const mxArray* f = mxGetField(s, i, name);
    EXPECT_NE(f, nullptr) << name;
    return f;
}

// Dimensions of `a`. Returns them.
std::vector<size_t> dimsOf(const mxArray* a) {
    return std::vector<size_t>(mxGetDimensions(a), mxGetDimensions(a) + mxGetNumberOfDimensions(a));
}

TEST(IonexStruct, EveryFieldHasItsShape) {
    ionex::IonexContents c = threeDimensionalContents();
    mxArray* s = gateway::createContentsStruct(c, true);
    struct Row { const char* name; mxClassID id; std::vector<size_t> dims; };
    const Row rows[] = {
        {"version", mxDOUBLE_CLASS, {1, 1}},      {"file_type", mxCHAR_CLASS, {1, 1}},
        {"program", mxCHAR_CLASS, {0, 0}},        {"description", mxCELL_CLASS, {2, 1}},
        {"comments", mxCELL_CLASS, {0, 1}},       {"first_epoch", mxDOUBLE_CLASS, {1, 1}},
        {"last_epoch", mxDOUBLE_CLASS, {0, 0}},   {"interval", mxDOUBLE_CLASS, {0, 0}},
        {"mapping_function", mxCHAR_CLASS, {0, 0}}, {"other_records", mxCELL_CLASS, {1, 2}},
        {"files", mxCELL_CLASS, {1, 1}},          {"lat", mxDOUBLE_CLASS, {2, 1}},
        {"lon", mxDOUBLE_CLASS, {3, 1}},          {"height", mxDOUBLE_CLASS, {2, 1}},
        {"time", mxDOUBLE_CLASS, {2, 1}},         {"tec", mxDOUBLE_CLASS, {2, 3, 2, 2}},
        {"rms", mxDOUBLE_CLASS, {0, 0}},          {"height_map", mxDOUBLE_CLASS, {0, 0}},
        {"dcb", mxSTRUCT_CLASS, {1, 1}},
    };
    for (const Row& row : rows) {
        const mxArray* f = field(s, row.name);
        if (f == nullptr) continue;
        EXPECT_EQ(mxGetClassID(f), row.id) << row.name;
        EXPECT_EQ(dimsOf(f), row.dims) << row.name;
    }
    EXPECT_EQ(mxGetNumberOfFields(s), 30);
    EXPECT_DOUBLE_EQ(mxGetScalar(field(s, "first_epoch")), 737798.0);  // datenum(2020, 1, 8)
    // tec(lat, lon, map, hgt), 1-based in MATLAB: element (2, 3, 2, 1) is 1000 + 20 + 1.
    const std::vector<double> tec = valuesOf(field(s, "tec"));
    EXPECT_EQ(tec[1 + 2 * 2 + 1 * 6 + 0 * 12], 1021);
    EXPECT_EQ(tec[0 + 0 + 0 * 6 + 1 * 12], 100);  // map 1, second height
    // Every element written (the host hands the array out unset): tec(lat, lon, map, hgt).
    ASSERT_EQ(tec.size(), 24u);
    for (int h = 0; h < 2; ++h)
        for (int m = 0; m < 2; ++m)
            for (int lon = 0; lon < 3; ++lon)
                for (int lat = 0; lat < 2; ++lat)
                    EXPECT_EQ(tec[lat + 2 * lon + 6 * m + 12 * h], 1000 * m + 100 * h + 10 * lon + lat);
    EXPECT_EQ(minimex::textOf(mxGetCell(field(s, "other_records"), 1)), "text");
    const mxArray* dcb = field(s, "dcb");
    EXPECT_EQ(minimex::textOf(field(dcb, "title")), "Differential code biases [P1-C1]");
    const mxArray* sat = field(dcb, "satellites");
    EXPECT_EQ(dimsOf(field(sat, "system")), (std::vector<size_t>{2, 1}));
    EXPECT_EQ(minimex::textOf(field(sat, "system")), "GR");
    EXPECT_EQ(valuesOf(field(sat, "prn")), (std::vector<double>{1, 24}));
    EXPECT_EQ(valuesOf(field(sat, "bias")), (std::vector<double>{1.5, -2.5}));
    const mxArray* sta = field(dcb, "stations");
    EXPECT_EQ(minimex::textOf(mxGetCell(field(sta, "domes"), 0)), "14001M004");
    EXPECT_EQ(valuesOf(field(sta, "rms")), (std::vector<double>{0.5}));
    EXPECT_TRUE(c.maps[ionex::kTecMap].values.empty());  // released once copied
    mxDestroyArray(s);
}

TEST(IonexStruct, InfoHasNoMapsAndEmptyBlocksAreZeroByOne) {
    ionex::IonexContents c;
    c.lat = {87.5, 85};
    mxArray* s = gateway::createContentsStruct(c, false);
    EXPECT_EQ(mxGetField(s, 0, "tec"), nullptr);
    EXPECT_EQ(mxGetField(s, 0, "time"), nullptr);
    EXPECT_EQ(mxGetFieldNumber(s, "tec"), -1);
    EXPECT_EQ(dimsOf(field(s, "dcb")), (std::vector<size_t>{0, 1}));
    EXPECT_EQ(mxGetNumberOfFields(field(s, "dcb")), 5);
    EXPECT_EQ(dimsOf(field(s, "other_records")), (std::vector<size_t>{0, 2}));
    EXPECT_EQ(dimsOf(field(s, "version")), (std::vector<size_t>{0, 0}));
    EXPECT_EQ(dimsOf(field(s, "lat")), (std::vector<size_t>{2, 1}));
    mxDestroyArray(s);
}

TEST(IonexStruct, MapsOfAKindPresentButEmptyKeepTheirGrid) {
    ionex::IonexContents c;
    c.lat = {1, 2, 3};
    c.lon = {4, 5};
    c.height = {450};
    c.maps[ionex::kRmsMap].present = true;  // a Time window that keeps no map
    mxArray* s = gateway::createContentsStruct(c, true);
    EXPECT_EQ(dimsOf(field(s, "rms")), (std::vector<size_t>{3, 2, 0}));
    EXPECT_EQ(dimsOf(field(s, "tec")), (std::vector<size_t>{0, 0}));
    EXPECT_EQ(dimsOf(field(s, "time")), (std::vector<size_t>{0, 1}));
    mxDestroyArray(s);
    c.height = {350, 450, 550};  // a 3-D file: heights stay the fourth dimension
    c.maps[ionex::kRmsMap].present = true;
    s = gateway::createContentsStruct(c, true);
    EXPECT_EQ(dimsOf(field(s, "rms")), (std::vector<size_t>{3, 2, 0, 3}));
    mxDestroyArray(s);
}

// Contents of a larger 2-D file: 40 latitudes, 30 longitudes, `maps` TEC and RMS maps
// (value of node (lat, lon) of map m: 10000 m + 100 lon + lat, RMS its negative), and a DCB
// block of `stations` stations, station k named "S<k>" with DOMES "<k>M001" ('' every
// seventh). Large enough for the conversion's bulk paths.
ionex::IonexContents largeContents(int maps, int stations) {
    ionex::IonexContents c;
    for (int i = 0; i < 40; ++i) c.lat.push_back(87.5 - 2.5 * i);
    for (int j = 0; j < 30; ++j) c.lon.push_back(-180 + 5.0 * j);
    for (int m = 0; m < maps; ++m) c.time.push_back(737798.0 + m / 24.0);
    for (int kind : {ionex::kTecMap, ionex::kRmsMap}) {
        c.maps[kind].present = true;
        for (int m = 0; m < maps; ++m)
            for (int lon = 0; lon < 30; ++lon)
                for (int lat = 0; lat < 40; ++lat)
                    c.maps[kind].values.push_back((kind == ionex::kTecMap ? 1 : -1) * (10000.0 * m + 100 * lon + lat));
    }
    ionex::DcbBlock block;
    for (int k = 0; k < stations; ++k) {
        block.stations.push_back({'G', "S" + std::to_string(k), k % 7 == 0 ? "" : std::to_string(k) + "M001", 0.5 * k, 0.1});
    }
    for (int k = 0; k < 20; ++k) block.comments.push_back("comment " + std::to_string(k));
    c.dcb.push_back(block);
    return c;
}

TEST(IonexStruct, LargeMapsAndLongTextListsKeepEveryValueAndShape) {
    // Text lists the host's cellstr would change (a trailing blank, a tab, a byte above 127,
    // too short to bother) are made line by line; all come out exactly as they are.
    struct Row { const char* what; std::vector<std::string> comments; };
    const Row rows[] = {
        {"plain lines", std::vector<std::string>(20, "a line")},
        {"blank lines", std::vector<std::string>(20, "")},
        {"a trailing blank", {"a", "b ", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q"}},
        {"a tab", {"a", "b\tc", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p", "q"}},
        {"a byte above 127", {"a", "\xe9t\xe9", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m", "n", "o", "p"}},
        {"few lines", {" x", "y  "}},
    };
    for (const int maps : {1, 3}) {
        for (const Row& row : rows) {
            ionex::IonexContents c = largeContents(maps, 300);
            c.header.comments = row.comments;
            const size_t before = minimex::liveArrayCount();
            mxArray* s = gateway::createContentsStruct(c, true);
            const std::vector<size_t> map_dims = maps == 1 ? std::vector<size_t>{40, 30} : std::vector<size_t>{40, 30, 3};
            EXPECT_EQ(dimsOf(field(s, "tec")), map_dims) << row.what;
            EXPECT_EQ(dimsOf(field(s, "rms")), map_dims) << row.what;
            const std::vector<double> tec = valuesOf(field(s, "tec")), rms = valuesOf(field(s, "rms"));
            ASSERT_EQ(tec.size(), 1200u * maps);
            ASSERT_EQ(rms.size(), 1200u * maps);
            for (int m = 0; m < maps; ++m)
                for (int lon = 0; lon < 30; ++lon)
                    for (int lat = 0; lat < 40; ++lat) {
                        ASSERT_EQ(tec[lat + 40 * lon + 1200 * m], 10000.0 * m + 100 * lon + lat);
                        ASSERT_EQ(rms[lat + 40 * lon + 1200 * m], -(10000.0 * m + 100 * lon + lat));
                    }
            const mxArray* comments = field(s, "comments");
            ASSERT_EQ(dimsOf(comments), (std::vector<size_t>{row.comments.size(), 1})) << row.what;
            for (size_t i = 0; i < row.comments.size(); ++i) {
                const mxArray* line = mxGetCell(comments, i);
                EXPECT_EQ(minimex::textOf(line), row.comments[i]) << row.what << " line " << i;
                if (row.comments[i].empty()) {
                    EXPECT_EQ(dimsOf(line), (std::vector<size_t>{0, 0})) << row.what;
                }
            }
            const mxArray* sta = field(field(s, "dcb"), "stations");
            const mxArray* names = field(sta, "name");
            const mxArray* domes = field(sta, "domes");
            ASSERT_EQ(dimsOf(names), (std::vector<size_t>{300, 1}));
            ASSERT_EQ(dimsOf(domes), (std::vector<size_t>{300, 1}));
            for (int k = 0; k < 300; ++k) {
                EXPECT_EQ(minimex::textOf(mxGetCell(names, k)), "S" + std::to_string(k));
                const std::string expected = k % 7 == 0 ? "" : std::to_string(k) + "M001";
                EXPECT_EQ(minimex::textOf(mxGetCell(domes, k)), expected);
                EXPECT_EQ(dimsOf(mxGetCell(domes, k)),
                          expected.empty() ? (std::vector<size_t>{0, 0}) : (std::vector<size_t>{1, expected.size()}));
            }
            mxDestroyArray(s);
            EXPECT_EQ(minimex::liveArrayCount(), before) << row.what;  // no array of the host's calls left behind
        }
    }
}

TEST(IonexStruct, LargeThreeDimensionalMapsAreReordered) {
    // 40 latitudes, 30 longitudes, 2 heights, `maps` maps: value 10000 m + 1000 h + 10 lon + lat / 100.
    for (const int maps : {1, 2}) {
        ionex::IonexContents c = largeContents(1, 0);
        c.height = {350, 450};
        c.time.assign(maps, 737798.0);
        c.maps[ionex::kRmsMap] = ionex::MapSeries();
        std::vector<double>& values = c.maps[ionex::kTecMap].values;
        values.clear();
        for (int m = 0; m < maps; ++m)
            for (int h = 0; h < 2; ++h)
                for (int lon = 0; lon < 30; ++lon)
                    for (int lat = 0; lat < 40; ++lat) values.push_back(10000.0 * m + 1000 * h + 10 * lon + lat / 100.0);
        mxArray* s = gateway::createContentsStruct(c, true);
        const mxArray* tec = field(s, "tec");
        EXPECT_EQ(dimsOf(tec), (std::vector<size_t>{40, 30, static_cast<size_t>(maps), 2}));
        const std::vector<double> out = valuesOf(tec);
        ASSERT_EQ(out.size(), 2400u * maps);
        for (int h = 0; h < 2; ++h)
            for (int m = 0; m < maps; ++m)
                for (int lon = 0; lon < 30; ++lon)
                    for (int lat = 0; lat < 40; ++lat)
                        ASSERT_EQ(out[lat + 40 * lon + 1200 * m + 1200 * maps * h], 10000.0 * m + 1000 * h + 10 * lon + lat / 100.0);
        mxDestroyArray(s);
    }
}

// The contents the conversion entry below turns into its output.
ionex::IonexContents* converted_contents = nullptr;

// An entry that only converts `converted_contents`, so that runEntry accounts for the arrays.
void convertEntry(int, mxArray* plhs[], int, const mxArray**) {
    plhs[0] = gateway::createContentsStruct(*converted_contents, true);
}

TEST(IonexStruct, AnAllocationFaultAnywhereLeavesNoArray) {
    const size_t before = minimex::liveArrayCount();
    long faults = 0;
    for (long n = 1; n < 500; ++n) {
        ionex::IonexContents c = threeDimensionalContents();
        converted_contents = &c;
        minimex::failAllocationNumber(n);
        bool failed = false;
        mxArray* out[1];
        try {
            minimex::runEntry(convertEntry, 1, out, 0, nullptr);
            minimex::destroyOutputs(out, 1);
        } catch (const std::bad_alloc&) {
            failed = true;
            ++faults;
        }
        minimex::failAllocationNumber(0);
        EXPECT_EQ(minimex::liveArrayCount(), before) << "fault at allocation " << n;
        if (!failed) break;
    }
    EXPECT_GT(faults, 40);  // one per array of the struct: header, axes, maps, DCB tables
}

}  // namespace
