// ionex.read and ionex.info through the stand-in host: the identifier of every failure,
// the shapes of a real file's struct, and no array, string or open file left behind on any
// path, with allocation faults of the host and read faults of the file injected anywhere.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "input/line_source_faults.h"
#include "minimex_testing.h"
#include "gateway/common/open_descriptors.h"

extern "C" void ionex_read_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_info_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

namespace {

using minimex::makeCell;
using minimex::makeChar;
using minimex::makeRow;

const std::string kData = IONEX_TEST_DATA;

// One call of an entry: its inputs (released at the end), its output or the error it raised.
// With `fault` > 0 the host's allocation number `fault` of the call fails.
struct EntryCall {
    EntryCall(minimex::MexEntry entry, std::vector<mxArray*> inputs, long fault = 0) {
        std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
        mxArray* out[1] = {nullptr};
        minimex::failAllocationNumber(fault);
        try {
            minimex::runEntry(entry, 1, out, static_cast<int>(prhs.size()), prhs.data());
            output = out[0];
        } catch (const minimex::MexError& e) {
            identifier = e.identifier;
            message = e.message;
        } catch (const std::bad_alloc&) {
            identifier = "bad_alloc escaped the entry";
        }
        minimex::failAllocationNumber(0);
        for (mxArray* input : inputs) mxDestroyArray(input);
    }
    ~EntryCall() { mxDestroyArray(output); }
    EntryCall(const EntryCall&) = delete;
    EntryCall& operator=(const EntryCall&) = delete;
    mxArray* output = nullptr;
    std::string identifier;
    std::string message;
};

// Text of a file of the test data. Returns it.
std::string dataText(const std::string& name) {
    std::ifstream in(kData + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Dimensions of field `name` of a struct. Returns them (empty when there is no such field).
std::vector<size_t> fieldDims(const mxArray* s, const char* name) {
    const mxArray* f = mxGetField(s, 0, name);
    if (f == nullptr) return {};
    return std::vector<size_t>(mxGetDimensions(f), mxGetDimensions(f) + mxGetNumberOfDimensions(f));
}

struct IonexEntryTest : ::testing::Test {
    void SetUp() override {
        arrays = minimex::liveArrayCount();
        descriptors = gwtest::openDescriptorCount();
        const std::string codg = dataText("CODG0080.20I");
        const size_t fifth_map = [&] {
            size_t at = 0;
            for (int k = 0; k < 5; ++k) at = codg.find("START OF TEC MAP", at + 1);
            return at;
        }();
        cut = dir.write("cut.20i", codg.substr(0, fifth_map + 3000));
        std::string damaged = codg;
        const size_t values = damaged.find('\n', damaged.find("LAT/LON1/LON2/DLON/H", damaged.find("START OF TEC MAP"))) + 1;
        damaged.replace(values + 6, 4, " x12");
        corrupt = dir.write("corrupt.20i", damaged);
        empty = dir.write("empty.20i", "");
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
    std::string cut, corrupt, empty;
    size_t arrays = 0;
    size_t descriptors = 0;
};

TEST_F(IonexEntryTest, EveryFailureRaisesItsIdentifierAndLeavesNothing) {
    const std::string regional = kData + "/jammed-fields.14i";
    const std::string codg = kData + "/CODG0080.20I";
    struct Row { const char* what; minimex::MexEntry entry; std::function<std::vector<mxArray*>()> inputs; const char* id; std::string says; };
    const Row rows[] = {
        {"missing file", ionex_read_mexFunction, [&] { return std::vector<mxArray*>{makeChar(codg + ".none")}; }, "ionex:NoFile", ".none"},
        {"info, missing file", ionex_info_mexFunction, [&] { return std::vector<mxArray*>{makeChar(codg + ".none")}; }, "ionex:NoFile", ".none"},
        {"empty file", ionex_read_mexFunction, [&] { return std::vector<mxArray*>{makeChar(empty)}; }, "ionex:NotIonex", "empty.20i"},
        {"letter in values", ionex_read_mexFunction, [&] { return std::vector<mxArray*>{makeChar(corrupt)}; }, "ionex:Corrupt", "corrupt.20i: line "},
        {"cut in map 5", ionex_read_mexFunction, [&] { return std::vector<mxArray*>{makeChar(cut)}; }, "ionex:Truncated", "TEC map 5"},
        {"grids differ", ionex_read_mexFunction, [&] { return std::vector<mxArray*>{makeCell(1, 2, {makeChar(codg), makeChar(regional)})}; }, "ionex:GridMismatch", "grid"},
        {"wrong option", ionex_read_mexFunction, [&] { return std::vector<mxArray*>{makeChar(codg), makeChar("Maps"), makeRow({1})}; }, "ionex:Input", "'Maps'"},
        {"latitude beyond the pole", ionex_read_mexFunction, [&] { return std::vector<mxArray*>{makeChar(codg), makeChar("Latitude"), makeRow({95, 99})}; }, "ionex:Input", "latitude"},
        {"latitude beyond the grid", ionex_read_mexFunction, [&] { return std::vector<mxArray*>{makeChar(codg), makeChar("Latitude"), makeRow({88, 89})}; }, "ionex:Input", "the latitude range [88 89] lies outside the grid's latitudes 87.5..-87.5"},
        {"info with options", ionex_info_mexFunction, [&] { return std::vector<mxArray*>{makeChar(codg), makeChar("Maps"), makeChar("tec")}; }, "ionex:Input", "one input"},
    };
    for (const Row& row : rows) {
        {
            EntryCall call(row.entry, row.inputs());
            EXPECT_EQ(call.output, nullptr) << row.what;
            EXPECT_EQ(call.identifier, row.id) << row.what << ": " << call.message;
            EXPECT_NE(call.message.find(row.says), std::string::npos) << row.what << ": " << call.message;
        }
        expectNothingLeft(row.what);
    }
}

TEST_F(IonexEntryTest, RealFileFieldsHaveMatlabShapes) {
    {
        EntryCall call(ionex_read_mexFunction, {makeChar(kData + "/codg0080.20i.Z")});
        ASSERT_NE(call.output, nullptr) << call.identifier << ": " << call.message;
        struct Row { const char* name; std::vector<size_t> dims; };
        const Row rows[] = {
            {"tec", {71, 73, 25}}, {"rms", {71, 73, 25}}, {"height_map", {0, 0}}, {"time", {25, 1}},
            {"lat", {71, 1}}, {"lon", {73, 1}}, {"height", {1, 1}}, {"dcb", {1, 1}},
            {"description", {35, 1}}, {"files", {1, 1}}, {"version", {1, 1}}, {"first_epoch", {1, 1}},
        };
        for (const Row& row : rows) EXPECT_EQ(fieldDims(call.output, row.name), row.dims) << row.name;
        // Row = latitude: tec(1, 1, 1) is the node 87.5 N, 180 W of the first map.
        EXPECT_EQ(mxGetPr(mxGetField(call.output, 0, "lat"))[0], 87.5);
        const mxArray* satellites = mxGetField(mxGetField(call.output, 0, "dcb"), 0, "satellites");
        EXPECT_EQ(minimex::textOf(mxGetField(satellites, 0, "system")), std::string(32, 'G'));
    }
    {
        EntryCall info(ionex_info_mexFunction, {makeChar(kData + "/codg0080.20i.Z")});
        ASSERT_NE(info.output, nullptr) << info.message;
        EXPECT_EQ(mxGetFieldNumber(info.output, "tec"), -1);
        EXPECT_EQ(fieldDims(info.output, "lat"), (std::vector<size_t>{71, 1}));
    }
    expectNothingLeft("real file");
}

TEST_F(IonexEntryTest, TimeWindowWithoutMapsGivesEmptyMapsOfTheGrid) {
    // 1 .. 2 January of year 0: no map of the file. Kinds it holds: 71-by-73-by-0; a kind it
    // lacks and a kind not asked for: []; num_maps 0 and no epochs.
    struct Row { std::vector<const char*> kinds; std::vector<size_t> tec, rms; };
    const Row rows[] = {
        {{"tec", "rms", "height_map"}, {71, 73, 0}, {71, 73, 0}},
        {{"rms"}, {0, 0}, {71, 73, 0}},
    };
    for (const Row& row : rows) {
        {
            std::vector<mxArray*> kinds;
            for (const char* k : row.kinds) kinds.push_back(makeChar(k));
            const size_t n = kinds.size();
            EntryCall call(ionex_read_mexFunction, {makeChar(kData + "/codg0080.20i.Z"), makeChar("Time"), makeRow({1, 2}),
                                                    makeChar("Maps"), makeCell(1, n, kinds)});
            ASSERT_NE(call.output, nullptr) << call.identifier << ": " << call.message;
            EXPECT_EQ(fieldDims(call.output, "tec"), row.tec);
            EXPECT_EQ(fieldDims(call.output, "rms"), row.rms);
            EXPECT_EQ(fieldDims(call.output, "height_map"), (std::vector<size_t>{0, 0}));
            EXPECT_EQ(fieldDims(call.output, "time"), (std::vector<size_t>{0, 1}));
            EXPECT_EQ(mxGetScalar(mxGetField(call.output, 0, "num_maps")), 0.0);
            EXPECT_EQ(fieldDims(call.output, "first_epoch"), (std::vector<size_t>{0, 0}));
            EXPECT_EQ(fieldDims(call.output, "last_epoch"), (std::vector<size_t>{0, 0}));
        }
        expectNothingLeft("empty time window");
    }
}

TEST_F(IonexEntryTest, AllocationFaultsAnywhereLeaveNothing) {
    const std::string file = kData + "/jammed-fields.14i";
    long faults = 0;
    for (long n = 1; n < 400; ++n) {
        bool done = false;
        {
            EntryCall call(ionex_read_mexFunction,
                           {makeChar(file), makeChar("Maps"), makeCell(1, 2, {makeChar("tec"), makeChar("rms")})}, n);
            done = call.output != nullptr;
            if (!done) {
                ++faults;
                EXPECT_EQ(call.identifier, "ionex:OutOfMemory") << n << ": " << call.message;
            }
        }
        expectNothingLeft("allocation fault " + std::to_string(n));
        if (done) break;
    }
    EXPECT_GT(faults, 30);
}

TEST_F(IonexEntryTest, ReadFaultsAnywhereLeaveNothing) {
    const std::string file = kData + "/codg0080.20i.gz";
    int failed = 0;
    for (long n = 1; n < 80; n += 3) {
        ionex::testing::failReadNumber(n);
        {
            EntryCall call(ionex_read_mexFunction, {makeChar(file)});
            if (call.output == nullptr) {
                ++failed;
                EXPECT_EQ(call.identifier, "ionex:Corrupt") << n << ": " << call.message;
            }
        }
        ionex::testing::failReadNumber(0);
        expectNothingLeft("read fault " + std::to_string(n));
    }
    EXPECT_GT(failed, 0);
}

TEST_F(IonexEntryTest, ShortReadsPrintNoProgress) {
    minimex::clearPrinted();
    const std::string codg = kData + "/codg0080.20i.Z";
    {
        EntryCall call(ionex_read_mexFunction, {makeCell(1, 2, {makeChar(codg), makeChar(kData + "/codg0080.20i.gz")})});
        EXPECT_NE(call.output, nullptr) << call.message;
    }
    EXPECT_EQ(minimex::printedText(), "");  // well under the delay before the line shows
    expectNothingLeft("series");
}

}  // namespace
