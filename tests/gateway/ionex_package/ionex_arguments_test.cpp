// Inputs of ionex.read and ionex.info: every kind of wrong argument is ionex:Input with a
// message that says what was wrong; names, patterns and options decode into the request.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "minimex_testing.h"
#include "ionex_package/read_arguments.h"

namespace {

using gateway::IonexCall;
using minimex::makeCell;
using minimex::makeChar;
using minimex::makeRow;
using minimex::makeStrings;

// Decodes `inputs` (released afterwards) for `call` with `nlhs` outputs.
struct Decoded {
    Decoded(IonexCall call, int nlhs, std::vector<mxArray*> inputs) {
        std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
        ok = gateway::decodeReadArguments(call, nlhs, static_cast<int>(prhs.size()), prhs.data(), request, error);
        for (mxArray* input : inputs) mxDestroyArray(input);
    }
    bool ok = false;
    gateway::ReadRequest request;
    gateway::GatewayError error{};
};

TEST(IonexArguments, EveryWrongArgumentIsAnInputErrorThatSaysWhy) {
    const size_t before = minimex::liveArrayCount();
    struct Row { const char* what; IonexCall call; int nlhs; std::function<std::vector<mxArray*>()> inputs; const char* id; const char* says; };
    const Row rows[] = {
        {"no input", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{}; }, "ionex:Input", "needs a file"},
        {"two outputs", IonexCall::kRead, 2, [] { return std::vector<mxArray*>{makeChar("a.20i")}; }, "ionex:Input", "one output"},
        {"numeric file", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeRow({1, 2})}; }, "ionex:Input", "not a double"},
        {"struct file", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{minimex::makeStruct(1, 1)}; }, "ionex:Input", "not a struct"},
        {"empty name", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("")}; }, "ionex:Input", "FILE is empty"},
        {"char matrix", IonexCall::kRead, 1, [] { const char* t[] = {"ab", "cd"}; return std::vector<mxArray*>{mxCreateCharMatrixFromStrings(2, t)}; }, "ionex:Input", "char row"},
        {"empty cell", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{mxCreateCellMatrix(0, 0)}; }, "ionex:Input", "FILES is empty"},
        {"cell of numbers", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeCell(1, 2, {makeChar("a"), makeRow({3})})}; }, "ionex:Input", "FILES{2}"},
        {"cell with a hole", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{mxCreateCellMatrix(1, 1)}; }, "ionex:Input", "FILES{1}"},
        {"unconvertible", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{minimex::makeUnconvertibleChar("a")}; }, "ionex:Input", "char row"},
        {"name with a NUL", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar(std::string("a.20i\0b", 7))}; }, "ionex:Input", "without NUL"},
        {"NUL in a cell", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeCell(1, 1, {makeChar(std::string("a\0", 2))})}; }, "ionex:Input", "FILES{1}"},
        {"pattern matches nothing", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("/nonexistent-dir/*.20i")}; }, "ionex:NoFile", "/nonexistent-dir/*.20i"},
        {"name without value", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Maps")}; }, "ionex:Input", "pairs"},
        {"numeric option name", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeRow({1}), makeRow({1})}; }, "ionex:Input", "Input 2 must be an option name"},
        {"unknown option", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Lat"), makeRow({1, 2})}; }, "ionex:Input", "Unknown option 'Lat'"},
        {"unknown map kind", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Maps"), makeChar("dcb")}; }, "ionex:Input", "'dcb' is none"},
        {"maps of numbers", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Maps"), makeRow({1})}; }, "ionex:Input", "'Maps' takes"},
        {"maps empty cell", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("maps"), mxCreateCellMatrix(0, 0)}; }, "ionex:Input", "'Maps' takes"},
        {"maps cell of numbers", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Maps"), makeCell(1, 1, {makeRow({1})})}; }, "ionex:Input", "'Maps' takes"},
        {"latitude scalar", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Latitude"), makeRow({30})}; }, "ionex:Input", "'Latitude' takes a pair"},
        {"latitude NaN", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Latitude"), makeRow({NAN, 30})}; }, "ionex:Input", "finite"},
        {"latitude char", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Latitude"), makeChar("ab")}; }, "ionex:Input", "'Latitude' takes"},
        {"latitude complex", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Latitude"), minimex::makeComplex(1, 2, {1, 2}, {0, 1})}; }, "ionex:Input", "'Latitude' takes"},
        {"latitude 2x2", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Latitude"), minimex::makeDouble(2, 2, {1, 2, 3, 4})}; }, "ionex:Input", "'Latitude' takes"},
        {"longitude Inf", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Longitude"), makeRow({0, INFINITY})}; }, "ionex:Input", "'Longitude' takes"},
        {"longitude past 360", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Longitude"), makeRow({10, 400})}; }, "ionex:Input", "-180..180 or 0..360"},
        {"time reversed", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Time"), makeRow({737800, 737799})}; }, "ionex:Input", "t0 <= t1"},
        {"time cell", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Time"), mxCreateCellMatrix(1, 2)}; }, "ionex:Input", "'Time' takes"},
        {"progress text", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Progress"), makeChar("no")}; }, "ionex:Input", "'Progress' takes"},
        {"progress NaN", IonexCall::kRead, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Progress"), makeRow({NAN})}; }, "ionex:Input", "'Progress' takes"},
        {"info two inputs", IonexCall::kInfo, 1, [] { return std::vector<mxArray*>{makeChar("a"), makeChar("Maps")}; }, "ionex:Input", "one input"},
        {"info cell", IonexCall::kInfo, 1, [] { return std::vector<mxArray*>{makeCell(1, 1, {makeChar("a")})}; }, "ionex:Input", "not a cell"},
        {"info no input", IonexCall::kInfo, 1, [] { return std::vector<mxArray*>{}; }, "ionex:Input", "ionex.info(FILE)"},
    };
    for (const Row& row : rows) {
        Decoded d(row.call, row.nlhs, row.inputs());
        EXPECT_FALSE(d.ok) << row.what;
        EXPECT_STREQ(d.error.identifier, row.id) << row.what;
        EXPECT_NE(std::string(d.error.message).find(row.says), std::string::npos) << row.what << ": " << d.error.message;
    }
    EXPECT_EQ(minimex::liveArrayCount(), before);
    EXPECT_EQ(minimex::liveStringCount(), 0u);
}

TEST(IonexArguments, OptionsDecodeCaseInsensitivelyIntoTheRequest) {
    Decoded d(IonexCall::kRead, 1,
              {makeStrings(1, 1, {"f.20i"}), makeChar("mAPS"), makeCell(1, 2, {makeChar("RMS"), makeStrings(1, 1, {"height_map"})}),
               makeStrings(1, 1, {"LATITUDE"}), makeRow({60, 30}), makeChar("longitude"), makeRow({170, -170}),
               makeChar("Time"), minimex::makeNumeric(mxINT32_CLASS, 1, 2, {737000, 737001}),
               makeChar("Progress"), minimex::makeLogical(1, 1, {false})});
    ASSERT_TRUE(d.ok) << d.error.message;
    EXPECT_EQ(d.request.files, std::vector<std::string>{"f.20i"});
    EXPECT_FALSE(d.request.series);
    const ionex::ReadOptions& o = d.request.options;
    EXPECT_FALSE(o.kinds[ionex::kTecMap]);
    EXPECT_TRUE(o.kinds[ionex::kRmsMap]);
    EXPECT_TRUE(o.kinds[ionex::kHeightMap]);
    EXPECT_TRUE(o.has_lat_range);
    EXPECT_EQ(o.lat_range[0], 30);  // a range in either order
    EXPECT_EQ(o.lat_range[1], 60);
    EXPECT_TRUE(o.has_lon_range);
    EXPECT_EQ(o.lon_range[0], 170);  // first > last crosses the seam: kept as given
    EXPECT_EQ(o.lon_range[1], -170);
    EXPECT_TRUE(o.has_time_range);
    EXPECT_EQ(o.time_range[1], 737001);
    EXPECT_FALSE(o.header_only);
    EXPECT_FALSE(d.request.progress);

    Decoded defaults(IonexCall::kRead, 1, {makeChar("f.20i")});
    ASSERT_TRUE(defaults.ok);
    EXPECT_TRUE(defaults.request.progress);
    EXPECT_TRUE(defaults.request.options.kinds[ionex::kTecMap] && defaults.request.options.kinds[ionex::kRmsMap]);
    EXPECT_FALSE(defaults.request.options.has_lat_range || defaults.request.options.has_time_range);

    Decoded info(IonexCall::kInfo, 0, {makeChar("f.20i")});
    ASSERT_TRUE(info.ok);
    EXPECT_TRUE(info.request.options.header_only);
}

TEST(IonexArguments, CellsStringArraysAndPatternsMakeASeries) {
    gwtest::TempDir dir;
    for (const char* name : {"codg0090.20i", "codg0080.20i", "esag0080.20i"}) dir.write(name, "x");
    const std::string p = dir.path + "/";
    struct Row { const char* what; std::function<mxArray*()> files; std::vector<std::string> expected; };
    const Row rows[] = {
        {"pattern, sorted", [&] { return makeChar(p + "codg*.20i"); }, {p + "codg0080.20i", p + "codg0090.20i"}},
        {"bracket pattern", [&] { return makeChar(p + "[ce]*0080.20i"); }, {p + "codg0080.20i", p + "esag0080.20i"}},
        {"cell in given order", [&] { return makeCell(2, 1, {makeChar(p + "esag0080.20i"), makeChar(p + "codg0080.20i")}); }, {p + "esag0080.20i", p + "codg0080.20i"}},
        {"cell with a pattern", [&] { return makeCell(1, 2, {makeChar(p + "esag0080.20i"), makeChar(p + "codg*.20i")}); }, {p + "esag0080.20i", p + "codg0080.20i", p + "codg0090.20i"}},
        {"string array", [&] { return makeStrings(1, 2, {p + "codg0090.20i", p + "esag0080.20i"}); }, {p + "codg0090.20i", p + "esag0080.20i"}},
        {"missing name kept for the reader", [&] { return makeCell(1, 1, {makeChar(p + "none.20i")}); }, {p + "none.20i"}},
    };
    for (const Row& row : rows) {
        Decoded d(IonexCall::kRead, 1, {row.files()});
        ASSERT_TRUE(d.ok) << row.what << ": " << d.error.message;
        EXPECT_TRUE(d.request.series) << row.what;
        EXPECT_EQ(d.request.files, row.expected) << row.what;
    }
}

}  // namespace
