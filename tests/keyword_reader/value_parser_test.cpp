// The fast conversion of data values must give exactly the float that sscanf("%f") gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "keyword_reader/value_parser.h"

namespace {

// Compares parseFloatToken with sscanf on one text, bit for bit.
void expectSameAsSscanf(const std::string& text) {
    float fast = -12345.0f;
    float full = -12345.0f;
    bool fast_ok = ionex::parseFloatToken(text.c_str(), &fast);
    bool full_ok = std::sscanf(text.c_str(), "%f", &full) == 1;
    ASSERT_EQ(fast_ok, full_ok) << '"' << text << '"';
    if (full_ok) {
        ASSERT_EQ(std::memcmp(&fast, &full, sizeof fast), 0) << '"' << text << "\" " << fast << " vs " << full;
    }
}

}  // namespace

TEST(ValueParser, TokenShapesMatchSscanf) {
    const char* cases[] = {
        "0", "-0", "+0", "7", "-7", "33", "9999", "1234567", "-1234567", "12345678", "16777217",
        "123456789012345678901234567890", "0000001", "00000000001", "1015710167", "1.5", "-2.25",
        "1e3", "1E-2", "1.", ".5", "-", "+", "", " ", "\n", "\r\n", "x", "12abc", "12\t13", "12 13",
        "12\r", "12\n", "0x1A", "inf", "-nan", "1e", "1e+", "--1", "+-1", "\v12", " -3",
        "87.5", "-87.5", "0.1", "-0.0", "3.3", "1234.567", "12345.67", "0.000001", "0.0000001",
        "5.", "5.e", "-.5", "1.2.3", "1.25e", "99999.99", "16777.215",
    };
    for (const char* c : cases) expectSameAsSscanf(c);
}

TEST(ValueParser, RandomTokensMatchSscanf) {
    std::mt19937 rng(20201008);
    const std::string alphabet = "0123456789000999-+. eExa\t\r\n";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 14);
    for (int i = 0; i < 200000; ++i) {
        std::string token;
        int n = length(rng);
        for (int k = 0; k < n; ++k) token += alphabet[pick(rng)];
        expectSameAsSscanf(token);
        std::string digits = std::to_string(rng() % 100000000);
        expectSameAsSscanf((i % 2 ? "-" : "") + digits + (i % 3 ? " " : ""));
    }
}

TEST(ValueParser, RandomDecimalsMatchSscanf) {
    std::mt19937 rng(87);
    for (int i = 0; i < 200000; ++i) {
        int whole = static_cast<int>(rng() % 100000);
        int fraction_digits = 1 + static_cast<int>(rng() % 6);
        std::string fraction = std::to_string(rng() % 1000000);
        fraction = std::string(6, '0').substr(fraction.size()) + fraction;
        std::string text = (i % 2 ? "-" : "") + std::to_string(whole) + "." + fraction.substr(0, fraction_digits);
        expectSameAsSscanf(text + (i % 3 ? " " : ""));
    }
}

TEST(ValueParser, ScanFloatsMatchesOneSscanf) {
    const char* lines[] = {
        "    87.5-180.0 180.0   5.0 450.0                            LAT/LON1/LON2/DLON/H\n",
        "   -87.5-180.0 180.0   5.0 450.0\r\n",
        "  10.0   0.0  15.0 LAT/LON1/LON2/DLON/H\n",
        "  10.0 0.0 15.0 5.0e LAT\n",
        "  10.0 0.0 1e1 5", "87.5+180.0+1.0-2", "nan 1 2 3", "", "   ", "1 2 x 4", "1.5e3 2 3 4",
        " 0.1 0.2 0.3 0.4", "1\t2\v3\f 4", "12345678 1 2 3", "5. 1 2 3",
    };
    for (const char* line : lines) {
        float fast[4] = {7, 7, 7, 7};
        float full[4] = {7, 7, 7, 7};
        int fast_n = ionex::scanFloats(line, fast, 4);
        int full_n = std::sscanf(line, "%f %f %f %f", &full[0], &full[1], &full[2], &full[3]);
        if (full_n < 0) full_n = 0;
        EXPECT_EQ(fast_n, full_n) << line;
        EXPECT_EQ(std::memcmp(fast, full, sizeof fast), 0) << line;
    }
}
