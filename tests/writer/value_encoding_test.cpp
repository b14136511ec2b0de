// The value rules as (input, expected) rows: nearest integer with halves away from zero,
// 9999 for NaN, the field's range, exactness at an exponent; numbers of the header records;
// epochs from day numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "writer/epoch_fields.h"
#include "writer/record_columns.h"
#include "writer/value_encoding.h"

namespace {

using ionex::Encoding;

TEST(ValueEncoding, IntegersOfValues) {
    struct Row {
        double value;
        int exponent;
        Encoding result;
        long integer;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {12.3, -1, Encoding::kFits, 123},      {0.15, -1, Encoding::kFits, 2},        // decimal halves go up
        {-0.15, -1, Encoding::kFits, -2},      {0.25, -1, Encoding::kFits, 3},        // binary halves too
        {-0.25, -1, Encoding::kFits, -3},      {0.04999, -1, Encoding::kFits, 0},
        {-0.04, -1, Encoding::kFits, 0},       {nan, -1, Encoding::kFits, 9999},
        {999.8, -1, Encoding::kFits, 9998},    {999.9, -1, Encoding::kTooLarge, 0},   // would read as NaN
        {999.95, -1, Encoding::kFits, 10000},  {9999.9, -1, Encoding::kFits, 99999},  // five digits fill the field
        {9999.95, -1, Encoding::kTooLarge, 0}, {-999.9, -1, Encoding::kFits, -9999},
        {-999.95, -1, Encoding::kTooLarge, 0}, {1234.0, 0, Encoding::kFits, 1234},
        {1250.0, 1, Encoding::kFits, 125},     {1255.0, 1, Encoding::kFits, 126},
        {0.012, -3, Encoding::kFits, 12},      {inf, -1, Encoding::kNotFinite, 0},
        {-inf, 2, Encoding::kNotFinite, 0},    {1e300, -1, Encoding::kTooLarge, 0},
        {-1e300, 99, Encoding::kTooLarge, 0},  {1e100, 99, Encoding::kFits, 10},
    };
    for (const Row& r : rows) {
        long n = 0;
        EXPECT_EQ(ionex::encodeValue(r.value, r.exponent, &n), r.result) << r.value << " at " << r.exponent;
        if (r.result == Encoding::kFits) {
            EXPECT_EQ(n, r.integer) << r.value << " at " << r.exponent;
        }
    }
}

TEST(ValueEncoding, ExactnessIsWhatTheReaderGivesBack) {
    struct Row {
        double value;
        int exponent;
        bool exact;
    };
    const Row rows[] = {
        {12.3, -1, true},  {12.34, -1, false}, {12.34, -2, true},  {0.1, -1, true},   {0.3, -1, true},
        {1.0 / 3, -1, false}, {-7.5, -1, true}, {1500.0, 2, true}, {1550.0, 2, false}, {std::nan(""), 5, true},
        {999.9, -1, false},   // reads back as NaN
    };
    for (const Row& r : rows) EXPECT_EQ(ionex::exactAt(r.value, r.exponent), r.exact) << r.value << " at " << r.exponent;
}

TEST(ValueEncoding, FiveColumnFields) {
    const std::pair<long, const char*> rows[] = {{0, "    0"}, {7, "    7"}, {9999, " 9999"}, {-9999, "-9999"},
                                                 {10157, "10157"}, {99999, "99999"}, {-12, "  -12"}, {-1, "   -1"}};
    for (const auto& r : rows) {
        char out[6] = {};
        ionex::formatField(r.first, out);
        EXPECT_EQ(std::string(out, 5), r.second);
    }
}

TEST(ValueEncoding, FinerExponentOnlyWhereItIsExact) {
    const double exact_at_minus_two[] = {0.01, 1.23, -4.56, std::nan("")};
    ionex::MapLayers map;
    map.values = exact_at_minus_two;
    map.nlat = 2;
    map.nlon = 2;
    EXPECT_EQ(ionex::finerExactExponent(map, -1), -2);
    const double inexact[] = {1.0 / 3, 0.5, 0.25, 0.125};
    map.values = inexact;
    EXPECT_EQ(ionex::finerExactExponent(map, -1), -1);  // 1/3 is exact nowhere: the file's stays
    const double large[] = {0.01, 9000.0, 1.0, 2.0};
    map.values = large;
    EXPECT_EQ(ionex::finerExactExponent(map, -1), -1);  // 9000 does not fit at -2
}

TEST(RecordColumns, RealsReadBackOrAreRounded) {
    struct Row {
        double value;
        int width;
        int min_decimals;
        const char* text;
        ionex::RealText result;
    };
    const Row rows[] = {
        {87.5, 6, 1, "  87.5", ionex::RealText::kExact},      {-180.0, 6, 1, "-180.0", ionex::RealText::kExact},
        {0.25, 6, 1, "  0.25", ionex::RealText::kExact},      {-179.75, 6, 1, "-179.8", ionex::RealText::kRounded},
        {6371.0, 8, 1, "  6371.0", ionex::RealText::kExact},  {-7.615, 10, 3, "    -7.615", ionex::RealText::kExact},
        {999.9, 10, 3, "   999.900", ionex::RealText::kExact}, {-0.0, 6, 1, "   0.0", ionex::RealText::kExact},
        {1.0 / 3, 8, 1, "0.333333", ionex::RealText::kRounded}, {123456.0, 6, 1, "", ionex::RealText::kTooWide},
    };
    for (const Row& r : rows) {
        char out[16] = {};
        EXPECT_EQ(ionex::formatReal(r.value, r.width, r.min_decimals, out), r.result) << r.value;
        if (r.result != ionex::RealText::kTooWide) {
            EXPECT_EQ(std::string(out, static_cast<std::size_t>(r.width)), r.text);
        }
    }
    char out[8];
    EXPECT_TRUE(ionex::formatInteger(-12345, 6, out));
    EXPECT_EQ(std::string(out, 6), "-12345");
    EXPECT_FALSE(ionex::formatInteger(1234567, 6, out));
}

TEST(EpochFields, DayNumbersToTheSecond) {
    struct Row {
        double day;
        int year, month, day_of_month, hour, minute, second;
    };
    const Row rows[] = {
        {737798.0, 2020, 1, 8, 0, 0, 0},             // datenum(2020, 1, 8)
        {730545.5, 2000, 2, 29, 12, 0, 0},           // a leap day of a year divisible by 400
        {693962.0, 1900, 1, 1, 0, 0, 0},
        {694021.0, 1900, 3, 1, 0, 0, 0},             // 1900 has no 29 February
        {1.0, 0, 1, 1, 0, 0, 0},                     // the first day numbered
        {61.0, 0, 3, 1, 0, 0, 0},                    // year 0 is a leap year
        {737798.0 + 37.0 / 86400, 2020, 1, 8, 0, 0, 37},
        {737799.0 - 0.4 / 86400, 2020, 1, 9, 0, 0, 0},  // rounds to midnight: the next day
        {737798.0 + 86399.4 / 86400, 2020, 1, 8, 23, 59, 59},
        {3652425.5, 9999, 12, 31, 12, 0, 0},
    };
    for (const Row& r : rows) {
        ionex::IonexEpoch e{};
        long long seconds = 0;
        ASSERT_TRUE(ionex::epochFromDayNumber(r.day, e, &seconds)) << r.day;
        EXPECT_EQ(e.year, r.year) << r.day;
        EXPECT_EQ(e.month, r.month) << r.day;
        EXPECT_EQ(e.day, r.day_of_month) << r.day;
        EXPECT_EQ(e.hour, r.hour) << r.day;
        EXPECT_EQ(e.minute, r.minute) << r.day;
        EXPECT_EQ(e.second, r.second) << r.day;
    }
    ionex::IonexEpoch e{};
    long long seconds = 0;
    for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 0.0, -5.0, 3652426.0, 1e300}) {
        EXPECT_FALSE(ionex::epochFromDayNumber(bad, e, &seconds)) << bad;
    }
}

}  // namespace
