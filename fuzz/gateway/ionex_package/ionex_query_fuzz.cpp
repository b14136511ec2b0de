// Fuzz target of ionex.interp and ionex.delay: the maps are read from arbitrary bytes with
// the ionex.read reader and turned into the struct ionex.read returns; both entries are then
// called through the stand-in host with arbitrary queries and options.
//
// Input layout: the file text, then 83 parameter bytes at the very end (a shorter input is
// all text, with zero parameters):
//   p[0]     bits 0-1 method (0 rotated, 1 linear, 2 nearest, 3 a name that does not exist);
//            bits 2-3 mapping function (slm, mslm, none, 'bogus'); bit 4 'Height' given;
//            bit 5 RX one row per query (else one row); bit 6 a frequency of p[1]
//            MHz * 10 (0: refused); bit 7 the queries as a column (else a row)
//   p[1]     frequency code; with bit 4 of p[0]: the layer picked (p[1] mod (nheight + 1),
//            nheight: a height that is none of them)
//   p[2]     bits 0-2 number of queries less 1; bits 3-6 a damage done to M before the
//            calls (0 and 9..15 none; see damageM)
//   p[3..]   8 queries of 5 little-endian int16 (t, lat, lon, az, el; -32768 NaN, 32767
//            +infinity, -32767 a huge number), in minutes from the first map epoch,
//            hundredths of a degree (lat, el) and fiftieths (lon, az)
// Checks: an entry either returns or raises ionex:Input; VTEC and RMS are NaN or within the
// range of the map nodes (every result is a convex combination of nodes); D is NaN or
// 40.3e16/f^2 times STEC; pierce points lie in [-90, 90] x [-180, 180]; no host array leaks.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "ionex_package/contents_struct.h"
#include "fuzz_support.h"
#include "format_reader/ionex_reader.h"
#include "mex.h"
#include "minimex_testing.h"

extern "C" void ionex_interp_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);
extern "C" void ionex_delay_mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

namespace {

constexpr const char* kTarget = "ionex_query";
constexpr size_t kQueries = 8;
constexpr size_t kParameterBytes = 3 + 5 * 2 * kQueries;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A value from a little-endian int16 scaled by `scale`, with codes for NaN, +inf and huge.
double valueAt(const uint8_t* p, double scale) {
    const int16_t raw = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    if (raw == INT16_MIN) return kNaN;
    if (raw == INT16_MAX) return std::numeric_limits<double>::infinity();
    if (raw == INT16_MIN + 1) return -1e300;
    return raw * scale;
}

// The queries and options the parameter bytes describe.
struct Request {
    uint8_t control = 0;
    uint8_t code = 0;
    size_t count = 1;
    int damage = 0;
    std::vector<double> t, lat, lon, az, el;
};

Request requestFrom(const uint8_t* p) {
    Request r;
    r.control = p[0];
    r.code = p[1];
    r.count = 1 + p[2] % kQueries;
    r.damage = (p[2] >> 3) & 15;
    for (size_t q = 0; q < kQueries; ++q) {
        const uint8_t* b = p + 3 + 10 * q;
        r.t.push_back(valueAt(b, 1.0 / 1440));  // added to the first epoch later
        r.lat.push_back(valueAt(b + 2, 0.01));
        r.lon.push_back(valueAt(b + 4, 0.02));
        r.az.push_back(valueAt(b + 6, 0.02));
        r.el.push_back(valueAt(b + 8, 0.01));
    }
    return r;
}

// A 1-by-n row or n-by-1 column of `v`.
mxArray* vectorOf(const std::vector<double>& v, bool column) {
    return column ? minimex::makeDouble(v.size(), 1, v) : minimex::makeRow(v);
}

// Range of the finite values of a double array field of M. Returns false when it has none.
bool nodeRange(const mxArray* m, const char* name, double& low, double& high) {
    const mxArray* f = mxGetField(m, 0, name);
    low = std::numeric_limits<double>::infinity();
    high = -low;
    if (f == nullptr || !mxIsDouble(f) || mxIsEmpty(f)) return false;
    const double* v = mxGetPr(f);
    for (size_t i = 0; i < mxGetNumberOfElements(f); ++i) {
        if (std::isfinite(v[i])) {
            low = std::min(low, v[i]);
            high = std::max(high, v[i]);
        }
    }
    return low <= high;
}

// Checks that every value is NaN or within [low, high] (to rounding).
void checkWithin(const mxArray* out, double low, double high, bool have_range, const char* what) {
    if (out == nullptr) return;
    const double* v = mxGetPr(out);
    const double slack = 1e-9 * std::max(std::fabs(low), std::fabs(high)) + 1e-300;
    for (size_t i = 0; i < mxGetNumberOfElements(out); ++i) {
        if (std::isnan(v[i])) continue;
        FUZZ_CHECK(kTarget, have_range, std::string(what) + " is a number though the maps hold none");
        if (std::max(std::fabs(low), std::fabs(high)) > 1e300) continue;  // sums may overflow
        FUZZ_CHECK(kTarget, v[i] >= low - slack && v[i] <= high + slack,
                   std::string(what) + " " + std::to_string(v[i]) + " outside the nodes' range");
    }
}

// Calls `entry`; an error must be ionex:Input. Returns true when the call returned.
bool callEntry(minimex::MexEntry entry, int nlhs, mxArray** plhs, const std::vector<mxArray*>& in) {
    std::vector<const mxArray*> prhs(in.begin(), in.end());
    try {
        minimex::runEntry(entry, nlhs, plhs, static_cast<int>(prhs.size()), prhs.data());
        return true;
    } catch (const minimex::MexError& e) {
        FUZZ_CHECK(kTarget, e.identifier == "ionex:Input", "raised " + e.identifier + ": " + e.message);
        fuzz::note(kTarget, "raised: " + e.message);
        return false;
    }
}

// The options of one call, as host arrays appended to `in`.
void addOptions(const Request& r, const mxArray* m, bool delay, std::vector<mxArray*>& in) {
    static const char* kMethods[4] = {"rotated", "Linear", "NEAREST", "cubic"};
    static const char* kMappings[4] = {"slm", "MSLM", "none", "bogus"};
    in.push_back(minimex::makeChar("Method"));
    in.push_back(minimex::makeChar(kMethods[r.control & 3]));
    if (delay) {
        in.push_back(minimex::makeChar("MappingFunction"));
        in.push_back(minimex::makeChar(kMappings[(r.control >> 2) & 3]));
        if (r.control & 0x40) {
            in.push_back(minimex::makeChar("frequency"));
            in.push_back(mxCreateDoubleScalar(r.code * 10e6));
        }
    } else if (r.control & 0x10) {
        const mxArray* h = mxGetField(m, 0, "height");
        const size_t n = h != nullptr && mxIsDouble(h) ? mxGetNumberOfElements(h) : 0;
        const size_t pick = r.code % (n + 1);
        in.push_back(minimex::makeChar("Height"));
        in.push_back(mxCreateDoubleScalar(pick < n ? mxGetPr(h)[pick] : -12345.0));
    }
}

// Replaces field `name` of M by `value` (destroying the old one). Returns nothing.
void replaceField(mxArray* m, const char* name, mxArray* value) {
    mxArray* old = mxGetField(m, 0, name);
    mxSetField(m, 0, name, value);
    mxDestroyArray(old);
}

// Damages M as a caller might: a field of another class, reversed or emptied axes, a NaN
// radius. Returns nothing.
void damageM(mxArray* m, int damage) {
    const auto reversed = [m](const char* name) {
        const mxArray* f = mxGetField(m, 0, name);
        std::vector<double> v;
        if (f != nullptr && mxIsDouble(f)) v.assign(mxGetPr(f), mxGetPr(f) + mxGetNumberOfElements(f));
        return minimex::makeDouble(1, v.size(), std::vector<double>(v.rbegin(), v.rend()));
    };
    switch (damage) {
        case 1: replaceField(m, "lat", reversed("lat")); break;          // axis order no longer the maps'
        case 2: replaceField(m, "time", reversed("time")); break;        // epochs decreasing
        case 3: replaceField(m, "rms", minimex::makeDouble(0, 0, {})); break;
        case 4: replaceField(m, "tec", minimex::makeNumeric(mxSINGLE_CLASS, 1, 1, {1})); break;
        case 5: replaceField(m, "base_radius", mxCreateDoubleScalar(kNaN)); break;
        case 6: replaceField(m, "height", minimex::makeDouble(0, 0, {})); break;
        case 7: replaceField(m, "lon", minimex::makeChar("lon")); break;
        case 8: replaceField(m, "tec", minimex::makeDouble(0, 0, {})); break;
        default: break;
    }
}

// Calls ionex.interp and ionex.delay on M with the request and checks their results.
void queryMaps(const mxArray* m, const Request& req, size_t count) {
    const mxArray* time = mxGetField(m, 0, "time");
    const double first = time != nullptr && mxIsDouble(time) && !mxIsEmpty(time) ? mxGetPr(time)[0] : 0;
    std::vector<double> t(req.t.begin(), req.t.begin() + count);
    for (double& v : t) v += first;
    const bool column = (req.control & 0x80) != 0;
    const auto sub = [&](const std::vector<double>& v) { return std::vector<double>(v.begin(), v.begin() + count); };
    double low, high;
    const bool have_tec = nodeRange(m, "tec", low, high);
    double rms_low, rms_high;
    const bool have_rms = nodeRange(m, "rms", rms_low, rms_high);

    // ionex.interp
    {
        std::vector<mxArray*> in = {mxDuplicateArray(m), vectorOf(t, column), vectorOf(sub(req.lat), column),
                                    vectorOf(sub(req.lon), column)};
        addOptions(req, m, false, in);
        mxArray* out[2] = {nullptr, nullptr};
        if (callEntry(ionex_interp_mexFunction, 2, out, in)) {
            FUZZ_CHECK(kTarget, out[0] && mxGetNumberOfElements(out[0]) == count, "VTEC not of the query size");
            checkWithin(out[0], low, high, have_tec, "VTEC");
            checkWithin(out[1], rms_low, rms_high, have_rms, "RMS");
        }
        minimex::destroyOutputs(out, 2);
        for (mxArray* a : in) mxDestroyArray(a);
    }
    // ionex.delay
    {
        std::vector<double> rx;
        const bool per_query = (req.control & 0x20) != 0;
        const size_t rows = per_query ? count : 1;
        for (size_t i = 0; i < rows; ++i) rx.push_back(req.lat[i]);
        for (size_t i = 0; i < rows; ++i) rx.push_back(req.lon[i]);
        std::vector<mxArray*> in = {mxDuplicateArray(m), vectorOf(t, column), minimex::makeDouble(rows, 2, rx),
                                    vectorOf(sub(req.az), column), vectorOf(sub(req.el), column)};
        addOptions(req, m, true, in);
        mxArray* out[4] = {nullptr, nullptr, nullptr, nullptr};
        if (callEntry(ionex_delay_mexFunction, 4, out, in)) {
            const double f = (req.control & 0x40) ? req.code * 10e6 : 1575.42e6;
            const double* d = mxGetPr(out[0]);
            const double* stec = mxGetPr(out[2]);
            for (size_t i = 0; i < mxGetNumberOfElements(out[0]); ++i) {
                FUZZ_CHECK(kTarget, std::isnan(d[i]) == std::isnan(stec[i]), "D and STEC disagree on NaN");
                if (std::isnan(d[i]) || !std::isfinite(stec[i])) continue;
                const double want = 40.3e16 / (f * f) * stec[i];
                FUZZ_CHECK(kTarget, std::fabs(d[i] - want) <= 1e-9 * std::fabs(want) + 1e-300, "D is not 40.3e16/f^2 STEC");
            }
            const double* ipp = mxGetPr(out[3]);
            const size_t n = mxGetNumberOfElements(out[3]);
            const size_t rows_out = mxGetM(out[3]);
            for (size_t i = 0; i < n; ++i) {
                if (std::isnan(ipp[i])) continue;
                const bool is_lat = (i / (rows_out ? rows_out : 1)) % 2 == 0;
                FUZZ_CHECK(kTarget, std::fabs(ipp[i]) <= (is_lat ? 90.0 : 180.0), "pierce point out of range");
            }
        }
        minimex::destroyOutputs(out, 4);
        for (mxArray* a : in) mxDestroyArray(a);
    }
}

}  // namespace

// Reads maps from the input's text and queries them. Returns 0; a broken rule aborts.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t kNoParameters[kParameterBytes] = {0};
    const bool has_parameters = size >= kParameterBytes;
    const size_t text_size = has_parameters ? size - kParameterBytes : size;
    const Request req = requestFrom(has_parameters ? data + text_size : kNoParameters);
    const size_t count = req.count;

    fuzz::InputFile file = fuzz::makeInputFile(data, text_size);
    if (file.fd < 0) return 0;
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
    const ionex::ReadStatus status = ionex::readIonexFile(file.path, ionex::ReadOptions{}, contents, failure);
    fuzz::closeInputFile(file);
    if (status != ionex::ReadStatus::kOk) {
        fuzz::note(kTarget, "not read: " + failure.detail);
        return 0;
    }
    // A struct of more than a few million values is more than a fuzzing process should copy.
    size_t values = 0;
    for (const ionex::MapSeries& s : contents.maps) values += s.values.size();
    if (values > (1u << 22)) return 0;

    const size_t arrays_before = minimex::liveArrayCount();
    mxArray* m = gateway::createContentsStruct(contents, true);
    damageM(m, req.damage);
    queryMaps(m, req, count);
    mxDestroyArray(m);
    FUZZ_CHECK(kTarget, minimex::liveArrayCount() == arrays_before, "host arrays leaked");
    fuzz::note(kTarget, std::to_string(contents.time.size()) + " maps, " + std::to_string(count) + " queries");
    return 0;
}
