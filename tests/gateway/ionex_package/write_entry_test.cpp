// ionex.write through the stand-in host: a real file read by ionex.read, written and read
// again, gives the same struct; every wrong M or option raises ionex:Input naming it; an
// existing file gives ionex:Exists and a failing system ionex:Write; no array, string or
// file is left behind.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "gateway/common/ionex_writer.h"
#include "gateway/common/open_descriptors.h"
#include "minimex_testing.h"

extern "C" void ionex_read_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_write_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

namespace {

using minimex::makeCell;
using minimex::makeChar;
using minimex::makeRow;

const std::string kData = IONEX_TEST_DATA;

// One call of an entry; the inputs are released at the end (when `keep` is false).
struct Call {
    Call(minimex::MexEntry entry, std::vector<mxArray*> inputs, int nlhs = 1) {
        std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
        mxArray* out[1] = {nullptr};
        try {
            minimex::runEntry(entry, nlhs, out, static_cast<int>(prhs.size()), prhs.data());
            output = out[0];
        } catch (const minimex::MexError& e) {
            identifier = e.identifier;
            message = e.message;
        }
        for (mxArray* input : inputs) mxDestroyArray(input);
    }
    ~Call() { mxDestroyArray(output); }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    mxArray* output = nullptr;
    std::string identifier;
    std::string message;
};

// The bytes of a file. Returns them.
std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// M of a file of the test data, read by ionex.read. Returns the new struct.
mxArray* readM(const std::string& path) {
    mxArray* out[1] = {nullptr};
    const mxArray* in[1] = {makeChar(path)};
    minimex::runEntry(ionex_read_mexFunction, 1, out, 1, in);
    mxDestroyArray(const_cast<mxArray*>(in[0]));
    return out[0];
}

// Tells whether two arrays hold the same class, size and doubles (NaN equal to NaN), text,
// cells or structs, recursively. Returns true if so.
bool sameArray(const mxArray* a, const mxArray* b) {
    if (a == nullptr || b == nullptr) return a == b;
    if (mxGetClassID(a) != mxGetClassID(b) || mxGetNumberOfDimensions(a) != mxGetNumberOfDimensions(b)) return false;
    for (mwSize d = 0; d < mxGetNumberOfDimensions(a); ++d) {
        if (mxGetDimensions(a)[d] != mxGetDimensions(b)[d]) return false;
    }
    const size_t n = mxGetNumberOfElements(a);
    if (mxIsDouble(a)) {
        for (size_t k = 0; k < n; ++k) {
            const double x = mxGetPr(a)[k], y = mxGetPr(b)[k];
            if (!(x == y || (std::isnan(x) && std::isnan(y)))) return false;
        }
        return true;
    }
    if (mxIsChar(a)) return minimex::textOf(a) == minimex::textOf(b);
    if (mxIsCell(a)) {
        for (size_t k = 0; k < n; ++k) {
            if (!sameArray(mxGetCell(a, k), mxGetCell(b, k))) return false;
        }
        return true;
    }
    if (mxIsStruct(a)) {
        if (mxGetNumberOfFields(a) != mxGetNumberOfFields(b)) return false;
        for (size_t k = 0; k < n; ++k) {
            for (int f = 0; f < mxGetNumberOfFields(a); ++f) {
                const char* name = mxGetFieldNameByNumber(a, f);
                if (std::strcmp(name, "file") == 0 || std::strcmp(name, "files") == 0) continue;  // where it was read
                if (!sameArray(mxGetField(a, k, name), mxGetField(b, k, name))) return false;
            }
        }
        return true;
    }
    return false;
}

struct WriteEntryTest : ::testing::Test {
    void SetUp() override {
        arrays = minimex::liveArrayCount();
        descriptors = gwtest::openDescriptorCount();
    }
    void expectNothingLeft(const std::string& what) {
        EXPECT_EQ(minimex::liveArrayCount(), arrays) << what;
        EXPECT_EQ(minimex::liveStringCount(), 0u) << what;
        EXPECT_EQ(gwtest::openDescriptorCount(), descriptors) << what;
    }
    gwtest::TempDir dir;
    size_t arrays = 0;
    size_t descriptors = 0;
};

TEST_F(WriteEntryTest, RealFilesReadBackAsTheyWereRead) {
    for (const char* name : {"codg0080.20i.Z", "jplg0010.17i.gz", "casg0010.99i.Z", "jammed-fields.14i"}) {
        const std::string out = dir.path + "/" + name + ".written.gz";
        {
            mxArray* m = readM(kData + "/" + name);
            ASSERT_NE(m, nullptr);
            Call write(ionex_write_mexFunction, {mxDuplicateArray(m), makeChar(out)});
            ASSERT_EQ(write.identifier, "") << write.message;
            ASSERT_NE(write.output, nullptr);
            EXPECT_EQ(minimex::textOf(write.output), out);  // the file name, for chaining
            mxArray* again = readM(out);
            EXPECT_TRUE(sameArray(m, again)) << name;
            mxDestroyArray(again);
            mxDestroyArray(m);
        }
        expectNothingLeft(name);
    }
}

TEST_F(WriteEntryTest, WrongInputsRaiseInputNamingTheField) {
    const std::string file = dir.path + "/out.20i";
    // M of a small regional file, with one field replaced.
    auto mWith = [&](const char* field, mxArray* value) {
        // A copy of M whose field `field` is `value` (the host owns a struct's fields).
        mxArray* m = readM(kData + "/jammed-fields.14i");
        std::vector<const char*> names;
        for (int f = 0; f < mxGetNumberOfFields(m); ++f) names.push_back(mxGetFieldNameByNumber(m, f));
        if (mxGetField(m, 0, field) == nullptr) names.push_back(field);
        mxArray* copy = mxCreateStructMatrix(1, 1, static_cast<int>(names.size()), names.data());
        for (const char* name : names) {
            const mxArray* from = mxGetField(m, 0, name);
            mxSetField(copy, 0, name, std::strcmp(name, field) == 0 ? value : mxDuplicateArray(from));
        }
        mxDestroyArray(m);
        return copy;
    };
    struct Row {
        const char* what;
        std::function<std::vector<mxArray*>()> inputs;
        const char* says;
    };
    const Row rows[] = {
        {"no FILE", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i")}; }, "needs M and FILE"},
        {"M a cell", [&] { return std::vector<mxArray*>{makeCell(1, 1, {nullptr}), makeChar(file)}; }, "scalar struct"},
        {"FILE a number", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeRow({1})}; }, "FILE must be"},
        {".Z", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file + ".Z")}; }, ".Z"},
        {"FILE with a NUL", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file + std::string("\0.bak", 5))}; }, "without NUL"},
        {"lat a char", [&] { return std::vector<mxArray*>{mWith("lat", makeChar("abc")), makeChar(file)}; }, "M.lat must be a real double vector"},
        {"tec missing", [&] { return std::vector<mxArray*>{mWith("tec", mxCreateDoubleMatrix(0, 0, mxREAL)), makeChar(file)}; }, "M.tec"},
        {"tec of another size", [&] { return std::vector<mxArray*>{mWith("tec", makeRow({1, 2, 3})), makeChar(file)}; }, "M.tec must be nlat-by-nlon"},
        {"rms complex", [&] { return std::vector<mxArray*>{mWith("rms", minimex::makeComplex(1, 1, {1}, {1})), makeChar(file)}; }, "M.rms must be a real double"},
        {"time unsorted", [&] { return std::vector<mxArray*>{mWith("time", minimex::makeDouble(2, 1, {735643, 735642})), makeChar(file)}; }, "M.time(2)"},
        {"NaN latitude", [&] { return std::vector<mxArray*>{mWith("lat", minimex::makeDouble(3, 1, {25, std::nan(""), 20})), makeChar(file)}; }, "M.lat(2)"},
        {"uneven longitudes", [&] {
             std::vector<double> lon(73);
             for (size_t k = 0; k < lon.size(); ++k) lon[k] = -180 + 5.0 * static_cast<double>(k) + (k == 9 ? 1 : 0);
             return std::vector<mxArray*>{mWith("lon", minimex::makeDouble(73, 1, lon)), makeChar(file)};
         }, "M.lon is not uniformly spaced"},
        {"comments a number", [&] { return std::vector<mxArray*>{mWith("comments", makeRow({1})), makeChar(file)}; }, "M.comments"},
        {"comment too long", [&] { return std::vector<mxArray*>{mWith("comments", makeCell(1, 1, {makeChar(std::string(61, 'c'))})), makeChar(file)}; }, "M.comments{1}"},
        {"version text", [&] { return std::vector<mxArray*>{mWith("version", makeChar("1.0")), makeChar(file)}; }, "M.version"},
        {"num_stations fraction", [&] { return std::vector<mxArray*>{mWith("num_stations", makeRow({2.5})), makeChar(file)}; }, "M.num_stations"},
        {"other_records 1 column", [&] { return std::vector<mxArray*>{mWith("other_records", makeCell(1, 1, {makeChar("X")})), makeChar(file)}; }, "M.other_records"},
        {"dcb a number", [&] { return std::vector<mxArray*>{mWith("dcb", makeRow({1})), makeChar(file)}; }, "M.dcb"},
        {"unknown option", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("Precision"), makeRow({1})}; }, "Unknown option 'Precision'"},
        {"exponent fraction", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("Exponent"), makeRow({-1.5})}; }, "'Exponent'"},
        {"exponent too fine", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("Exponent"), makeRow({-3})}; }, "M.tec map 1 at latitude 22.5, longitude -180: 101.57 does not fit"},
        {"maps without tec", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("Maps"), makeChar("rms")}; }, "'Maps' asks for 'rms'"},
        {"maps unknown", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("Maps"), makeChar("vtec")}; }, "'vtec'"},
        {"comment option too long", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("Comment"), makeChar(std::string(70, 'x'))}; }, "'Comment' line 1"},
        {"overwrite text", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("Overwrite"), makeChar("yes")}; }, "'Overwrite'"},
        {"odd options", [&] { return std::vector<mxArray*>{readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("Overwrite")}; }, "name-value pairs"},
    };
    for (const Row& row : rows) {
        {
            Call call(ionex_write_mexFunction, row.inputs());
            EXPECT_EQ(call.output, nullptr) << row.what;
            EXPECT_EQ(call.identifier, "ionex:Input") << row.what << ": " << call.message;
            EXPECT_NE(call.message.find(row.says), std::string::npos) << row.what << ": " << call.message;
        }
        EXPECT_FALSE(std::ifstream(file).good()) << row.what << ": a file was left";
        expectNothingLeft(row.what);
    }
}

TEST_F(WriteEntryTest, ExistsAndWriteFailures) {
    const std::string file = dir.write("exists.14i", "old");
    {
        Call call(ionex_write_mexFunction, {readM(kData + "/jammed-fields.14i"), makeChar(file)});
        EXPECT_EQ(call.identifier, "ionex:Exists") << call.message;
        EXPECT_NE(call.message.find("'Overwrite', true"), std::string::npos) << call.message;
    }
    EXPECT_EQ(fileText(file), "old");
    {
        Call call(ionex_write_mexFunction, {readM(kData + "/jammed-fields.14i"), makeChar(file), makeChar("overwrite"), mxCreateLogicalScalar(true)});
        EXPECT_EQ(call.identifier, "") << call.message;
    }
    EXPECT_NE(fileText(file).find("END OF FILE"), std::string::npos);
    {
        const std::string missing = dir.path + "/no/such/folder/x.14i";
        Call call(ionex_write_mexFunction, {readM(kData + "/jammed-fields.14i"), makeChar(missing)}, 0);
        EXPECT_EQ(call.identifier, "ionex:Write") << call.message;
        EXPECT_NE(call.message.find(missing), std::string::npos) << call.message;
    }
    expectNothingLeft("exists and write failures");
}

TEST_F(WriteEntryTest, OptionsShapeTheFile) {
    const std::string file = dir.path + "/options.20i";
    {
        Call call(ionex_write_mexFunction, {readM(kData + "/jplg0010.17i.gz"), makeChar(file), makeChar("Maps"), makeCell(1, 1, {makeChar("tec")}),
                                            makeChar("Comment"), makeCell(1, 2, {makeChar("cut by a test"), makeChar("second line")}),
                                            makeChar("Exponent"), makeRow({0})});
        ASSERT_EQ(call.identifier, "") << call.message;
    }
    mxArray* m = readM(file);
    EXPECT_TRUE(mxIsEmpty(mxGetField(m, 0, "rms")));
    EXPECT_EQ(mxGetScalar(mxGetField(m, 0, "exponent")), 0.0);
    const mxArray* comments = mxGetField(m, 0, "comments");
    const size_t n = mxGetNumberOfElements(comments);
    ASSERT_GE(n, 2u);
    EXPECT_EQ(minimex::textOf(mxGetCell(comments, n - 2)), "cut by a test");
    EXPECT_EQ(minimex::textOf(mxGetCell(comments, n - 1)), "second line");
    mxDestroyArray(m);
    expectNothingLeft("options");
}

}  // namespace
