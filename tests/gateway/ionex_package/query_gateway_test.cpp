// ionex.interp and ionex.delay through the stand-in host: output shapes, scalar expansion,
// options, and every wrong argument raised as ionex:Input with a message saying what was
// wrong, leaving no array behind.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "mex.h"
#include "minimex_testing.h"

extern "C" void ionex_interp_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_delay_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

namespace {

constexpr double kDay = 737798.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// An N-d double array of `dims` filled with `value`.
mxArray* filled(std::vector<mwSize> dims, double value) {
    mxArray* a = mxCreateNumericArray(dims.size(), dims.data(), mxDOUBLE_CLASS, mxREAL);
    double* p = mxGetPr(a);
    for (size_t i = 0; i < mxGetNumberOfElements(a); ++i) p[i] = value;
    return a;
}

// A column of first, first + step, ...
mxArray* column(double first, double step, size_t count) {
    std::vector<double> v(count);
    for (size_t k = 0; k < count; ++k) v[k] = first + static_cast<double>(k) * step;
    return minimex::makeDouble(count, 1, v);
}

// M as ionex.read gives it: global 5x5-degree grid, 3 maps two hours apart, TEC 20 and RMS
// 2 everywhere, one layer at 450 km (or the heights given, each layer adding 10 TECU).
mxArray* makeM(std::vector<double> heights = {450}) {
    const char* names[] = {"lat", "lon", "height", "time", "tec", "rms", "base_radius"};
    mxArray* m = mxCreateStructMatrix(1, 1, 7, names);
    mxSetField(m, 0, "lat", column(87.5, -5, 36));
    mxSetField(m, 0, "lon", column(-180, 5, 73));
    mxSetField(m, 0, "height", minimex::makeDouble(heights.size(), 1, heights));
    mxSetField(m, 0, "time", column(kDay, 2.0 / 24, 3));
    const mwSize nh = heights.size();
    mxArray* tec = filled({36, 73, 3, nh}, 20);
    for (mwSize h = 0; h < nh; ++h)
        for (size_t i = 0; i < 36 * 73 * 3; ++i) mxGetPr(tec)[h * 36 * 73 * 3 + i] += 10.0 * h;
    mxSetField(m, 0, "tec", tec);
    mxSetField(m, 0, "rms", filled({36, 73, 3, nh}, 2));
    mxSetField(m, 0, "base_radius", mxCreateDoubleScalar(6371));
    return m;
}

// Replaces field `name` of M (null removes nothing: the field holds null, as a missing value).
mxArray* withField(mxArray* m, const char* name, mxArray* value) {
    mxArray* old = mxGetField(m, 0, name);
    mxSetField(m, 0, name, value);
    mxDestroyArray(old);
    return m;
}

// One call of an entry: owns inputs and outputs; catches the raised error.
struct Call {
    Call(minimex::MexEntry entry, int nlhs, std::vector<mxArray*> in) : inputs(std::move(in)), outputs(nlhs > 0 ? nlhs : 1, nullptr) {
        std::vector<const mxArray*> prhs(inputs.begin(), inputs.end());
        try {
            minimex::runEntry(entry, nlhs, outputs.data(), static_cast<int>(prhs.size()), prhs.data());
        } catch (const minimex::MexError& e) {
            raised = true;
            identifier = e.identifier;
            message = e.message;
        }
    }
    ~Call() {
        minimex::destroyOutputs(outputs.data(), static_cast<int>(outputs.size()));
        for (mxArray* a : inputs) mxDestroyArray(a);
    }
    std::vector<double> values(int i) const {
        const mxArray* a = outputs.at(i);
        return std::vector<double>(mxGetPr(a), mxGetPr(a) + mxGetNumberOfElements(a));
    }
    std::vector<mwSize> dims(int i) const {
        const mxArray* a = outputs.at(i);
        return std::vector<mwSize>(mxGetDimensions(a), mxGetDimensions(a) + mxGetNumberOfDimensions(a));
    }
    std::vector<mxArray*> inputs;
    std::vector<mxArray*> outputs;
    bool raised = false;
    std::string identifier, message;
};

mxArray* scalar(double v) { return mxCreateDoubleScalar(v); }
mxArray* text(const char* s) { return minimex::makeChar(s); }

TEST(InterpGateway, OutputsHaveTheQuerySize) {
    const size_t before = minimex::liveArrayCount();
    {
        // T 2x1x3 against scalar LAT and LON: outputs 2x1x3, TEC 20 and RMS 2.
        Call c(ionex_interp_mexFunction, 2, {makeM(), filled({2, 1, 3}, kDay + 1.0 / 24), scalar(10), scalar(370)});
        ASSERT_FALSE(c.raised) << c.message;
        EXPECT_EQ(c.dims(0), (std::vector<mwSize>{2, 1, 3}));
        EXPECT_EQ(c.dims(1), (std::vector<mwSize>{2, 1, 3}));
        EXPECT_EQ(c.values(0), std::vector<double>(6, 20.0));
        EXPECT_EQ(c.values(1), std::vector<double>(6, 2.0));
    }
    {
        // Empty queries give empty outputs of their size; a time outside the maps gives NaN.
        Call empty(ionex_interp_mexFunction, 1, {makeM(), filled({0, 3}, kDay), scalar(0), scalar(0)});
        ASSERT_FALSE(empty.raised) << empty.message;
        EXPECT_EQ(empty.dims(0), (std::vector<mwSize>{0, 3}));
        Call outside(ionex_interp_mexFunction, 2, {makeM(), scalar(kDay - 1), minimex::makeRow({0, 1}), scalar(0)});
        ASSERT_FALSE(outside.raised) << outside.message;
        EXPECT_TRUE(std::isnan(outside.values(0)[0]) && std::isnan(outside.values(1)[1]));
    }
    {
        // No RMS maps: RMS is NaN. Options are case-insensitive. A layer is chosen by height.
        Call no_rms(ionex_interp_mexFunction, 2,
                    {withField(makeM(), "rms", minimex::makeDouble(0, 0, {})), scalar(kDay), scalar(0), scalar(0),
                     text("METHOD"), text("Nearest")});
        ASSERT_FALSE(no_rms.raised) << no_rms.message;
        EXPECT_EQ(no_rms.values(0)[0], 20.0);
        EXPECT_TRUE(std::isnan(no_rms.values(1)[0]));
        Call layer(ionex_interp_mexFunction, 1,
                   {makeM({100, 200, 300}), scalar(kDay), scalar(0), scalar(0), text("height"), scalar(300)});
        ASSERT_FALSE(layer.raised) << layer.message;
        EXPECT_EQ(layer.values(0)[0], 40.0);
    }
    EXPECT_EQ(minimex::liveArrayCount(), before);
}

TEST(DelayGateway, OutputsHaveTheQuerySize) {
    const size_t before = minimex::liveArrayCount();
    {
        // One receiver row, 1x3 elevations: D, SIGMA, STEC 1x3, IPP 3x2; zenith D is
        // 40.3e16/f^2 * 20 = 3.24744895 m at L1.
        Call c(ionex_delay_mexFunction, 4,
               {makeM(), scalar(kDay), minimex::makeRow({46.88, 7.47, 560}), scalar(0), minimex::makeRow({90, 30, -1})});
        ASSERT_FALSE(c.raised) << c.message;
        EXPECT_EQ(c.dims(0), (std::vector<mwSize>{1, 3}));
        EXPECT_EQ(c.dims(3), (std::vector<mwSize>{3, 2}));
        EXPECT_NEAR(c.values(0)[0], 3.2474489502, 1e-9);
        EXPECT_NEAR(c.values(2)[1], 20 * 1.7008012999, 1e-8);
        EXPECT_TRUE(std::isnan(c.values(0)[2])) << "EL -1 gives NaN";
        EXPECT_NEAR(c.values(3)[0], 46.88, 1e-9);
    }
    {
        // Receivers, one per row, with scalar T, AZ, EL: n-by-1 outputs. 'Frequency' at L2.
        Call rows(ionex_delay_mexFunction, 1,
                  {makeM(), scalar(kDay), minimex::makeDouble(2, 2, {10, 20, 30, 40}), scalar(0), scalar(90),
                   text("frequency"), scalar(1227.60e6)});
        ASSERT_FALSE(rows.raised) << rows.message;
        EXPECT_EQ(rows.dims(0), (std::vector<mwSize>{2, 1}));
        EXPECT_NEAR(rows.values(0)[1], 20 * 0.2674184004, 1e-8);
        // Two layers: STEC sums 20 and 30 TECU at zenith; IPP is n-by-2-by-2.
        Call layers(ionex_delay_mexFunction, 4,
                    {makeM({300, 600}), scalar(kDay), minimex::makeRow({0, 0}), scalar(0), minimex::makeRow({90, 45}),
                     text("MappingFunction"), text("NONE")});
        ASSERT_FALSE(layers.raised) << layers.message;
        EXPECT_NEAR(layers.values(2)[0], 50, 1e-9);
        EXPECT_NEAR(layers.values(2)[1], 50, 1e-9) << "'none': no slant factor";
        EXPECT_EQ(layers.dims(3), (std::vector<mwSize>{2, 2, 2}));
    }
    EXPECT_EQ(minimex::liveArrayCount(), before);
}

// A wrong call: the entry, the outputs asked, inputs made fresh, and a part of the message.
struct ErrorCase {
    const char* what;
    minimex::MexEntry entry;
    int nlhs;
    std::function<std::vector<mxArray*>()> inputs;
    const char* message_part;
};

TEST(QueryGateways, WrongArgumentsRaiseInputErrors) {
    auto interp = ionex_interp_mexFunction;
    auto delay = ionex_delay_mexFunction;
    auto q = [](mxArray* m) { return std::vector<mxArray*>{m, scalar(kDay), scalar(0), scalar(0)}; };
    auto d = [](mxArray* m) { return std::vector<mxArray*>{m, scalar(kDay), minimex::makeRow({0, 0}), scalar(0), scalar(45)}; };
    auto plus = [](std::vector<mxArray*> v, std::vector<mxArray*> more) { v.insert(v.end(), more.begin(), more.end()); return v; };
    const std::vector<ErrorCase> table = {
        {"three inputs", interp, 1, [] { return std::vector<mxArray*>{makeM(), scalar(kDay), scalar(0)}; }, "needs M, T, LAT and LON"},
        {"three outputs", interp, 3, [&] { return q(makeM()); }, "at most 2 outputs"},
        {"M a number", interp, 1, [&] { return q(scalar(1)); }, "scalar struct that ionex.read returns"},
        {"M a struct array", interp, 1, [&] { const char* f[] = {"lat"}; return q(mxCreateStructMatrix(1, 2, 1, f)); }, "struct array"},
        {"M without lat", interp, 1, [&] { const char* f[] = {"lon"}; return q(mxCreateStructMatrix(1, 1, 1, f)); }, "no field 'lat'"},
        {"complex lat", interp, 1, [&] { return q(withField(makeM(), "lat", minimex::makeComplex(1, 1, {1}, {1}))); }, "M.lat must be a real double vector"},
        {"single lon", interp, 1, [&] { return q(withField(makeM(), "lon", minimex::makeNumeric(mxSINGLE_CLASS, 1, 2, {0, 5}))); }, "M.lon must be a real double vector"},
        {"sparse time", interp, 1, [&] { return q(withField(makeM(), "time", minimex::makeSparse(1, 1, {kDay}))); }, "sparse"},
        {"lat a matrix", interp, 1, [&] { return q(withField(makeM(), "lat", minimex::makeDouble(2, 2, {1, 2, 3, 4}))); }, "M.lat must be a vector"},
        {"empty time", interp, 1, [&] { return q(withField(makeM(), "time", minimex::makeDouble(0, 0, {}))); }, "M.time is empty"},
        {"empty tec", interp, 1, [&] { return q(withField(makeM(), "tec", minimex::makeDouble(0, 0, {}))); }, "M holds no tec maps"},
        {"tec of the wrong size", interp, 1, [&] { return q(withField(makeM(), "tec", filled({36, 72, 3}, 1))); }, "must be 36x73x3x1"},
        {"rms of the wrong size", interp, 1, [&] { return q(withField(makeM(), "rms", filled({36, 73, 2}, 1))); }, "M.rms is 36x73x2"},
        {"tec as text", interp, 1, [&] { return q(withField(makeM(), "tec", text("x"))); }, "M.tec must be a real double array"},
        {"epochs out of order", interp, 1, [&] { return q(withField(makeM(), "time", minimex::makeRow({3, 2, 1}))); }, "strictly increasing"},
        {"uneven latitudes", interp, 1, [&] { mxArray* m = makeM(); mxGetPr(mxGetField(m, 0, "lat"))[3] = 0; return q(m); }, "evenly spaced"},
        {"T as text", interp, 1, [&] { return std::vector<mxArray*>{makeM(), text("2020-01-08"), scalar(0), scalar(0)}; }, "T must be a real double array"},
        {"complex LAT", interp, 1, [&] { return std::vector<mxArray*>{makeM(), scalar(kDay), minimex::makeComplex(1, 1, {0}, {1}), scalar(0)}; }, "LAT must be a real double array, not a complex"},
        {"logical LON", interp, 1, [&] { return std::vector<mxArray*>{makeM(), scalar(kDay), scalar(0), minimex::makeLogical(1, 1, {true})}; }, "LON must be a real double array"},
        {"sizes that do not expand", interp, 1, [&] { return std::vector<mxArray*>{makeM(), minimex::makeRow({kDay, kDay}), minimex::makeRow({0, 1, 2}), scalar(0)}; }, "LAT is 1x3 but the other inputs are 1x2"},
        {"row against column", interp, 1, [&] { return std::vector<mxArray*>{makeM(), minimex::makeRow({kDay, kDay}), minimex::makeDouble(2, 1, {0, 1}), scalar(0)}; }, "LAT is 2x1"},
        {"option without value", interp, 1, [&] { return plus(q(makeM()), {text("Method")}); }, "name-value pairs"},
        {"option name a number", interp, 1, [&] { return plus(q(makeM()), {scalar(1), scalar(2)}); }, "Input 5 must be an option name"},
        {"unknown option", interp, 1, [&] { return plus(q(makeM()), {text("Frequency"), scalar(1e9)}); }, "Unknown option 'frequency'"},
        {"method that does not exist", interp, 1, [&] { return plus(q(makeM()), {text("Method"), text("cubic")}); }, "'Method' 'cubic' does not exist"},
        {"method a number", interp, 1, [&] { return plus(q(makeM()), {text("Method"), scalar(1)}); }, "'Method' takes"},
        {"height not a layer", interp, 1, [&] { return plus(q(makeM()), {text("Height"), scalar(400)}); }, "'Height' 400 km is not one of"},
        {"height NaN", interp, 1, [&] { return plus(q(makeM()), {text("Height"), scalar(kNaN)}); }, "'Height' takes a finite"},
        {"3-D without height", interp, 1, [&] { return q(makeM({100, 200})); }, "choose one with 'Height'"},
        {"four inputs", delay, 1, [] { return std::vector<mxArray*>{makeM(), scalar(kDay), scalar(0), scalar(0)}; }, "needs M, T, RX, AZ and EL"},
        {"five outputs", delay, 5, [&] { return d(makeM()); }, "at most 4 outputs"},
        {"no base radius", delay, 1, [&] { return d(withField(makeM(), "base_radius", minimex::makeDouble(0, 0, {}))); }, "M.base_radius is empty"},
        {"zero base radius", delay, 1, [&] { return d(withField(makeM(), "base_radius", scalar(0))); }, "finite and positive"},
        {"base radius as text", delay, 1, [&] { return d(withField(makeM(), "base_radius", text("6371"))); }, "real double scalar"},
        {"no height", delay, 1, [&] { return d(withField(makeM(), "height", minimex::makeDouble(0, 0, {}))); }, "M.height is empty"},
        {"negative height", delay, 1, [&] { return d(withField(makeM(), "height", scalar(-450))); }, "not negative"},
        {"RX of 4 columns", delay, 1, [&] { return std::vector<mxArray*>{makeM(), scalar(kDay), minimex::makeRow({0, 0, 0, 0}), scalar(0), scalar(45)}; }, "RX has 4 columns"},
        {"RX rows not per query", delay, 1, [&] { return std::vector<mxArray*>{makeM(), minimex::makeRow({kDay, kDay, kDay}), minimex::makeDouble(2, 2, {0, 0, 0, 0}), scalar(0), scalar(45)}; }, "RX has 2 rows"},
        {"complex RX", delay, 1, [&] { return std::vector<mxArray*>{makeM(), scalar(kDay), minimex::makeComplex(1, 2, {0, 0}, {1, 1}), scalar(0), scalar(45)}; }, "RX must be a real double matrix"},
        {"RX 3-D", delay, 1, [&] { return std::vector<mxArray*>{makeM(), scalar(kDay), filled({1, 2, 2}, 0), scalar(0), scalar(45)}; }, "RX must be a real double matrix"},
        {"empty RX", delay, 1, [&] { return std::vector<mxArray*>{makeM(), scalar(kDay), minimex::makeDouble(0, 2, {}), scalar(0), minimex::makeRow({45, 50})}; }, "RX has 0 rows"},
        {"AZ against EL", delay, 1, [&] { return std::vector<mxArray*>{makeM(), scalar(kDay), minimex::makeRow({0, 0}), minimex::makeRow({0, 1}), minimex::makeRow({1, 2, 3})}; }, "EL is 1x3"},
        {"zero frequency", delay, 1, [&] { return plus(d(makeM()), {text("Frequency"), scalar(0)}); }, "'Frequency' takes a finite positive"},
        {"frequency as text", delay, 1, [&] { return plus(d(makeM()), {text("Frequency"), text("L1")}); }, "'Frequency' takes"},
        {"mapping function that does not exist", delay, 1, [&] { return plus(d(makeM()), {text("MappingFunction"), text("niell")}); }, "'MappingFunction' 'niell' does not exist"},
        {"interp's option", delay, 1, [&] { return plus(d(makeM()), {text("Height"), scalar(450)}); }, "Unknown option 'height'"},
        {"delay: method that does not exist", delay, 1, [&] { return plus(d(makeM()), {text("method"), text("spline")}); }, "'Method' 'spline' does not exist"},
    };
    for (const ErrorCase& c : table) {
        const size_t before = minimex::liveArrayCount();
        {
            Call call(c.entry, c.nlhs, c.inputs());
            EXPECT_TRUE(call.raised) << c.what;
            EXPECT_EQ(call.identifier, "ionex:Input") << c.what;
            EXPECT_NE(call.message.find(c.message_part), std::string::npos)
                << c.what << ": message \"" << call.message << "\" lacks \"" << c.message_part << "\"";
        }
        EXPECT_EQ(minimex::liveArrayCount(), before) << c.what << ": arrays left behind";
    }
}

// A host that fails to make an output leaves nothing behind and raises no wrong result.
TEST(QueryGateways, AllocationFaultsLeaveNothingBehind) {
    for (long n = 1; n <= 4; ++n) {
        mxArray* m = makeM();
        mxArray* t = scalar(kDay);
        mxArray* rx = minimex::makeRow({0, 0});
        mxArray* az = minimex::makeRow({0, 90});
        mxArray* el = scalar(45);
        const mxArray* in[5] = {m, t, rx, az, el};
        const size_t before = minimex::liveArrayCount();
        mxArray* out[4] = {nullptr, nullptr, nullptr, nullptr};
        minimex::failAllocationNumber(n);
        bool thrown = false;
        try {
            minimex::runEntry(ionex_delay_mexFunction, 4, out, 5, in);
        } catch (const std::bad_alloc&) {
            thrown = true;
        }
        minimex::failAllocationNumber(0);
        EXPECT_TRUE(thrown) << "allocation " << n << " failed without an error";
        EXPECT_EQ(minimex::liveArrayCount(), before) << "allocation " << n;
        minimex::destroyOutputs(out, 4);
        for (const mxArray* a : in) mxDestroyArray(const_cast<mxArray*>(a));
    }
}

}  // namespace
