// Resources of a call: every array and string released or handed over, the file closed on
// every path, and exceptions caught exactly over the stretch from header to last map.

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "input/line_source_faults.h"
#include "gateway/common/mex_call.h"
#include "minimex_testing.h"

namespace {

using gwtest::IonexText;
using gwtest::MexCall;
using minimex::makeChar;
using minimex::makeRow;

// A file of three complete maps on the global grid; the second can be misnumbered.
std::string threeMaps(const gwtest::TempDir& dir, int second_number) {
    IonexText text;
    text.num_maps = "3";
    for (int m = 1; m <= 3; ++m) {
        text.maps.push_back(gwtest::fullMap(m, text.grid, [m](int r, int c) { return m * 1000 + r + c; }));
    }
    text.maps[1].number = second_number;
    return dir.write("three.16i", gwtest::render(text));
}

struct ResourcesTest : ::testing::Test {
    void SetUp() override {
        arrays = minimex::liveArrayCount();
        descriptors = gwtest::openDescriptorCount();
    }
    void TearDown() override {
        minimex::failAllocationNumber(0);
        ionex::testing::failReadNumber(0);
    }
    // Everything the calls made is gone, and no file stayed open.
    void expectNothingLeft(const std::string& what) {
        EXPECT_EQ(minimex::liveArrayCount(), arrays) << what;
        EXPECT_EQ(minimex::liveStringCount(), 0u) << what;
        EXPECT_EQ(gwtest::openDescriptorCount(), descriptors) << what;
    }
    gwtest::TempDir dir;
    size_t arrays = 0;
    size_t descriptors = 0;
};

TEST_F(ResourcesTest, EveryPathReleasesWhatItMadeAndClosesTheFile) {
    const std::string good = threeMaps(dir, 2);
    const std::string empty = dir.write("empty.16i", "");
    const std::string codg = std::string(IONEX_TEST_DATA) + "/codg0080.20i.Z";
    struct Row { const char* what; int nlhs; std::vector<mxArray*> (*inputs)(const std::string&); bool fails; };
    const Row rows[] = {
        {"whole grid", 6, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p)}; }, false},
        {"area", 4, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({40, 0}), makeRow({50, 10}), makeChar("x")}; }, false},
        {"point", 6, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({47, 8}), makeChar("abcd"), makeRow({40})}; }, false},
        {"outside", 4, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({95, 8})}; }, true},
        {"missing file", 6, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p + ".none")}; }, true},
        {"bad location", 6, [](const std::string& p) { return std::vector<mxArray*>{makeChar(p), makeRow({1})}; }, true},
    };
    for (const Row& row : rows) {
        {
            MexCall call(row.nlhs, row.inputs(good));
            EXPECT_EQ(call.failed(), row.fails) << row.what << ": " << call.message();
        }
        expectNothingLeft(row.what);
    }
    {
        MexCall call(6, {makeChar(empty)});
        EXPECT_TRUE(call.failed());
    }
    expectNothingLeft("empty file");
    {
        MexCall call(6, {makeChar(codg), makeRow({47, 8}), makeChar("zimm")});
        EXPECT_FALSE(call.failed()) << call.message();
    }
    expectNothingLeft("compressed product");
}

TEST_F(ResourcesTest, ErrorResultDestroysThePartlyFilledOutput) {
    const std::string path = threeMaps(dir, 5);
    {
        MexCall call(1, {makeChar(path)});
        ASSERT_TRUE(call.failed());
        EXPECT_EQ(call.message(), ("512: Maps are not given in order in the IONEX file '" + path + "'").substr(0, 127));
        // Only the axes and the map grid were left to the host: the cell of output 1, with
        // the copy of map 1 in it, was destroyed by the error result, not orphaned.
        EXPECT_EQ(minimex::lastCallTemporaryCount(), 3u);
    }
    expectNothingLeft("out of order");
}

TEST_F(ResourcesTest, ReadFaultsCloseTheFile) {
    const std::string path = threeMaps(dir, 2);
    for (long n : {1L, 5L, 11L, 12L, 13L, 40L, 200L, 400L}) {
        ionex::testing::failReadNumber(n);
        {
            MexCall call(4, {makeChar(path)});
            ASSERT_TRUE(call.failed()) << "read " << n;
            const std::string& m = call.message();
            EXPECT_TRUE(m.rfind("508: Error occured while reading header", 0) == 0 ||
                        m.rfind("508: Unknown error occurred while processing", 0) == 0)
                << "read " << n << ": " << m;
        }
        expectNothingLeft("read " + std::to_string(n));
    }
}

// Allocation faults: creating calls of a whole-grid call with one output, in order, are
// 1 the file name, 2 and 3 the axes, 4 the map grid, 5 the cell output, 6 to 8 the copies
// of maps 1 to 3, then the error result's cell and its two strings.
TEST_F(ResourcesTest, ExceptionsInsideTheFileStretchBecomeTheUnknownError) {
    const std::string path = threeMaps(dir, 2);
    const std::string message = "508: Unknown error occurred while processing '" + path + "'";
    for (long n = 2; n <= 8; ++n) {
        std::vector<mxArray*> inputs{makeChar(path)};
        minimex::failAllocationNumber(n);
        {
            MexCall call(1, inputs);
            EXPECT_EQ(call.message(), message.substr(0, 127)) << "allocation " << n;
            EXPECT_EQ(call.identifier(), "Vornakelstrid:ReadError");
        }
        expectNothingLeft("allocation " + std::to_string(n));
    }
}

TEST_F(ResourcesTest, ExceptionWhileReportingAMapFailureBecomesTheUnknownError) {
    const std::string path = threeMaps(dir, 7);
    // 6 is the copy of map 1; map 2 is out of order, and its error cell (7) fails.
    for (long n : {7L, 8L, 9L}) {
        std::vector<mxArray*> inputs{makeChar(path)};
        minimex::failAllocationNumber(n);
        {
            MexCall call(1, inputs);
            EXPECT_EQ(call.message(), ("508: Unknown error occurred while processing '" + path + "'").substr(0, 127)) << n;
        }
        expectNothingLeft("allocation " + std::to_string(n));
    }
}

TEST_F(ResourcesTest, ExceptionsOutsideTheStretchLeaveTheEntry) {
    const std::string path = threeMaps(dir, 2);
    struct Row { const char* what; int nlhs; long first; long count; };
    const Row rows[] = {
        {"file name conversion", 1, 1, 1},
        {"satellite DCB output", 6, 1, 1},
        {"receiver DCB output", 6, 2, 1},
        {"error result of the catch-all", 1, 7, 2},
    };
    for (const Row& row : rows) {
        std::vector<mxArray*> inputs{makeChar(path)};
        minimex::failAllocationNumber(row.first, row.count);
        std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
        std::vector<mxArray*> plhs(static_cast<size_t>(row.nlhs), nullptr);
        EXPECT_THROW(minimex::runEntry(mexFunction, row.nlhs, plhs.data(), 1, prhs.data()), std::bad_alloc)
            << row.what;
        for (mxArray* a : inputs) mxDestroyArray(a);
        expectNothingLeft(row.what);
    }
}

}  // namespace
