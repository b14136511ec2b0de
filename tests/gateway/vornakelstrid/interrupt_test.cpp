// Ctrl-C during a vornakelstrid_p read, through the stand-in host: an input without end
// (whose lines the keyword reader accepts forever) ends at the host's interrupt with the
// read-failure error result, the file closed and nothing left; an exception the host throws
// from inside its check leaves the call only after everything is released.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "gateway/common/mex_call.h"
#include "minimex_testing.h"
#include "gateway/common/open_descriptors.h"

namespace {

using gwtest::MexCall;
using minimex::makeChar;

// Text of a file of the test data. Returns it.
std::string dataText(const std::string& name) {
    std::ifstream in(std::string(IONEX_TEST_DATA) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct InterruptTest : ::testing::Test {
    void SetUp() override {
        arrays = minimex::liveArrayCount();
        descriptors = gwtest::openDescriptorCount();
    }
    void TearDown() override { minimex::interruptAtCheck(0); }
    // Everything the calls made is gone, and no file stayed open.
    void expectNothingLeft(const std::string& what) {
        EXPECT_EQ(minimex::liveArrayCount(), arrays) << what;
        EXPECT_EQ(minimex::liveStringCount(), 0u) << what;
        EXPECT_EQ(gwtest::openDescriptorCount(), descriptors) << what;
    }
    size_t arrays = 0;
    size_t descriptors = 0;
};

}  // namespace

TEST_F(InterruptTest, AnEndlessInputEndsWithTheReadFailureResult) {
#ifdef _WIN32
    GTEST_SKIP() << "no /dev/zero, /dev/urandom or FIFOs on Windows";
#endif
    // /dev/zero: 511 NUL bytes a line, forever; the header reader never finds its end.
    struct Row { const char* what; int nlhs; long check; };
    const Row rows[] = {
        {"one output, interrupt seen at the first check", 1, 1},
        {"six outputs, at the third", 6, 3},
    };
    for (const Row& row : rows) {
        {
            minimex::interruptAtCheck(row.check);
            MexCall call(row.nlhs, {makeChar("/dev/zero")});
            EXPECT_EQ(minimex::interruptCheckCount(), row.check) << row.what;
            ASSERT_TRUE(call.failed()) << row.what;
            EXPECT_EQ(call.message(), "508: Unknown error occurred while processing '/dev/zero'") << row.what;
            EXPECT_EQ(call.identifier(), "Vornakelstrid:ReadError") << row.what;
            // Outputs 2 to 4 were never reached; 5 and 6 were made before the file was opened.
            for (int i = 1; i < row.nlhs && i < 4; ++i) EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(i), 0, 0)) << row.what << " " << i;
            if (row.nlhs == 6) {
                EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(4), 1, 32));
                EXPECT_TRUE(gwtest::isDoubleMatrix(call.out(5), 1, 1));
            }
        }
        expectNothingLeft(row.what);
    }
}

TEST_F(InterruptTest, AnInterruptDuringTheMapsReplacesThemByTheErrorResult) {
    // A real file with 24 MiB of blank lines between its header and its first map: the
    // interrupt comes while the map reader looks for that map.
    std::string text = dataText("CODG0080.20I");
    const size_t first_map = text.find("START OF TEC MAP") - 60;
    std::string blanks;
    while (blanks.size() < 24 * 1024 * 1024) blanks += std::string(80, ' ') + "\n";
    const std::string maps = text.substr(0, first_map) + blanks + text.substr(first_map);
    gwtest::TempDir dir;
    const std::string path = dir.write("maps.20i", maps);
    {
        minimex::interruptAtCheck(3);
        MexCall call(4, {makeChar(path)});
        EXPECT_EQ(minimex::interruptCheckCount(), 3);
        ASSERT_TRUE(call.failed());
        EXPECT_EQ(call.identifier(), "Vornakelstrid:ReadError");
        // The epochs and axes were made from the header before the maps; they stay.
        EXPECT_EQ(mxGetM(call.out(1)), 25u);
        EXPECT_EQ(mxGetM(call.out(2)), 71u);
    }
    expectNothingLeft("maps");
    {
        // Without an interrupt the same file reads to its end, asked every few MiB.
        minimex::interruptAtCheck(0);
        MexCall call(1, {makeChar(path)});
        EXPECT_FALSE(call.failed()) << call.message();
        EXPECT_GE(minimex::interruptCheckCount(), 4);
    }
    expectNothingLeft("maps, no interrupt");
}

TEST_F(InterruptTest, AHostExceptionFromTheCheckLeavesOnlyAfterCleanUp) {
#ifdef _WIN32
    GTEST_SKIP() << "no /dev/zero, /dev/urandom or FIFOs on Windows";
#endif
    // Octave throws from inside its check (its exit exception on SIGTERM): the read unwinds by
    // its result codes, closes the file, and the host's exception goes on to the host.
    for (long check : {1L, 2L}) {
        minimex::throwAtCheck(check);
        mxArray* plhs[6] = {nullptr};
        mxArray* input = makeChar("/dev/zero");
        const mxArray* prhs[1] = {input};
        EXPECT_THROW(minimex::runEntry(mexFunction, 6, plhs, 1, prhs), minimex::HostInterrupt) << check;
        EXPECT_EQ(minimex::interruptCheckCount(), check);
        for (mxArray* out : plhs) EXPECT_EQ(out, nullptr) << check;
        mxDestroyArray(input);
        expectNothingLeft("host exception at check " + std::to_string(check));
    }
}
