// Decoding of the inputs: locations of every class, corner order, receiver name, satellite
// count and the change of longitude convention.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "vornakelstrid/arguments.h"
#include "minimex_testing.h"

namespace {

using gateway::CallArguments;
using minimex::makeChar;
using minimex::makeDouble;
using minimex::makeRow;

// Owns a list of inputs for a direct call of decodeArguments.
struct Inputs {
    explicit Inputs(std::vector<mxArray*> list) : arrays(std::move(list)) {
        pointers.assign(arrays.begin(), arrays.end());
    }
    ~Inputs() {
        for (mxArray* a : arrays) mxDestroyArray(a);
    }
    int count() const { return static_cast<int>(arrays.size()); }
    std::vector<mxArray*> arrays;
    std::vector<const mxArray*> pointers;
};

// Decodes `in` into fresh arguments.
// Returns the result of decodeArguments.
gateway::ErrorCode decode(Inputs& in, CallArguments& args) {
    args = gateway::defaultArguments();
    return gateway::decodeArguments(in.count(), in.pointers.data(), args);
}

TEST(ReadLocation, EveryNumericClassIsReadValueByValue) {
    struct Row { mxClassID id; std::vector<double> values; float lat, lon; };
    const Row rows[] = {
        {mxDOUBLE_CLASS, {46.93, 7.43}, 46.93f, 7.43f},
        {mxSINGLE_CLASS, {46.93, 7.43}, 46.93f, 7.43f},
        {mxINT8_CLASS, {-47, 8}, -47.0f, 8.0f},
        {mxUINT8_CLASS, {200, 8}, 200.0f, 8.0f},
        {mxINT16_CLASS, {-300, 8}, -300.0f, 8.0f},
        {mxUINT16_CLASS, {60000, 8}, 60000.0f, 8.0f},
        {mxINT32_CLASS, {-70000, 8}, -70000.0f, 8.0f},
        {mxUINT32_CLASS, {4000000000.0, 8}, 4000000000.0f, 8.0f},
        {mxINT64_CLASS, {-47, 350}, -47.0f, 350.0f},
        {mxUINT64_CLASS, {47, 350}, 47.0f, 350.0f},
    };
    for (const Row& row : rows) {
        mxArray* input = minimex::makeNumeric(row.id, 1, 2, row.values);
        ionex::Location loc{0, 0};
        EXPECT_TRUE(gateway::readLocation(input, loc)) << "class " << row.id;
        EXPECT_EQ(loc.lat, row.lat) << "class " << row.id;
        EXPECT_EQ(loc.lon, row.lon) << "class " << row.id;
        mxDestroyArray(input);
    }
}

TEST(ReadLocation, TakesTheFirstTwoElementsInStorageOrder) {
    // Rows (1, 2) and (3, 4): storage order 1, 3, 2, 4.
    mxArray* matrix = makeDouble(2, 2, {1, 3, 2, 4});
    ionex::Location loc{0, 0};
    ASSERT_TRUE(gateway::readLocation(matrix, loc));
    EXPECT_EQ(loc.lat, 1.0f);
    EXPECT_EQ(loc.lon, 3.0f);
    mxDestroyArray(matrix);
}

TEST(ReadLocation, RoundsToFloatAndOverflowsToInfinity) {
    mxArray* input = makeRow({1e300, -1e300});
    ionex::Location loc{0, 0};
    ASSERT_TRUE(gateway::readLocation(input, loc));
    EXPECT_EQ(loc.lat, std::numeric_limits<float>::infinity());
    EXPECT_EQ(loc.lon, -std::numeric_limits<float>::infinity());
    mxDestroyArray(input);
}

TEST(DecodeArguments, AreaCornersAreOrderedPerCoordinate) {
    struct Row { std::vector<double> a, b; };
    const Row rows[] = {{{50, 20}, {40, 10}}, {{50, 10}, {40, 20}}, {{40, 10}, {50, 20}}, {{40, 20}, {50, 10}}};
    for (const Row& row : rows) {
        Inputs in({makeChar("f"), makeRow(row.a), makeRow(row.b)});
        CallArguments args;
        ASSERT_EQ(decode(in, args), gateway::kOk);
        EXPECT_TRUE(args.locations_given);
        EXPECT_TRUE(args.is_area);
        EXPECT_EQ(args.loc0.lat, 40.0f);
        EXPECT_EQ(args.loc0.lon, 10.0f);
        EXPECT_EQ(args.loc1.lat, 50.0f);
        EXPECT_EQ(args.loc1.lon, 20.0f);
    }
}

TEST(DecodeArguments, NanCornerLeavesItsPairAsGiven) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Inputs in({makeChar("f"), makeRow({nan, 20}), makeRow({40, 10})});
    CallArguments args;
    ASSERT_EQ(decode(in, args), gateway::kOk);
    EXPECT_TRUE(std::isnan(args.loc0.lat));
    EXPECT_EQ(args.loc1.lat, 40.0f);
    EXPECT_EQ(args.loc0.lon, 10.0f);
    EXPECT_EQ(args.loc1.lon, 20.0f);
}

TEST(DecodeArguments, PointRequestCopiesTheFirstLocation) {
    Inputs in({makeChar("f"), makeRow({47, 8}), makeChar("ABCD")});
    CallArguments args;
    ASSERT_EQ(decode(in, args), gateway::kOk);
    EXPECT_TRUE(args.locations_given);
    EXPECT_FALSE(args.is_area);
    EXPECT_EQ(args.loc1.lat, 47.0f);
    EXPECT_EQ(args.loc1.lon, 8.0f);
    EXPECT_STREQ(args.receiver, "abcd");
    EXPECT_EQ(args.satellite_count, 32);
}

TEST(ReadReceiverName, KeepsFourteenLowerCaseCharacters) {
    struct Row { const char* input; const char* expected; };
    const Row rows[] = {
        {"ABCDEFGHIJKLMNOPQRST", "abcdefghijklmn"},
        {"Zimm", "zimm"},
        {"A-Z_[@]`{", "a-z_[@]`{"},  // only A to Z change
        {"", ""},
    };
    for (const Row& row : rows) {
        mxArray* input = makeChar(row.input);
        char receiver[gateway::kReceiverSize];
        std::memset(receiver, 'x', sizeof receiver);
        receiver[15] = '\0';
        ASSERT_EQ(gateway::readReceiverName(input, receiver), gateway::kOk);
        EXPECT_STREQ(receiver, row.expected);
        EXPECT_EQ(receiver[15], '\0');
        mxDestroyArray(input);
    }
    EXPECT_EQ(minimex::liveStringCount(), 0u);
}

TEST(SatelliteCount, TruncatesAndNeverGoesBelow32) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Row { double value; int expected; };
    const Row rows[] = {
        {24, 32},          {-5, 32},         {std::nan(""), 32}, {40.9, 40},
        {33, 33},          {32, 32},         {31.99, 32},        {inf, 32},
        {-inf, 32},        {2147483647.0, 2147483647},           {2147483647.9, 2147483647},
        {2147483648.0, 32}, {1e300, 32},
    };
    for (const Row& row : rows) EXPECT_EQ(gateway::satelliteCountFrom(row.value), row.expected) << row.value;
}

TEST(LongitudeConvention, MovesEachLongitudeAtMostOnce) {
    struct Row { float lon1, lon2, lon, expected; };
    const Row rows[] = {
        {0.0f, 357.5f, -10.0f, 350.0f},   {0.0f, 357.5f, 10.0f, 10.0f},
        {0.0f, 357.5f, -370.0f, -10.0f},  {181.0f, 0.0f, -1.0f, 359.0f},
        {-180.0f, 180.0f, 190.0f, -170.0f}, {-180.0f, 180.0f, -190.0f, -190.0f},
        {-180.0f, 180.0f, 540.0f, 180.0f},  {-180.0f, 180.0f, 180.0f, 180.0f},
        {-180.0f, 180.0f, 0.0f, 0.0f},
    };
    for (const Row& row : rows) {
        ionex::IonexHeader header{};
        header.lon1 = row.lon1;
        header.lon2 = row.lon2;
        ionex::Location loc0{1.0f, row.lon};
        ionex::Location loc1{2.0f, row.lon};
        gateway::moveToLongitudeConvention(header, loc0, loc1);
        EXPECT_EQ(loc0.lon, row.expected) << row.lon1 << ".." << row.lon2 << ": " << row.lon;
        EXPECT_EQ(loc1.lon, row.expected);
        EXPECT_EQ(loc0.lat, 1.0f);
    }
}

}  // namespace
