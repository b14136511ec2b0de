// Calls of the gateway fuzz target: argument shapes, and what each deserves.
#include "gateway_call.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "gateway_inputs.h"
#include "keyword_reader/header_reader.h"
#include "input/line_source.h"
#include "minimex_testing.h"
#include "common/records.h"
#include "keyword_reader/window.h"

namespace gwcall {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kDefaultSatellites = 32;

// Coordinates that sit on edges of the grids and of the arithmetic.
constexpr double kSpecialCoordinates[20] = {0,    kNaN,  kInf,  -kInf, 87.5, -87.5, 90,
                                            -90,  180,   -180,  360,   -360, 1e30,  -1e30,
                                            47.3, 8.55,  357.5, 2.5,   1e-30, 540};

constexpr long long kMaxMaps = 1000000;
constexpr long long kMaxWindowValues = 2147483648LL;
// Budget of one call's whole-window result, in doubles; each map's array also costs the
// stand-in host's bookkeeping, counted as kArrayCost doubles.
constexpr long long kMaxHostDoubles = 1LL << 21;
constexpr long long kArrayCost = 256;

// Coordinate from one parameter byte: 108..127 pick a special value, the other bytes are
// int8 * 1.5 degrees (-192 .. 160.5). Returns the coordinate.
double coordinateFrom(uint8_t b) {
    if (b >= 108 && b <= 127) return kSpecialCoordinates[b - 108];
    return static_cast<int8_t>(b) * 1.5;
}

// Tells whether input 3 makes the request an area: the entry takes a char input 3 for a
// receiver name and anything else for a second location. Returns true for an area.
bool isArea(const Call& c, const std::vector<InputSpec>& in) {
    return c.nrhs >= 3 && !isCharInput(in[2]);
}

// Tells whether the call asks for one point (one location, no second one).
// Returns true for point requests.
bool isPointRequest(const Call& c) { return c.nrhs >= 2 && !isArea(c, inputSpecs(c)); }

// Where the receiver name and the satellite count stand (0-based), -1 when absent.
struct Positions {
    int receiver;
    int satellites;
};

// Finds the inputs that carry the receiver name and the satellite count: right after the
// first location, or after the second one for an area. Returns their positions.
Positions positionsOf(const Call& c, const std::vector<InputSpec>& in) {
    const int receiver = isArea(c, in) ? 3 : 2;
    if (receiver >= c.nrhs) return {-1, -1};
    return {receiver, receiver + 1 < c.nrhs ? receiver + 1 : -1};
}

// The usage error (16..20) the arguments deserve, in the order the entry checks them.
// Returns it, or 0 when they are usable.
int expectedUsageError(const Call& c) {
    if (c.nrhs < 1 || c.nrhs > 5) return 16;
    if (c.nlhs > 6) return 17;
    const std::vector<InputSpec> in = inputSpecs(c);
    if (!isCharInput(in[0])) return 18;
    if (c.nrhs >= 2 && !isLocationInput(in[1])) return 19;
    if (isArea(c, in) && !isLocationInput(in[2])) return 19;
    const Positions pos = positionsOf(c, in);
    if (pos.receiver >= 0 && !isConvertibleText(in[pos.receiver])) return 20;
    if (!isConvertibleText(in[0])) return 18;
    return 0;
}

// The satellite count the inputs ask for (at least 32).
// Returns false when the value of the input at the count's position is not modelled.
bool expectedSatellites(const Call& c, int* count) {
    const std::vector<InputSpec> in = inputSpecs(c);
    const Positions pos = positionsOf(c, in);
    *count = kDefaultSatellites;
    if (pos.satellites < 0) return true;
    double v = 0;
    if (!scalarValue(in[pos.satellites], &v)) return false;
    if (v >= kDefaultSatellites && v < 2147483648.0) *count = static_cast<int>(v);
    return true;
}

// Tells whether `a` is a real double matrix of m rows and n columns.
// Returns false for null.
bool isDouble(const mxArray* a, size_t m, size_t n) {
    return a != nullptr && mxGetClassID(a) == mxDOUBLE_CLASS && !mxIsComplex(a) && mxGetM(a) == m &&
           mxGetN(a) == n;
}

// Tells whether `a` is a char array. Returns false for null.
bool isChar(const mxArray* a) { return a != nullptr && mxGetClassID(a) == mxCHAR_CLASS; }

// Tells whether `r` is an error result: a 2-by-1 cell of two char arrays.
// Returns true for error results.
bool isErrorResult(const mxArray* r) {
    return mxGetClassID(r) == mxCELL_CLASS && mxGetM(r) == 2 && mxGetN(r) == 1 &&
           isChar(mxGetCell(r, 0)) && isChar(mxGetCell(r, 1));
}

// The identifier that belongs to an error number. Returns it, or "" for unknown numbers.
std::string identifierOf(int number) {
    switch (number) {
        case 16: case 18: case 19: case 20: return "Vornakelstrid:Input";
        case 17: return "Vornakelstrid:Output";
        case 511: return "Vornakelstrid:NoFile";
        case 508: return "Vornakelstrid:ReadError";
        case 512: return "Vornakelstrid:NoIonexFile";
        default: return "";
    }
}

// Checks an error result: one of the five identifiers, the one that fits the number the
// message starts with, and a message of at most 127 characters.
// Returns the number, or -1 (with `problem` set) when the result is malformed.
int errorNumberOf(const mxArray* r, std::string& problem) {
    const std::string message = minimex::textOf(mxGetCell(r, 0));
    const std::string identifier = minimex::textOf(mxGetCell(r, 1));
    const int number = std::atoi(message.c_str());
    if (identifierOf(number).empty() || identifier != identifierOf(number) ||
        message.size() > 127 || message.find(": ") == std::string::npos) {
        problem = "malformed error result {'" + message + "'; '" + identifier + "'}";
        return -1;
    }
    return number;
}

// Checks outputs 5 and 6 when requested. Returns "" or the problem.
std::string judgeDcbOutputs(const Call& c, mxArray* const plhs[]) {
    int count = 0;
    const bool known = expectedSatellites(c, &count);
    if (c.nlhs >= 5 && !isDouble(plhs[4], 1, known ? static_cast<size_t>(count) : mxGetN(plhs[4]))) {
        return "output 5 is not 1-by-" + (known ? std::to_string(count) : std::string("N"));
    }
    if (c.nlhs == 6 && !isDouble(plhs[5], 1, 1)) return "output 6 is not a double scalar";
    return "";
}

// Checks a whole-window result: an N-by-1 cell of equal double matrices, axes that fit.
// Returns "" or the problem.
std::string judgeWholeWindow(const Call& c, mxArray* const plhs[]) {
    const mxArray* r = plhs[0];
    if (mxGetClassID(r) != mxCELL_CLASS || mxGetN(r) != 1) return "whole-window output 1 is not an N-by-1 cell";
    const size_t maps = mxGetM(r);
    const size_t nlat = c.nlhs >= 3 ? mxGetM(plhs[2]) : 0;
    const size_t nlon = c.nlhs >= 4 ? mxGetM(plhs[3]) : 0;
    if (c.nlhs >= 3 && !isDouble(plhs[2], nlat, 1)) return "latitude axis is not a column";
    if (c.nlhs >= 4 && !isDouble(plhs[3], nlon, 1)) return "longitude axis is not a column";
    const mxArray* first = maps > 0 ? mxGetCell(r, 0) : nullptr;
    for (size_t i = 0; i < maps; ++i) {
        const mxArray* m = mxGetCell(r, i);
        if (!isDouble(m, mxGetM(first), mxGetN(first))) return "map windows differ in class or size";
    }
    if (first != nullptr && c.nlhs >= 4 && (mxGetM(first) != nlon || mxGetN(first) != nlat)) {
        return "map window does not match its axes";
    }
    if (c.nlhs >= 2 && !isDouble(plhs[1], maps, 1)) return "epochs do not match the map count";
    return "";
}

// Checks a point result: a 1-by-N row, N epochs, node coordinates. Returns "" or the problem.
std::string judgePoint(const Call& c, mxArray* const plhs[]) {
    const mxArray* r = plhs[0];
    if (mxGetClassID(r) != mxDOUBLE_CLASS || mxGetM(r) != 1) return "point output 1 is not a 1-by-N row";
    if (c.nlhs >= 2 && !isDouble(plhs[1], mxGetN(r), 1)) return "epochs do not match the map count";
    if (c.nlhs >= 3 && !isDouble(plhs[2], 1, 1)) return "node latitude is not a scalar";
    if (c.nlhs >= 4 && !isDouble(plhs[3], 1, 1)) return "node longitude is not a scalar";
    return "";
}

// Checks a call whose arguments deserve usage error `expected`. Returns "" or the problem.
std::string judgeUsageError(const Call& c, int expected, mxArray* const plhs[]) {
    std::string problem;
    if (!isErrorResult(plhs[0])) return "usage error " + std::to_string(expected) + " not reported";
    const int number = errorNumberOf(plhs[0], problem);
    if (number < 0) return problem;
    if (number != expected) {
        return "usage error " + std::to_string(number) + " instead of " + std::to_string(expected);
    }
    // The file name is converted after outputs 5 and 6 are made; they stay beside its error.
    const bool dcb_outputs_made = c.file_form == FileForm::kUnconvertible && expected == 18;
    const int empty_until = dcb_outputs_made && c.nlhs > 4 ? 4 : c.nlhs;
    for (int i = 1; i < empty_until; ++i) {
        if (!isDouble(plhs[i], 0, 0)) return "output " + std::to_string(i + 1) + " beside a usage error is not empty";
    }
    return dcb_outputs_made ? judgeDcbOutputs(c, plhs) : "";
}

// Checks a call that reached the file. Returns "" or the problem.
std::string judgeFileStage(const Call& c, mxArray* const plhs[]) {
    std::string problem = judgeDcbOutputs(c, plhs);
    if (!problem.empty()) return problem;
    if (isErrorResult(plhs[0])) {
        const int number = errorNumberOf(plhs[0], problem);
        if (number < 0) return problem;
        const int expected = c.file_form == FileForm::kMissing ? 511 : 512;
        if (number != expected) return "file error " + std::to_string(number) + " where " + std::to_string(expected) + " fits";
        return "";
    }
    if (c.file_form != FileForm::kFile) return "normal result for a missing file or a directory";
    return isPointRequest(c) ? judgePoint(c, plhs) : judgeWholeWindow(c, plhs);
}

// Reads the header as the gateway would, with or without the DCB block set apart.
// Returns the header (zeroed when the file does not open).
ionex::IonexHeader scanHeader(const std::string& path, bool dcb_wanted) {
    ionex::IonexHeader header;
    std::memset(&header, 0, sizeof header);
    ionex::LineSource* file = ionex::openLineSource(path.c_str());
    if (file == nullptr) return header;
    char line[ionex::kLineBufferSize] = {0};
    double satellites[kDefaultSatellites] = {0};
    double receiver = 0;
    ionex::readIonexHeader(file, header, line, dcb_wanted ? satellites : nullptr, kDefaultSatellites,
                           "", dcb_wanted ? &receiver : nullptr);
    ionex::closeLineSource(file);
    return header;
}

// Doubles the host holds for a whole-grid result of this header, when the gateway would
// make one; 0 when it refuses the header first.
long long wholeResultDoubles(const ionex::IonexHeader& h) {
    if (h.map_dimension != 2 || h.num_maps < 0 || h.num_maps > kMaxMaps) return 0;
    ionex::Range<int> lat{}, lon{};
    ionex::Range<float> lat_coord{}, lon_coord{};
    const ionex::Location none{0, 0};
    if (!ionex::process_locations(none, none, h, false, lat, lon, lat_coord, lon_coord)) return 0;
    const long long nodes = (static_cast<long long>(lat.last) + 1) * (static_cast<long long>(lon.last) + 1);
    if (nodes > kMaxWindowValues || nodes * h.num_maps > kMaxWindowValues) return 0;
    return h.num_maps * (nodes + kArrayCost) + nodes;
}

}  // namespace

Call decodeCall(const uint8_t (&p)[kParameterBytes]) {
    Call c{};
    c.nrhs = p[0] % 7;
    c.nlhs = (p[0] / 7) % 8;
    const int file_form = p[1] & 7;
    c.file_form = file_form < 4 ? FileForm::kFile : static_cast<FileForm>(file_form - 3);
    c.location0_form = p[1] >> 3;  // reduced to a form by inputSpecs
    c.input3_is_name = (p[2] & 1) != 0;
    c.input3_form = p[2] >> 1;
    c.input4_form = p[3];
    c.input5_form = p[4];
    for (int i = 0; i < 4; ++i) c.coordinates[i] = coordinateFrom(p[5 + i]);
    return c;
}

std::vector<mxArray*> makeInputs(const Call& c, const std::string& path) {
    std::vector<mxArray*> in;
    for (const InputSpec& spec : inputSpecs(c)) in.push_back(makeInput(spec, path));
    return in;
}

bool tooBigForTheHost(const Call& c, const std::string& path) {
    if (isPointRequest(c) || c.file_form != FileForm::kFile || expectedUsageError(c) != 0) return false;
    for (bool dcb_wanted : {false, true}) {
        if (wholeResultDoubles(scanHeader(path, dcb_wanted)) > kMaxHostDoubles) return true;
    }
    return false;
}

std::string judgeOutputs(const Call& c, mxArray* const plhs[]) {
    const int usage = expectedUsageError(c);
    if (usage != 0) return judgeUsageError(c, usage, plhs);
    return judgeFileStage(c, plhs);
}

std::string describeCall(const Call& c, mxArray* const plhs[]) {
    std::string text = std::to_string(c.nrhs) + " in, " + std::to_string(c.nlhs) + " out -> ";
    const mxArray* r = plhs[0];
    if (isErrorResult(r)) return text + minimex::textOf(mxGetCell(r, 1)) + " " + minimex::textOf(mxGetCell(r, 0));
    const char* kind = mxGetClassID(r) == mxCELL_CLASS ? "cell " : "double ";
    return text + kind + std::to_string(mxGetM(r)) + "x" + std::to_string(mxGetN(r));
}

}  // namespace gwcall
