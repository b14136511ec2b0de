// Every line the writer makes, parsed by the format's columns alone (not by the project's
// reader): labels in columns 61-80, header fields in their Fortran formats, row records
// 2X,5F6.1, data lines 16I5, nothing longer than 80 columns and no blank line.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "format_reader/ionex_reader.h"
#include "support/test_files.h"
#include "writer/writer_support.h"

namespace {

// Columns [first, last] (1-based) of `line`. Returns them.
std::string cols(const std::string& line, int first, int last) {
    return line.size() < static_cast<std::size_t>(first) ? std::string() : line.substr(first - 1, last - first + 1);
}

// Tells whether `field` is an integer right-aligned in its columns (I format). Returns true if so.
bool isInteger(const std::string& field) {
    std::size_t p = field.find_first_not_of(' ');
    if (p == std::string::npos) return false;
    if (field[p] == '-') ++p;
    if (p >= field.size()) return false;
    for (; p < field.size(); ++p) {
        if (field[p] < '0' || field[p] > '9') return false;
    }
    return true;
}

// Tells whether `field` is a real with a point, right-aligned (F format). Returns true if so.
bool isReal(const std::string& field) {
    if (field.empty() || field.back() == ' ' || field.find('.') == std::string::npos) return false;
    char* end = nullptr;
    std::strtod(field.c_str(), &end);
    return end != nullptr && *end == '\0';
}

// The checks of one record by its label: the fields that label's format defines.
void checkRecord(const std::string& line, const std::string& label) {
    static const std::map<std::string, std::vector<std::pair<int, int>>> kIntegers = {
        {"EPOCH OF FIRST MAP", {{1, 6}, {7, 12}, {13, 18}, {19, 24}, {25, 30}, {31, 36}}},
        {"EPOCH OF LAST MAP", {{1, 6}, {7, 12}, {13, 18}, {19, 24}, {25, 30}, {31, 36}}},
        {"EPOCH OF CURRENT MAP", {{1, 6}, {7, 12}, {13, 18}, {19, 24}, {25, 30}, {31, 36}}},
        {"INTERVAL", {{1, 6}}},          {"# OF MAPS IN FILE", {{1, 6}}}, {"MAP DIMENSION", {{1, 6}}},
        {"EXPONENT", {{1, 6}}},          {"# OF STATIONS", {{1, 6}}},     {"# OF SATELLITES", {{1, 6}}},
        {"START OF TEC MAP", {{1, 6}}},  {"END OF TEC MAP", {{1, 6}}},    {"START OF RMS MAP", {{1, 6}}},
        {"END OF RMS MAP", {{1, 6}}},    {"PRN / BIAS / RMS", {{5, 6}}},
    };
    static const std::map<std::string, std::vector<std::pair<int, int>>> kReals = {
        {"IONEX VERSION / TYPE", {{1, 8}}},
        {"ELEVATION CUTOFF", {{1, 8}}},
        {"BASE RADIUS", {{1, 8}}},
        {"HGT1 / HGT2 / DHGT", {{3, 8}, {9, 14}, {15, 20}}},
        {"LAT1 / LAT2 / DLAT", {{3, 8}, {9, 14}, {15, 20}}},
        {"LON1 / LON2 / DLON", {{3, 8}, {9, 14}, {15, 20}}},
        {"LAT/LON1/LON2/DLON/H", {{3, 8}, {9, 14}, {15, 20}, {21, 26}, {27, 32}}},
        {"PRN / BIAS / RMS", {{7, 16}, {17, 26}}},
        {"STATION / BIAS / RMS", {{27, 36}, {37, 46}}},
    };
    if (auto it = kIntegers.find(label); it != kIntegers.end()) {
        for (const auto& f : it->second) EXPECT_TRUE(isInteger(cols(line, f.first, f.second))) << line;
    }
    if (auto it = kReals.find(label); it != kReals.end()) {
        for (const auto& f : it->second) EXPECT_TRUE(isReal(cols(line, f.first, f.second))) << line;
    }
    if (label == "IONEX VERSION / TYPE") {
        EXPECT_EQ(cols(line, 21, 21), "I") << line;
    }
    if (label == "MAPPING FUNCTION") {
        EXPECT_EQ(cols(line, 1, 2), "  ") << line;
    }
    if (label == "PRN / BIAS / RMS" || label == "STATION / BIAS / RMS") {
        EXPECT_NE(cols(line, 4, 4), " ") << line;
    }
}

// Checks every line of `text`; data lines must come only after a row record.
void checkText(const std::string& text) {
    static const char* const kLabels[] = {
        "IONEX VERSION / TYPE", "PGM / RUN BY / DATE", "DESCRIPTION", "COMMENT", "EPOCH OF FIRST MAP",
        "EPOCH OF LAST MAP", "INTERVAL", "# OF MAPS IN FILE", "MAPPING FUNCTION", "ELEVATION CUTOFF",
        "OBSERVABLES USED", "# OF STATIONS", "# OF SATELLITES", "BASE RADIUS", "MAP DIMENSION",
        "HGT1 / HGT2 / DHGT", "LAT1 / LAT2 / DLAT", "LON1 / LON2 / DLON", "EXPONENT", "START OF AUX DATA",
        "END OF AUX DATA", "PRN / BIAS / RMS", "STATION / BIAS / RMS", "END OF HEADER", "START OF TEC MAP",
        "START OF RMS MAP", "END OF TEC MAP", "END OF RMS MAP", "EPOCH OF CURRENT MAP", "LAT/LON1/LON2/DLON/H",
        "END OF FILE", "SYS / #STA / #SAT"};
    const std::vector<std::string> lines = writertest::linesOf(text);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(text.back(), '\n');
    bool in_row = false;
    for (const std::string& line : lines) {
        ASSERT_FALSE(line.empty()) << "a blank line";
        ASSERT_LE(line.size(), 80u) << line;
        const bool data = line.size() % 5 == 0 && line.size() <= 80 && line.find_first_not_of(" -0123456789") == std::string::npos;
        if (data && in_row) {
            for (std::size_t f = 0; f < line.size(); f += 5) EXPECT_TRUE(isInteger(line.substr(f, 5))) << line;
            continue;
        }
        std::string label = cols(line, 61, 80);
        while (!label.empty() && label.back() == ' ') label.pop_back();
        if (label.size() == 20 && label.compare(1, 19, "PGM / RUN BY / DATE") == 0) {
            label = "PGM / RUN BY / DATE";  // a date of 21 characters moves it one column on
        }
        bool known = false;
        for (const char* k : kLabels) known = known || label == k;
        EXPECT_TRUE(known) << "label '" << label << "' in " << line;
        checkRecord(line, label);
        in_row = label == "LAT/LON1/LON2/DLON/H";
    }
    EXPECT_EQ(lines.back().substr(60), "END OF FILE         ");
}

TEST(WriterColumns, EveryLineOfRealFilesWrittenAgainParsesByItsColumns) {
    for (const char* name : {"CODG0080.20I", "CODG0440.13I", "jplg0010.17i.gz", "esag0080.20i.Z", "casg0010.99i.Z",
                             "igrg2680.20i", "CKMG0020.22I.gz", "jammed-fields.14i"}) {
        SCOPED_TRACE(name);
        ionex::IonexContents c;
        ionex::ReadFailure failure;
        ASSERT_EQ(ionex::readIonexFile(testfiles::dataPath(name), ionex::ReadOptions{}, c, failure), ionex::ReadStatus::kOk);
        checkText(writertest::textOf(ionex::writeInputOf(c)));
    }
}

TEST(WriterColumns, MapsOfOwnMakingParseByTheirColumns) {
    const writertest::MapSet set = writertest::makeSet(writertest::axis(-60, 2.5, 9), writertest::axis(170, -2.5, 33), {}, 2,
                                                       [](std::size_t m, std::size_t i, std::size_t j, std::size_t) {
                                                           return (i + j) % 5 == 0 ? std::nan("") : -12.3 + static_cast<double>(m + i * j);
                                                       });
    checkText(writertest::textOf(set.input()));
}

}  // namespace
