// The stand-in host: what the gateways build (structs, cells, N-d arrays, strings) has the
// shapes and ownership of the real hosts, errors carry their identifiers, and the registry
// of live arrays sees every array on every path, allocation faults included.

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "mex.h"
#include "minimex_testing.h"

namespace {

using minimex::liveArrayCount;

// An entry that returns a 1-by-1 struct {name: 'abc', maps: 2x3x4 double, list: {1; 'x'}}
// and then, when asked by a first input of 1, raises ionex:Test after building it all.
void structEntry(int, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    const char* names[] = {"name", "maps"};
    mxArray* s = mxCreateStructMatrix(1, 1, 2, names);
    mxSetField(s, 0, "name", mxCreateString("abc"));
    const mwSize dims[] = {2, 3, 4};
    mxArray* maps = mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);
    mxGetPr(maps)[23] = 7;
    mxSetField(s, 0, "maps", maps);
    const int list = mxAddField(s, "list");
    mxArray* cell = mxCreateCellMatrix(2, 1);
    mxSetCell(cell, 0, mxCreateDoubleScalar(1));
    mxSetCell(cell, 1, mxCreateString("x"));
    mxSetFieldByNumber(s, 0, list, cell);
    plhs[0] = s;
    mexPrintf("step %d of %d\r", 1, 2);
    mexEvalString("drawnow;");
    if (nrhs > 0 && mxGetScalar(prhs[0]) == 1) mexErrMsgIdAndTxt("ionex:Test", "failed at %s line %d", "f.txt", 12);
}

TEST(MinimexStructs, FieldsShapesAndOwnership) {
    const size_t before = liveArrayCount();
    mxArray* out[1];
    minimex::runEntry(structEntry, 1, out, 0, nullptr);
    EXPECT_EQ(minimex::lastCallTemporaryCount(), 0u);
    const mxArray* s = out[0];
    ASSERT_TRUE(mxIsStruct(s));
    EXPECT_TRUE(mxIsClass(s, "struct"));
    ASSERT_EQ(mxGetNumberOfFields(s), 3);
    const char* expected_names[] = {"name", "maps", "list"};
    for (int f = 0; f < 3; ++f) {
        EXPECT_STREQ(mxGetFieldNameByNumber(s, f), expected_names[f]);
        EXPECT_EQ(mxGetFieldNumber(s, expected_names[f]), f);
    }
    EXPECT_EQ(mxGetFieldNumber(s, "none"), -1);
    EXPECT_EQ(mxGetField(s, 0, "none"), nullptr);
    EXPECT_EQ(minimex::textOf(mxGetField(s, 0, "name")), "abc");
    const mxArray* maps = mxGetField(s, 0, "maps");
    ASSERT_EQ(mxGetNumberOfDimensions(maps), 3u);
    EXPECT_EQ(mxGetDimensions(maps)[2], 4u);
    EXPECT_EQ(mxGetM(maps), 2u);
    EXPECT_EQ(mxGetN(maps), 12u);
    EXPECT_EQ(mxGetNumberOfElements(maps), 24u);
    EXPECT_EQ(mxGetPr(maps)[23], 7);
    const mxArray* list = mxGetField(s, 0, "list");
    ASSERT_TRUE(mxIsCell(list));
    EXPECT_EQ(mxGetScalar(mxGetCell(list, 0)), 1);
    EXPECT_EQ(liveArrayCount(), before + 6);  // struct, name, maps, list, two cells
    mxArray* copy = mxDuplicateArray(s);
    EXPECT_EQ(liveArrayCount(), before + 12);
    EXPECT_EQ(minimex::textOf(mxGetField(copy, 0, "name")), "abc");
    EXPECT_NE(mxGetField(copy, 0, "list"), list);
    mxDestroyArray(copy);
    minimex::destroyOutputs(out, 1);
    EXPECT_EQ(liveArrayCount(), before);
}

TEST(MinimexStructs, AddFieldKeepsTheValuesOfEveryElement) {
    const char* names[] = {"a", "b"};
    mxArray* s = mxCreateStructMatrix(3, 1, 2, names);
    for (mwIndex e = 0; e < 3; ++e) {
        mxSetField(s, e, "a", mxCreateDoubleScalar(10.0 * e));
        mxSetField(s, e, "b", mxCreateDoubleScalar(10.0 * e + 1));
    }
    EXPECT_EQ(mxAddField(s, "c"), 2);
    EXPECT_EQ(mxAddField(s, "a"), -1);
    for (mwIndex e = 0; e < 3; ++e) {
        EXPECT_EQ(mxGetScalar(mxGetField(s, e, "a")), 10.0 * e) << e;
        EXPECT_EQ(mxGetScalar(mxGetField(s, e, "b")), 10.0 * e + 1) << e;
        EXPECT_EQ(mxGetField(s, e, "c"), nullptr) << e;
    }
    mxDestroyArray(s);
}

TEST(MinimexErrors, RaisedErrorCarriesIdentifierAndReleasesEverything) {
    const size_t before = liveArrayCount();
    mxArray* flag = mxCreateDoubleScalar(1);
    const mxArray* in[] = {flag};
    mxArray* out[1];
    minimex::clearPrinted();
    try {
        minimex::runEntry(structEntry, 1, out, 1, in);
        ADD_FAILURE() << "no error raised";
    } catch (const minimex::MexError& e) {
        EXPECT_EQ(e.identifier, "ionex:Test");
        EXPECT_EQ(e.message, "failed at f.txt line 12");
    }
    EXPECT_EQ(out[0], nullptr);
    EXPECT_EQ(minimex::lastCallTemporaryCount(), 1u);  // the struct, with what it owns
    EXPECT_EQ(minimex::printedText(), "step 1 of 2\r");
    ASSERT_EQ(minimex::evaluatedCommands().size(), 1u);
    mxDestroyArray(flag);
    EXPECT_EQ(liveArrayCount(), before);
}

TEST(MinimexErrors, EveryAllocationFaultLeavesNothingBehind) {
    const size_t before = liveArrayCount();
    int faults = 0;
    for (long n = 1; n < 40; ++n) {
        minimex::failAllocationNumber(n);
        mxArray* out[1];
        try {
            minimex::runEntry(structEntry, 1, out, 0, nullptr);
            minimex::destroyOutputs(out, 1);
        } catch (const std::bad_alloc&) {
            ++faults;
        }
        minimex::failAllocationNumber(0);
        EXPECT_EQ(liveArrayCount(), before) << "fault at allocation " << n;
    }
    EXPECT_EQ(faults, 7);  // struct, name, maps, added field, cell and its two elements
}

TEST(MinimexArrays, ShapesOfTheCreatedArrays) {
    struct Row { const char* what; mxArray* (*make)(); size_t ndim; std::vector<size_t> dims; mxClassID id; };
    const Row rows[] = {
        {"4-d", [] { const mwSize d[] = {2, 3, 4, 5}; return mxCreateNumericArray(4, d, mxDOUBLE_CLASS, mxREAL); }, 4, {2, 3, 4, 5}, mxDOUBLE_CLASS},
        {"trailing ones dropped", [] { const mwSize d[] = {2, 3, 1, 1}; return mxCreateNumericArray(4, d, mxDOUBLE_CLASS, mxREAL); }, 2, {2, 3}, mxDOUBLE_CLASS},
        {"empty third", [] { const mwSize d[] = {2, 3, 0}; return mxCreateNumericArray(3, d, mxINT32_CLASS, mxREAL); }, 3, {2, 3, 0}, mxINT32_CLASS},
        {"uninitialised 3-d", [] { const mwSize d[] = {2, 2, 2}; return mxCreateUninitNumericArray(3, d, mxDOUBLE_CLASS, mxREAL); }, 3, {2, 2, 2}, mxDOUBLE_CLASS},
        {"empty string", [] { return mxCreateString(""); }, 2, {0, 0}, mxCHAR_CLASS},
        {"char matrix", [] { const char* t[] = {"ab", "c", ""}; return mxCreateCharMatrixFromStrings(3, t); }, 2, {3, 2}, mxCHAR_CLASS},
        {"logical", [] { return mxCreateLogicalScalar(true); }, 2, {1, 1}, mxLOGICAL_CLASS},
        {"struct 0x1", [] { return mxCreateStructMatrix(0, 1, 0, nullptr); }, 2, {0, 1}, mxSTRUCT_CLASS},
        {"strings", [] { return minimex::makeStrings(1, 2, {"tec", "rms"}); }, 2, {1, 2}, mxOBJECT_CLASS},
    };
    for (const Row& row : rows) {
        mxArray* a = row.make();
        EXPECT_EQ(mxGetClassID(a), row.id) << row.what;
        ASSERT_EQ(mxGetNumberOfDimensions(a), row.ndim) << row.what;
        EXPECT_EQ(std::vector<size_t>(mxGetDimensions(a), mxGetDimensions(a) + row.ndim), row.dims) << row.what;
        mxDestroyArray(a);
    }
    const char* t[] = {"ab", "c"};
    mxArray* m = mxCreateCharMatrixFromStrings(2, t);
    EXPECT_EQ(minimex::textOf(m), "acb ");  // column-major, padded with blanks
    mxDestroyArray(m);
}

TEST(MinimexStrings, StringObjectsConvertThroughTheHost) {
    const size_t before = liveArrayCount();
    mxArray* scalar = minimex::makeStrings(1, 1, {"tec"});
    mxArray* pair = minimex::makeStrings(1, 2, {"tec", "rms"});
    EXPECT_TRUE(mxIsClass(scalar, "string"));
    EXPECT_FALSE(mxIsChar(scalar));
    EXPECT_EQ(mxArrayToString(scalar), nullptr);
    mxArray* out[1] = {nullptr};
    mxArray* in[1] = {scalar};
    ASSERT_EQ(mexCallMATLAB(1, out, 1, in, "char"), 0);
    EXPECT_EQ(minimex::textOf(out[0]), "tec");
    mxDestroyArray(out[0]);
    in[0] = pair;
    EXPECT_EQ(mexCallMATLAB(1, out, 1, in, "char"), 1);  // only scalars become char rows here
    ASSERT_EQ(mexCallMATLAB(1, out, 1, in, "cellstr"), 0);
    EXPECT_EQ(minimex::textOf(mxGetCell(out[0], 1)), "rms");
    mxDestroyArray(out[0]);
    mxDestroyArray(scalar);
    mxDestroyArray(pair);
    EXPECT_EQ(liveArrayCount(), before);
}

}  // namespace
