// ionex.read's core on damaged files: each failure status, with the line it names.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "support/ionex_text.h"
#include "input/line_source_faults.h"
#include "support/test_files.h"

using ionex::ReadStatus;
using ionextext::Grid;
using ionextext::record;

namespace {

using Edit = std::function<std::string(const std::string&)>;

// The text of line `n` (1-based) of `text`, without its line end.
std::string lineAt(const std::string& text, long n) {
    size_t start = 0;
    for (long k = 1; k < n; ++k) start = text.find('\n', start) + 1;
    return text.substr(start, text.find('\n', start) - start);
}

// Number (1-based) of the first line holding `needle` after the first line holding `after`.
long lineOf(const std::string& text, const std::string& needle, const std::string& after = "") {
    const size_t from = after.empty() ? 0 : text.find(after);
    const size_t p = text.find(needle, from == std::string::npos ? 0 : from);
    if (p == std::string::npos) return -1;
    long n = 1;
    for (size_t i = 0; i < p; ++i) n += text[i] == '\n' ? 1 : 0;
    return n;
}

// Replaces line `n` of `text` by `line` (several lines when it holds line ends).
std::string replaceLine(const std::string& text, long n, const std::string& line) {
    size_t start = 0;
    for (long k = 1; k < n; ++k) start = text.find('\n', start) + 1;
    return text.substr(0, start) + line + text.substr(text.find('\n', start));
}

// Edits: replace the line holding `needle` (after `after`), or cut the text before it.
Edit replacing(const std::string& needle, const std::string& line, const std::string& after = "") {
    return [=](const std::string& t) { return replaceLine(t, lineOf(t, needle, after), line); };
}
Edit cuttingBefore(const std::string& needle, const std::string& after = "") {
    return [=](const std::string& t) {
        const long n = lineOf(t, needle, after);
        size_t start = 0;
        for (long k = 1; k < n; ++k) start = t.find('\n', start) + 1;
        return t.substr(0, start);
    };
}

const char kFirstData[] = " 1000 1003 1006 1009 1012";  // map 1, latitude 10.0
const char kEpoch1[] = "  2020     1     8     0     0     0";

}  // namespace

TEST(IonexReadFailures, EachStatusWithItsLine) {
    const std::string base = ionextext::file(Grid{}, 2, true);
    const std::string aux = record("DIFFERENTIAL CODE BIASES", "START OF AUX DATA") +
                            record("   G01    -7.615     0.009", "PRN / BIAS / RMS") +
                            record("DIFFERENTIAL CODE BIASES", "END OF AUX DATA");
    const std::string with_aux = ionextext::header(Grid{}, 1, aux) + ionextext::mapBlock("TEC", 1, Grid{}, ionextext::defaultValue);
    struct Case {
        const char* name;
        std::string source;
        Edit edit;
        ReadStatus status;
        std::string line_needle;  // the failure names the line holding this; "" for none, "$" for the last
        const char* detail;       // a part of the failure's detail
    };
    const Case cases[] = {
        {"empty file", base, [](const std::string&) { return std::string(); }, ReadStatus::kNotIonex, "", "empty"},
        {"another format", base, replacing("IONEX VERSION / TYPE", "     3.04           OBSERVATION DATA    M                   RINEX VERSION / TYPE"),
         ReadStatus::kNotIonex, "RINEX", "IONEX VERSION"},
        {"binary", base, [](const std::string&) { return std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10); }, ReadStatus::kNotIonex, "ELF", "IONEX VERSION"},
        {"ends inside the header", base, cuttingBefore("END OF HEADER"), ReadStatus::kTruncated, "$", "END OF HEADER"},
        {"ends inside an aux block", with_aux, cuttingBefore("END OF AUX DATA"), ReadStatus::kTruncated, "$", "aux data block"},
        {"ends inside TEC map 2", base, cuttingBefore("     5.0", "START OF TEC MAP"), ReadStatus::kTruncated, "$", "TEC map 1"},
        {"ends inside a cut line", base, [](const std::string& t) { return t.substr(0, t.find(kFirstData) + 12); },
         ReadStatus::kTruncated, " 1000 1003", "TEC map 1"},
        {"ends before RMS map 2", base, cuttingBefore("START OF RMS MAP", "END OF RMS MAP"), ReadStatus::kTruncated, "$", "RMS map 2 of 2 missing"},
        {"ends before TEC map 2", base, cuttingBefore("     2                                                      START OF TEC MAP"),
         ReadStatus::kTruncated, "$", "TEC map 2 of 2 missing"},
        {"END OF FILE before RMS map 2", base,
         [](const std::string& t) { return cuttingBefore("START OF RMS MAP", "END OF RMS MAP")(t) + record("", "END OF FILE"); },
         ReadStatus::kCorrupt, "END OF FILE", "RMS map 2 of 2 missing"},
        {"letter in a value", base, replacing(kFirstData, " 1000 1x03 1006 1009 1012"), ReadStatus::kCorrupt, " 1x03", "not an integer"},
        {"decimal value", base, replacing(kFirstData, " 1000 10.3 1006 1009 1012"), ReadStatus::kCorrupt, " 10.3", "not an integer"},
        {"blank field inside a line", base, replacing(kFirstData, " 1000      1006 1009 1012"), ReadStatus::kCorrupt, " 1000      1006", "blank field"},
        {"value cut short", base, replacing(kFirstData, " 1000 1003 1006 1009 012"), ReadStatus::kCorrupt, " 1009 012", "cut short"},
        {"more values than longitudes", base, replacing(kFirstData, " 1000 1003 1006 1009 1012 1015"), ReadStatus::kCorrupt, " 1012 1015", "more values"},
        {"values before any row", base, replacing("    10.0 -10.0  10.0   5.0 450.0", "  200  203"), ReadStatus::kCorrupt, "  200  203", "outside a row"},
        {"RMS epoch differs from TEC", base, replacing(kEpoch1, "  2020     1     8     1     0     0                        EPOCH OF CURRENT MAP", "START OF RMS MAP"),
         ReadStatus::kCorrupt, "     8     1     0", "another epoch"},
        {"map numbered out of order", base, replacing("     2                                                      START OF TEC MAP", record("     3", "START OF TEC MAP").substr(0, 76)),
         ReadStatus::kCorrupt, "     3     ", "numbered 3"},
        {"row off the grid", base, replacing("     5.0 -10.0  10.0   5.0 450.0", record("     7.0 -10.0  10.0   5.0 450.0", "LAT/LON1/LON2/DLON/H").substr(0, 80)),
         ReadStatus::kCorrupt, "     7.0 -10.0", "not on the header's grid"},
        {"row repeated", base, replacing("     5.0 -10.0  10.0   5.0 450.0", record("    10.0 -10.0  10.0   5.0 450.0", "LAT/LON1/LON2/DLON/H").substr(0, 80), "    10.0 -10.0"),
         ReadStatus::kCorrupt, "    10.0 -10.0  10.0   5.0 450.0                            LAT/LON1/LON2/DLON/H\n 1100", "out of order"},
        {"exponent after a row", base, replacing(kFirstData, std::string(kFirstData) + "\n" + record("    -2", "EXPONENT").substr(0, 68)),
         ReadStatus::kCorrupt, "    -2", "after its first row"},
        {"month 13", base, replacing(kEpoch1, record("  2020    13     8     0     0     0", "EPOCH OF CURRENT MAP").substr(0, 80), "START OF TEC MAP"),
         ReadStatus::kCorrupt, "    13     8", "cannot be read"},
        {"unknown record in a map", base, replacing(kFirstData, record("hello", "COMMENT").substr(0, 67)), ReadStatus::kCorrupt, "hello", "inside TEC map 1"},
        {"interval not a number", base, replacing("INTERVAL", record("  7200 s", "INTERVAL").substr(0, 68)), ReadStatus::kCorrupt, "7200 s", "INTERVAL"},
        {"zero latitude step", base, replacing("LAT1 / LAT2 / DLAT", record("    10.0   0.0   0.0", "LAT1 / LAT2 / DLAT").substr(0, 78)),
         ReadStatus::kCorrupt, "LAT1 / LAT2", "zero step"},
        {"step that misses the last node", base, replacing("LON1 / LON2 / DLON", record("   -10.0  10.0   3.0", "LON1 / LON2 / DLON").substr(0, 78)),
         ReadStatus::kCorrupt, "LON1 / LON2", "does not lead"},
        {"no latitude record", base, replacing("LAT1 / LAT2 / DLAT", record("", "COMMENT").substr(0, 67)), ReadStatus::kCorrupt, "END OF HEADER", "LAT1 / LAT2 / DLAT"},
        {"END OF HEADER inside an aux block", with_aux, replacing("END OF AUX DATA", record("", "END OF HEADER").substr(0, 73)), ReadStatus::kCorrupt,
         "END OF HEADER", "inside the aux data block of line"},
        {"unreadable satellite bias", with_aux, replacing("PRN / BIAS / RMS", record("   G01    -7.6x5     0.009", "PRN / BIAS / RMS").substr(0, 76)),
         ReadStatus::kCorrupt, "PRN / BIAS", "satellite bias"},
        {"header line without a label", base, replacing("MAPPING FUNCTION", "  COSZ"), ReadStatus::kCorrupt, "  COSZ", "without a label"},
        {"a line of 600 characters", base, replacing(kFirstData, std::string(kFirstData) + std::string(575, '1')), ReadStatus::kCorrupt, kFirstData, "longer than 511"},
    };
    for (const Case& k : cases) {
        const std::string text = k.edit(k.source);
        const auto r = ionextext::readText("damaged.14i", text);
        EXPECT_EQ(r.status, k.status) << k.name << ": " << ionex::describeFailure(r.failure);
        EXPECT_EQ(r.failure.status, k.status) << k.name;
        long line = 0;
        if (k.line_needle == "$") {
            line = static_cast<long>(std::count(text.begin(), text.end(), '\n'));
        } else if (!k.line_needle.empty()) {
            line = lineOf(text, k.line_needle);
        }
        EXPECT_EQ(r.failure.line_number, line) << k.name << ": " << ionex::describeFailure(r.failure) << "\n  line: " << lineAt(text, line);
        EXPECT_NE(r.failure.detail.find(k.detail), std::string::npos) << k.name << ": " << r.failure.detail;
        const std::string message = ionex::describeFailure(r.failure);
        EXPECT_NE(message.find("damaged.14i"), std::string::npos) << message;
    }
}

TEST(IonexReadFailures, MissingFileAndEmptySeries) {
    ionex::IonexContents c;
    ionex::ReadFailure f;
    EXPECT_EQ(ionex::readIonexFile("/nonexistent/dir/file.14i", ionex::ReadOptions{}, c, f), ReadStatus::kNoFile);
    EXPECT_EQ(f.file, "/nonexistent/dir/file.14i");
    EXPECT_EQ(ionex::describeFailure(f), "/nonexistent/dir/file.14i: the file cannot be opened");
    EXPECT_EQ(ionex::readIonexSeries({}, ionex::ReadOptions{}, c, f), ReadStatus::kInput);
}

TEST(IonexReadFailures, AFailingLineReadBecomesAFailureNotAnException) {
    for (long n : {1L, 5L, 21L, 40L}) {
        ionex::testing::failReadNumber(n);
        ionex::IonexContents c;
        ionex::ReadFailure f;
        ReadStatus st = ReadStatus::kOk;
        EXPECT_NO_THROW(st = ionex::readIonexFile(testfiles::dataPath("jammed-fields.14i"), ionex::ReadOptions{}, c, f)) << n;
        ionex::testing::failReadNumber(0);
        EXPECT_EQ(st, ReadStatus::kCorrupt) << n;
        EXPECT_NE(f.detail.find("could not be read"), std::string::npos) << f.detail;
        EXPECT_TRUE(c.time.empty() && c.maps[ionex::kTecMap].values.empty()) << n;
    }
}
