// Ctrl-C during ionex.read and ionex.info, through the stand-in host: a header that goes on
// and on ends at the host's interrupt with ionex:Interrupted, the file closed and nothing
// left; inputs without line ends need no interrupt; an exception the host throws from
// inside its check leaves the call only after everything is released.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "minimex_testing.h"
#include "gateway/common/open_descriptors.h"

extern "C" void ionex_read_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_info_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

namespace {

// The output of one call with a file name, or the error it raised.
struct Outcome {
    bool has_output = false;
    std::string identifier;
    std::string message;
};

// Calls `entry` on `path` as the host does. Returns what came back.
Outcome callOn(minimex::MexEntry entry, const std::string& path) {
    Outcome o;
    mxArray* input = minimex::makeChar(path);
    const mxArray* prhs[1] = {input};
    mxArray* out[1] = {nullptr};
    try {
        minimex::runEntry(entry, 1, out, 1, prhs);
        o.has_output = out[0] != nullptr;
    } catch (const minimex::MexError& e) {
        o.identifier = e.identifier;
        o.message = e.message;
    }
    mxDestroyArray(out[0]);
    mxDestroyArray(input);
    return o;
}

// An IONEX VERSION / TYPE record and then `bytes` of COMMENT records: a header that a stop
// check has to end, short of its size.
std::string endlessHeader(size_t bytes) {
    std::string text = "     1.0            IONOSPHERE MAPS     GPS                 IONEX VERSION / TYPE\n";
    const std::string comment = std::string("a header that goes on and on") + std::string(32, ' ') + "COMMENT             \n";
    while (text.size() < bytes) text += comment;
    return text;
}

struct IonexInterruptTest : ::testing::Test {
    void SetUp() override {
        arrays = minimex::liveArrayCount();
        descriptors = gwtest::openDescriptorCount();
        long_header = dir.write("long-header.20i", endlessHeader(24 * 1024 * 1024));
    }
    void TearDown() override { minimex::interruptAtCheck(0); }
    // Everything the calls made is gone, and no file stayed open.
    void expectNothingLeft(const std::string& what) {
        EXPECT_EQ(minimex::liveArrayCount(), arrays) << what;
        EXPECT_EQ(minimex::liveStringCount(), 0u) << what;
        EXPECT_EQ(gwtest::openDescriptorCount(), descriptors) << what;
    }
    gwtest::TempDir dir;
    std::string long_header;
    size_t arrays = 0;
    size_t descriptors = 0;
};

}  // namespace

TEST_F(IonexInterruptTest, AnInterruptEndsTheReadWithInterrupted) {
    struct Row { const char* what; minimex::MexEntry entry; long check; };
    const Row rows[] = {
        {"read, interrupt seen at the first check", ionex_read_mexFunction, 1},
        {"read, at the third", ionex_read_mexFunction, 3},
        {"info, at the second", ionex_info_mexFunction, 2},
    };
    for (const Row& row : rows) {
        minimex::interruptAtCheck(row.check);
        const Outcome o = callOn(row.entry, long_header);
        EXPECT_EQ(minimex::interruptCheckCount(), row.check) << row.what;
        EXPECT_FALSE(o.has_output) << row.what;
        EXPECT_EQ(o.identifier, "ionex:Interrupted") << row.what << ": " << o.message;
        EXPECT_EQ(o.message, long_header + ": the read was interrupted") << row.what;
        expectNothingLeft(row.what);
    }
    // Without an interrupt the same file is read to its end (no END OF HEADER), asked every
    // few MiB on the way.
    minimex::interruptAtCheck(0);
    const Outcome whole = callOn(ionex_read_mexFunction, long_header);
    EXPECT_EQ(whole.identifier, "ionex:Truncated") << whole.message;
    EXPECT_GE(minimex::interruptCheckCount(), 4);
    expectNothingLeft("no interrupt");
}

TEST_F(IonexInterruptTest, InputsWithoutLineEndsNeedNoInterrupt) {
#ifdef _WIN32
    GTEST_SKIP() << "no /dev/zero, /dev/urandom or FIFOs on Windows";
#endif
    for (const char* device : {"/dev/zero", "/dev/urandom"}) {
        for (minimex::MexEntry entry : {ionex_read_mexFunction, ionex_info_mexFunction}) {
            const Outcome o = callOn(entry, device);
            EXPECT_EQ(o.identifier, "ionex:NotIonex") << device << ": " << o.message;
            expectNothingLeft(device);
        }
    }
}

TEST_F(IonexInterruptTest, AHostExceptionFromTheCheckLeavesOnlyAfterCleanUp) {
    for (minimex::MexEntry entry : {ionex_read_mexFunction, ionex_info_mexFunction}) {
        minimex::throwAtCheck(2);
        mxArray* input = minimex::makeChar(long_header);
        const mxArray* prhs[1] = {input};
        mxArray* out[1] = {nullptr};
        EXPECT_THROW(minimex::runEntry(entry, 1, out, 1, prhs), minimex::HostInterrupt);
        EXPECT_EQ(minimex::interruptCheckCount(), 2);
        EXPECT_EQ(out[0], nullptr);
        mxDestroyArray(input);
        expectNothingLeft("host exception");
    }
}
