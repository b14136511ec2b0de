// The TEC map reader: phases, tokenizer, window placement, exponents and result codes.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "input/line_source_faults.h"
#include "keyword_reader/map_reader.h"
#include "support/test_files.h"

namespace {

constexpr double kHole = -777.0;  // what the caller's array held before the call

ionex::IonexHeader header4() {  // rows are identified by order; 4 columns: 0, 5, 10, 15
    ionex::IonexHeader h{};
    h.lon1 = 0.0f;
    h.lon2 = 15.0f;
    h.dlon = 5.0f;
    return h;
}

std::string row(const std::string& values, const char* lon = "   0.0  15.0   5.0") {
    return "    10.0" + std::string(lon) + " 450.0                            LAT/LON1/LON2/DLON/H\n" + values + "\n";
}

std::string start(int n) { return "     " + std::to_string(n) + "                                                      START OF TEC MAP\n"; }
const std::string kEpoch = "  2020     1     8     0     0     0                        EPOCH OF CURRENT MAP\n";
const std::string kEnd = "     1                                                      END OF TEC MAP\n";

struct MapRead {
    int result;
    std::vector<double> values;
};

// Reads maps 0..count-1 of `text` into one window-sized array each.
std::vector<MapRead> readMaps(const std::string& text, ionex::Range<int> lat, ionex::Range<int> lon,
                              int count, float scale = 1.0f) {
    testfiles::OpenSource src(testfiles::writeTemp("maps.txt", text));
    size_t size = static_cast<size_t>((lat.last - lat.first + 1) * (lon.last - lon.first + 1));
    std::vector<MapRead> maps;
    char line[512] = {};
    for (int j = 0; j < count; ++j) {
        MapRead m{0, std::vector<double>(size, kHole)};
        m.result = ionex::readIonexMap(src.source, header4(), lat, lon, scale, j, line, m.values.data());
        maps.push_back(m);
    }
    return maps;
}

const ionex::Range<int> kAllRows{0, 2, 0};
const ionex::Range<int> kAllCols{0, 3, 0};

std::string fullMap(int n, int base) {
    std::string s = start(n) + kEpoch;
    for (int r = 0; r < 3; ++r) {
        s += row(" " + std::to_string(base + 10 * r) + " " + std::to_string(base + 10 * r + 1) + " " +
                 std::to_string(base + 10 * r + 2) + " " + std::to_string(base + 10 * r + 3));
    }
    return s + kEnd;
}

}  // namespace

TEST(Pow10, Values) {
    const struct { int exponent; float expected; } cases[] = {
        {0, 1.0f}, {1, 10.0f}, {3, 1000.0f}, {9, 1e9f}, {-1, 0.1f}, {-2, 0.01f}, {-9, 1e-9f},
        {10, 1e10f}, {20, 1e20f}, {38, 1e38f}, {-10, 1e-10f}, {-45, 1e-45f},
    };
    for (const auto& c : cases) EXPECT_EQ(ionex::pow10(c.exponent), c.expected) << c.exponent;
    EXPECT_EQ(static_cast<double>(ionex::pow10(-1)), 0.100000001490116119384765625);
    EXPECT_EQ(static_cast<double>(ionex::pow10(-2)), 0.00999999977648258209228515625);
    EXPECT_TRUE(std::isinf(ionex::pow10(39)));
    EXPECT_TRUE(std::isinf(ionex::pow10(INT_MAX)));
    EXPECT_EQ(ionex::pow10(-46), 0.0f);
    EXPECT_EQ(ionex::pow10(INT_MIN), 0.0f);
}

TEST(MapReader, ReadsConsecutiveMapsIntoTheWindow) {
    std::vector<MapRead> maps = readMaps(fullMap(1, 100) + fullMap(2, 200), kAllRows, kAllCols, 3);
    ASSERT_EQ(maps[0].result, ionex::kMapRead);
    EXPECT_EQ(maps[0].values, (std::vector<double>{100, 101, 102, 103, 110, 111, 112, 113, 120, 121, 122, 123}));
    EXPECT_EQ(maps[1].values[11], 223.0);
    EXPECT_EQ(maps[2].result, ionex::kMapRead) << "end of input is not an error";
    EXPECT_EQ(maps[2].values, std::vector<double>(12, kHole)) << "a missing map stores nothing";
}

TEST(MapReader, KeepsOnlyTheWindow) {
    std::vector<MapRead> maps = readMaps(fullMap(1, 100), {1, 2, 0}, {1, 2, 0}, 1);
    EXPECT_EQ(maps[0].values, (std::vector<double>{111, 112, 121, 122}));
}

TEST(MapReader, PlacesValuesByRowAndColumnAndLeavesHoles) {
    // Row 0 is short (two values), row 1 is complete, the map then ends without row 2.
    std::string text = start(1) + kEpoch + row("  1  2") + row("  5  6  7  8") + kEnd;
    std::vector<MapRead> maps = readMaps(text, kAllRows, kAllCols, 1);
    const double h = kHole;
    EXPECT_EQ(maps[0].values, (std::vector<double>{1, 2, h, h, 5, 6, 7, 8, h, h, h, h}));
}

TEST(MapReader, TokenizerRules) {
    struct Case {
        const char* name;
        std::string data;  // data lines of row 0 (4 columns)
        std::vector<double> expected;
    };
    const double h = kHole;
    const Case cases[] = {
        {"values continued over lines", "  1  2\n  3\n  4", {1, 2, 3, 4}},
        {"leading tabs and trailing blanks", "\t 1  2   \n 3 4  ", {1, 2, 3, 4}},
        {"carriage returns", " 1 2\r\n 3 4\r", {1, 2, 3, 4}},
        {"a tab alone does not separate", " 12\t13 14 15", {12, 14, 15, h}},
        {"non-numbers are passed over uncounted", " x 1 - 2 ab3 4", {1, 2, 4, h}},
        {"tokens glued to letters", " 7abc 8", {7, 8, h, h}},
        {"signs, decimals and exponents", " -5 +6 2.5 1e2", {-5, 6, 2.5, 100}},
        {"9999 is stored like any value", " 9999 1 2 3", {9999, 1, 2, 3}},
        {"surplus values are dropped", " 1 2 3 4 5 6", {1, 2, 3, 4}},
        {"glued five-column values", "1015710167 9847 9229", {1015710167.0f, 9847, 9229, h}},
    };
    for (const Case& c : cases) {
        std::string text = start(1) + kEpoch + row(c.data) + kEnd;
        std::vector<MapRead> maps = readMaps(text, {0, 0, 0}, kAllCols, 1);
        EXPECT_EQ(maps[0].values, c.expected) << c.name;
    }
}

TEST(MapReader, ScaleAndExponentLines) {
    std::string text = start(1) + kEpoch + row(" 33 33 33 33") +
                       "    -2                                                      EXPONENT\n" +
                       row(" 33 33 33 33") + kEnd + fullMap(2, 33);
    std::vector<MapRead> maps = readMaps(text, {0, 1, 0}, {0, 0, 0}, 2, ionex::pow10(-1));
    EXPECT_EQ(maps[0].values[0], 3.3000000491738319);
    EXPECT_EQ(maps[0].values[1], 33.0 * static_cast<double>(0.01f)) << "EXPONENT changes the scale";
    EXPECT_EQ(maps[1].values[0], 3.3000000491738319) << "the next map starts with the caller's scale";
}

TEST(MapReader, PhasesAndResultCodes) {
    const std::string rms = "     1                                                      START OF RMS MAP\n" + kEpoch +
                            row(" 9 9 9 9") + "     1                                                      END OF RMS MAP\n";
    struct Case {
        const char* name;
        std::string text;
        int result;
        double first_value;
    };
    const Case cases[] = {
        {"RMS blocks are skipped", rms + fullMap(1, 100), 0, 100},
        {"map out of order", fullMap(2, 100), 1, kHole},
        {"map number unreadable", "   xx                                                       START OF TEC MAP\n", 1, kHole},
        {"longitude mismatch", start(1) + kEpoch + row(" 1 2 3 4", "   0.0  20.0   5.0"), 2, kHole},
        {"step mismatch after a good row", start(1) + kEpoch + row(" 1 2 3 4") + row(" 5", "   0.0  15.0   2.5"), 2, 1},
        {"NaN longitude", start(1) + kEpoch + row(" 1 2 3 4", "   nan  15.0   5.0"), 2, kHole},
        {"too few numbers", start(1) + kEpoch + "    10.0   0.0  15.0 LAT/LON1/LON2/DLON/H\n", 2, kHole},
        {"180 equals 180.0", start(1) + kEpoch + row(" 4 3 2 1", "   0  15   5"), 0, 4},
        {"rows before the epoch are skipped", start(1) + row(" 1 2 3 4") + kEpoch + row(" 5 6 7 8") + kEnd, 0, 5},
        {"map without its epoch line", start(1) + row(" 1 2 3 4") + kEnd, 0, kHole},
        {"END OF TEC MAP before any row", start(1) + kEpoch + kEnd + row(" 1 2 3 4"), 0, kHole},
        {"END OF TEC MAP ends every phase", kEnd + fullMap(1, 100), 0, kHole},
    };
    for (const Case& c : cases) {
        std::vector<MapRead> maps = readMaps(c.text, kAllRows, kAllCols, 1);
        EXPECT_EQ(maps[0].result, c.result) << c.name;
        EXPECT_EQ(maps[0].values[0], c.first_value) << c.name;
    }
}

TEST(MapReader, MapWithoutEndRunsIntoTheNext) {
    std::string text = start(1) + kEpoch + row(" 1 2 3 4") + start(2) + kEpoch + row(" 5 6 7 8") + kEnd;
    std::vector<MapRead> maps = readMaps(text, kAllRows, kAllCols, 1);
    EXPECT_EQ(maps[0].result, 0);
    // The second block's rows continue the row counter: its row lands in row 1.
    EXPECT_EQ(maps[0].values[4], 5.0);
    EXPECT_EQ(maps[0].values[3], 4.0);
}

TEST(MapReader, ReadFailureGivesThree) {
    ionex::testing::failReadNumber(3);
    std::vector<MapRead> maps = readMaps(fullMap(1, 100), kAllRows, kAllCols, 1);
    ionex::testing::failReadNumber(0);
    EXPECT_EQ(maps[0].result, ionex::kMapReadFailure);
}

// Whether the input ended before a map began: only an input that runs out while the reader
// still waits for "START OF TEC MAP" counts; a map cut short, or a stray end line, does not.
TEST(MapReader, TellsAnInputThatEndedBeforeTheMapBegan) {
    struct Row { const char* what; std::string text; int map_index; bool ended_before_start; };
    const Row rows[] = {
        {"empty input", "", 0, true},
        {"after a complete map", fullMap(1, 100), 1, true},
        {"only blank lines left", fullMap(1, 100) + "\n\n", 1, true},
        {"start line then the end", start(1), 0, false},
        {"cut inside the map", start(1) + kEpoch + row("  1  2"), 0, false},
        {"complete map", fullMap(1, 100), 0, false},
        {"stray end line", kEnd, 0, false},
        {"out of order", start(3), 0, false},
    };
    for (const Row& row : rows) {
        testfiles::OpenSource src(testfiles::writeTemp("ended.txt", row.text));
        char line[512] = {};
        std::vector<double> values(12, kHole);
        bool ended = !row.ended_before_start;
        for (int j = 0; j <= row.map_index; ++j) {
            ionex::readIonexMap(src.source, header4(), kAllRows, kAllCols, 1.0f, j, line, values.data(), &ended);
        }
        EXPECT_EQ(ended, row.ended_before_start) << row.what;
    }
}
