// The data-line tokenizer against a plain reading of the same rules with sscanf alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "keyword_reader/data_line.h"

namespace {

constexpr double kUnset = -555.0;

// The rules, one character at a time: skip spaces and tabs, convert with sscanf("%f"),
// go on from the next space after the token's start.
long referenceDataLine(const char* line, long column, const ionex::Range<int>& lon, double scale,
                       std::vector<double>& row) {
    const char* p = line;
    for (;;) {
        if (*p == '\0') return column;
        while (*p == ' ' || *p == '\t') ++p;
        float number;
        if (std::sscanf(p, "%f", &number) == 1) {
            if (column >= lon.first && column <= lon.last) row[column - lon.first] = scale * number;
            ++column;
        }
        p = std::strchr(p, ' ');
        if (p == nullptr) return column;
    }
}

struct Outcome {
    long column;
    std::vector<double> row;
};

// Runs the tokenizer on `text` placed at `offset` of a 512-byte buffer.
Outcome tokenize(const std::string& text, size_t offset, long column, const ionex::Range<int>& lon) {
    static char buffer[512];
    std::memset(buffer, 'x', sizeof buffer);  // bytes after the terminator must not matter
    std::memcpy(buffer + offset, text.c_str(), text.size() + 1);
    Outcome o{0, std::vector<double>(static_cast<size_t>(lon.last - lon.first + 1), kUnset)};
    o.column = ionex::readDataLine(buffer + offset, column, lon, 0.1f, o.row.data());
    return o;
}

void expectSameAsReference(const std::string& text, size_t offset, long column, const ionex::Range<int>& lon) {
    Outcome got = tokenize(text, offset, column, lon);
    std::vector<double> expected(got.row.size(), kUnset);
    long expected_column = referenceDataLine(text.c_str(), column, lon, 0.1f, expected);
    // Past the window's last column the tokenizer may stop counting: nothing more is kept.
    if (expected_column <= lon.last) {
        ASSERT_EQ(got.column, expected_column) << '"' << text << '"';
    }
    ASSERT_GT(got.column, std::min<long>(expected_column, lon.last) - 1) << '"' << text << '"';
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(std::memcmp(&got.row[i], &expected[i], sizeof(double)), 0)
            << '"' << text << "\" column " << i << ": " << got.row[i] << " vs " << expected[i];
    }
}

}  // namespace

TEST(DataLine, TableOfLines) {
    const ionex::Range<int> all{0, 40, 0};
    const char* lines[] = {
        "   64   65   66   66   67   68   68   69   69   69   70   70   70   70   70   69\n",
        "   59   60   60   61   62   62   63   64   64\n",
        "1015710167 9847 9229 8451\n", " -12 -0 +5 0000007 12345678 1234567\r\n", " 12\t13 14",
        "\t 1  2   \n", " 7abc 8 x - 9", " 2.5 -3.25 1e2 0x10 inf nan", "", "\n", "     ",
        " 99999999999999999999 1", "5", "-5", "-", " 1.", " 1.e5 2", " 1e 2", "\v12 13",
    };
    for (const char* line : lines) {
        for (size_t offset : {size_t{0}, 512 - std::strlen(line) - 1}) {
            expectSameAsReference(line, offset, 0, all);
            expectSameAsReference(line, offset, 3, {2, 4, 0});
        }
    }
}

TEST(DataLine, RandomLinesAtEveryBufferPosition) {
    std::mt19937 rng(4711);
    const std::string alphabet = "0123456789   -  \t.eE+xa\r";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int i = 0; i < 30000; ++i) {
        std::string line;
        size_t length = rng() % 90;
        for (size_t k = 0; k < length; ++k) line += alphabet[pick(rng)];
        if (rng() % 2) line += '\n';
        size_t offset = (i % 3 == 0) ? 511 - line.size() : rng() % (512 - line.size());
        int first = static_cast<int>(rng() % 6);
        expectSameAsReference(line, offset, static_cast<long>(rng() % 3), {first, first + static_cast<int>(rng() % 20), 0});
    }
}

TEST(DataLine, IntegersOfEveryLength) {
    const ionex::Range<int> one{0, 0, 0};
    for (int digits = 1; digits <= 9; ++digits) {
        for (int k = 0; k < 2000; ++k) {
            std::string number;
            for (int d = 0; d < digits; ++d) number += static_cast<char>('0' + (k * 7919 + d * 31) % 10);
            for (const char* end : {" ", "\n", "", "\r\n", "\t1"}) {
                expectSameAsReference(" " + number + end, 0, 0, one);
                expectSameAsReference(" -" + number + end, 0, 0, one);
            }
        }
    }
}
