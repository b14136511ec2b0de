// Error results: the builder itself, and every usage error through the entry.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vornakelstrid/error_result.h"
#include "gateway/common/mex_call.h"
#include "minimex_testing.h"

namespace {

using gwtest::MexCall;
using minimex::makeChar;
using minimex::makeRow;

const std::string kUsage16 =
    "16: vornakelstrid_p v2.2? At least one of five inputs required:   <IONEX file> "
    "<latitude0, longtitude0> <latitude1, longtitude1";

TEST(CreateErrorMsg, CutsAt127CharactersAndFillsEmptySlots) {
    const size_t baseline = minimex::liveArrayCount();
    mxArray* plhs[4] = {mxCreateDoubleScalar(1), nullptr, mxCreateDoubleScalar(7), nullptr};
    const std::string long_name(200, 'n');
    gateway::createErrorMsg(4, plhs, "A:B", "511: Input file '%s' does not exist", long_name.c_str());
    // The old output 1 was destroyed: one cell, two strings, two empties and output 3 remain.
    EXPECT_EQ(minimex::liveArrayCount(), baseline + 6);
    const std::string message = minimex::textOf(mxGetCell(plhs[0], 0));
    EXPECT_EQ(message.size(), 127u);
    EXPECT_EQ(message, ("511: Input file '" + long_name).substr(0, 127));
    EXPECT_EQ(minimex::textOf(mxGetCell(plhs[0], 1)), "A:B");
    EXPECT_TRUE(gwtest::isDoubleMatrix(plhs[1], 0, 0));
    EXPECT_EQ(gwtest::valuesOf(plhs[2]), std::vector<double>{7});
    EXPECT_TRUE(gwtest::isDoubleMatrix(plhs[3], 0, 0));
    minimex::destroyOutputs(plhs, 4);
    EXPECT_EQ(minimex::liveArrayCount(), baseline);
}

TEST(CreateErrorMsg, NullIdentifierAndNoRequestedOutput) {
    mxArray* plhs[1] = {nullptr};
    gateway::createErrorMsg(0, plhs, nullptr, "%d: %s", 5, "x");
    EXPECT_EQ(minimex::textOf(mxGetCell(plhs[0], 0)), "5: x");
    EXPECT_EQ(minimex::textOf(mxGetCell(plhs[0], 1)), "");
    minimex::destroyOutputs(plhs, 1);
}

TEST(CreateErrorMsg, MessageOfExactly127CharactersIsKept) {
    mxArray* plhs[1] = {nullptr};
    const std::string text(127, 'x');
    gateway::createErrorMsg(1, plhs, "I", "%s", text.c_str());
    EXPECT_EQ(minimex::textOf(mxGetCell(plhs[0], 0)), text);
    gateway::createErrorMsg(1, plhs, "I", "%s!", text.c_str());
    EXPECT_EQ(minimex::textOf(mxGetCell(plhs[0], 0)), text);
    minimex::destroyOutputs(plhs, 1);
}

// Usage errors through the entry: message, identifier and the empty other outputs.
TEST(UsageErrors, MessagesAndIdentifiers) {
    struct Row {
        const char* what;
        int nlhs;
        std::vector<mxArray*> (*inputs)();
        std::string message;
        const char* identifier;
    };
    const Row rows[] = {
        {"no input", 1, [] { return std::vector<mxArray*>{}; }, kUsage16, "Vornakelstrid:Input"},
        {"no input, no output", 0, [] { return std::vector<mxArray*>{}; }, kUsage16, "Vornakelstrid:Input"},
        {"six inputs, seven outputs", 7,
         [] { return std::vector<mxArray*>{makeChar("f"), makeRow({1, 2}), makeRow({1, 2}), makeChar("r"), makeRow({32}), makeRow({1})}; },
         kUsage16, "Vornakelstrid:Input"},
        {"seven outputs", 7, [] { return std::vector<mxArray*>{makeChar("f")}; },
         "17: vornakelstrid_p v2.2? Too many output arguments.", "Vornakelstrid:Output"},
        {"numeric file", 2, [] { return std::vector<mxArray*>{makeRow({1})}; },
         "18: vornakelstrid_p v2.2? First input must be string: <IONEX file>.", "Vornakelstrid:Input"},
        {"unconvertible file", 2, [] { return std::vector<mxArray*>{minimex::makeUnconvertibleChar("f")}; },
         "18: vornakelstrid_p v2.2? Could not convert first input into a string.", "Vornakelstrid:Input"},
        {"scalar location", 3, [] { return std::vector<mxArray*>{makeChar("f"), makeRow({47})}; },
         "19: vornakelstrid_p v2.2? Location must be a vector of latitude and longitude.", "Vornakelstrid:Input"},
        {"empty location", 1, [] { return std::vector<mxArray*>{makeChar("f"), minimex::makeDouble(0, 0, {})}; },
         "19: vornakelstrid_p v2.2? Location must be a vector of latitude and longitude.", "Vornakelstrid:Input"},
        {"scalar second location", 1, [] { return std::vector<mxArray*>{makeChar("f"), makeRow({47, 8}), makeRow({5})}; },
         "19: vornakelstrid_p v2.2? Location must be a vector of latitude and longitude.", "Vornakelstrid:Input"},
        {"area then number", 6, [] { return std::vector<mxArray*>{makeChar("f"), makeRow({47, 8}), makeRow({50, 10}), makeRow({5})}; },
         "20: vornakelstrid_p v2.2? Could not convert second input into a string", "Vornakelstrid:Input"},
    };
    for (const Row& row : rows) {
        const size_t baseline = minimex::liveArrayCount();
        {
            MexCall call(row.nlhs, row.inputs());
            ASSERT_TRUE(call.failed()) << row.what;
            EXPECT_EQ(call.message(), row.message) << row.what;
            EXPECT_EQ(call.identifier(), row.identifier) << row.what;
            for (int i = 1; i < row.nlhs; ++i) EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(i), 0, 0)) << row.what << " output " << i + 1;
        }
        EXPECT_EQ(minimex::liveArrayCount(), baseline) << row.what;
        EXPECT_EQ(minimex::liveStringCount(), 0u) << row.what;
    }
}

TEST(UsageErrors, LocationsThatAreNotRealNumericArrays) {
    std::vector<mxArray* (*)()> makers = {
        [] { return makeChar("47"); },
        [] { return minimex::makeLogical(1, 2, {true, true}); },
        [] { return mxCreateCellMatrix(1, 2); },
        [] { return minimex::makeStruct(1, 2); },
        [] { return minimex::makeComplex(1, 2, {47, 8}, {0, 0}); },
        [] { return minimex::makeSparse(1, 2, {47, 8}); },
    };
    for (size_t i = 0; i < makers.size(); ++i) {
        MexCall first(1, {makeChar("f"), makers[i]()});
        EXPECT_EQ(first.message(), "19: vornakelstrid_p v2.2? Location must be a vector of latitude and longitude.") << i;
        // The same classes as a second location.
        MexCall second(1, {makeChar("f"), makeRow({47, 8}), i == 0 ? minimex::makeLogical(1, 2, {true, true}) : makers[i]()});
        EXPECT_EQ(second.message(), first.message()) << i;
    }
}

TEST(UsageErrors, DcbOutputsMadeAfterDecodingStayEmpty) {
    MexCall call(6, {makeChar("f"), makeRow({47})});
    ASSERT_TRUE(call.failed());
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(4), 0, 0));
    EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(5), 0, 0));
}

}  // namespace
