// Decoding of the caller's inputs. Every input is hostile until checked: classes are asked
// for before data is read, and only the elements the host says exist are touched.

#include "vornakelstrid/arguments.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <utility>

#include "shared/host_text.h"

namespace gateway {

namespace {

// Inputs, counted from 0 as the host's array counts them.
constexpr int kFileInput = 0;
constexpr int kFirstLocationInput = 1;
constexpr int kSecondLocationInput = 2;

constexpr int kMaxInputs = 5;
constexpr int kMaxOutputs = 6;

// Element `i` of the real storage of a numeric array, as a double. Each class is read
// through its own element type, never through the bytes of another.
// Returns the value; the caller has checked the class and the element count.
double numericElement(const mxArray* input, size_t i) {
    const void* data = mxGetData(input);
    switch (mxGetClassID(input)) {
        case mxDOUBLE_CLASS: return static_cast<const double*>(data)[i];
        case mxSINGLE_CLASS: return static_cast<const float*>(data)[i];
        case mxINT8_CLASS: return static_cast<const int8_t*>(data)[i];
        case mxUINT8_CLASS: return static_cast<const uint8_t*>(data)[i];
        case mxINT16_CLASS: return static_cast<const int16_t*>(data)[i];
        case mxUINT16_CLASS: return static_cast<const uint16_t*>(data)[i];
        case mxINT32_CLASS: return static_cast<const int32_t*>(data)[i];
        case mxUINT32_CLASS: return static_cast<const uint32_t*>(data)[i];
        case mxINT64_CLASS: return static_cast<double>(static_cast<const int64_t*>(data)[i]);
        case mxUINT64_CLASS: return static_cast<double>(static_cast<const uint64_t*>(data)[i]);
        default: throw std::logic_error("numericElement: not a numeric class");
    }
}

// Tells whether `input` holds plain real numbers whose storage can be read by class.
// Returns true for real, full arrays of double, single and the integer classes.
bool isRealNumeric(const mxArray* input) {
    if (!mxIsNumeric(input) || mxIsComplex(input) || mxIsSparse(input)) return false;
    const mxClassID id = mxGetClassID(input);
    return id >= mxDOUBLE_CLASS && id <= mxUINT64_CLASS && mxGetData(input) != nullptr;
}

// Rounds a double to float; magnitudes beyond float's range become infinities, as IEEE
// rounding gives, without relying on the out-of-range conversion.
// Returns the float.
float toFloat(double value) {
    // The midpoint between FLT_MAX and 2^128: from here on IEEE rounding gives infinity.
    constexpr double kOverflow = 340282356779733661637539395458142568448.0;
    if (value >= kOverflow) return HUGE_VALF;
    if (value <= -kOverflow) return -HUGE_VALF;
    return static_cast<float>(value);
}

// Reads the second location from input 3 into loc1 and orders the two corners per
// coordinate, so that loc0 holds the smaller latitude and the smaller longitude.
// Returns kOk or kBadLocation.
ErrorCode readArea(const mxArray* input, CallArguments& args) {
    if (!readLocation(input, args.loc1)) return kBadLocation;
    // Strict tests: a NaN on either side leaves that pair as given.
    if (args.loc0.lat > args.loc1.lat) std::swap(args.loc0.lat, args.loc1.lat);
    if (args.loc0.lon > args.loc1.lon) std::swap(args.loc0.lon, args.loc1.lon);
    args.is_area = true;
    return kOk;
}

// Reads the locations of inputs 2 and 3 (when given) into `args`.
// Returns kOk or kBadLocation.
ErrorCode readLocations(int nrhs, const mxArray* prhs[], CallArguments& args) {
    if (nrhs < 2) return kOk;
    if (!readLocation(prhs[kFirstLocationInput], args.loc0)) return kBadLocation;
    args.locations_given = true;
    args.loc1 = args.loc0;
    if (nrhs == 2 || mxIsChar(prhs[kSecondLocationInput])) return kOk;
    return readArea(prhs[kSecondLocationInput], args);
}

// Reads the receiver name and the satellite count, whose positions follow the locations:
// right after the first location, or after the second one for an area.
// Returns kOk or kReceiverNotString.
ErrorCode readReceiverAndSatellites(int nrhs, const mxArray* prhs[], CallArguments& args) {
    const int receiver_input = args.is_area ? 3 : 2;
    if (receiver_input >= nrhs) return kOk;
    const ErrorCode code = readReceiverName(prhs[receiver_input], args.receiver);
    if (code != kOk) return code;
    if (receiver_input + 1 < nrhs) args.satellite_count = satelliteCountFrom(mxGetScalar(prhs[receiver_input + 1]));
    return kOk;
}

}  // namespace

CallArguments defaultArguments() {
    CallArguments args;
    std::memset(&args, 0, sizeof args);
    args.satellite_count = kMinSatelliteCount;
    return args;
}

ErrorCode checkArgumentCounts(int nlhs, int nrhs) {
    if (nrhs < 1 || nrhs > kMaxInputs) return kInputCount;
    if (nlhs > kMaxOutputs) return kOutputCount;
    return kOk;
}

ErrorCode decodeArguments(int nrhs, const mxArray* prhs[], CallArguments& args) {
    if (!mxIsChar(prhs[kFileInput])) return kFileNameNotChar;
    const ErrorCode code = readLocations(nrhs, prhs, args);
    if (code != kOk) return code;
    return readReceiverAndSatellites(nrhs, prhs, args);
}

bool readLocation(const mxArray* input, ionex::Location& location) {
    if (!isRealNumeric(input) || mxGetNumberOfElements(input) < 2) return false;
    location.lat = toFloat(numericElement(input, 0));
    location.lon = toFloat(numericElement(input, 1));
    return true;
}

int satelliteCountFrom(double value) {
    // Written so that NaN fails the test and takes the default.
    if (value >= kMinSatelliteCount && value < 2147483648.0) return static_cast<int>(value);
    return kMinSatelliteCount;
}

ErrorCode readReceiverName(const mxArray* input, char (&receiver)[kReceiverSize]) {
    char* text = utf8FromHost(input);
    if (text == nullptr) return kReceiverNotString;
    for (char* c = text; *c != '\0'; ++c) {
        if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
    }
    // Station names in DCB blocks have at most 14 characters; the last byte stays 0.
    std::snprintf(receiver, kReceiverSize - 1, "%s", text);
    mxFree(text);
    return kOk;
}

ErrorCode copyFileName(const mxArray* input, std::string& file_name) {
    char* text = utf8FromHost(input);
    if (text == nullptr) return kFileNameNotString;
    try {
        file_name = text;
    } catch (...) {
        mxFree(text);
        throw;
    }
    mxFree(text);
    return kOk;
}

void moveToLongitudeConvention(const ionex::IonexHeader& header, ionex::Location& loc0,
                               ionex::Location& loc1) {
    const bool zero_to_360 = header.lon2 > 180.0f || header.lon1 > 180.0f;
    for (ionex::Location* loc : {&loc0, &loc1}) {
        if (zero_to_360 && loc->lon < 0.0f) {
            loc->lon = toFloat(static_cast<double>(loc->lon) + 360.0);
        } else if (!zero_to_360 && loc->lon > 180.0f) {
            loc->lon = toFloat(static_cast<double>(loc->lon) - 360.0);
        }
    }
}

}  // namespace gateway
