// The fast conversion of data values must give exactly the float that sscanf("%f") gives.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "value_parser.h"

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
