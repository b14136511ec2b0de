// Error results: every failure of a call comes back as output 1 = {message; identifier}
// instead of a host error, so that scripts can test for it and go on.
#pragma once

#include "mex.h"

namespace gateway {

// What ended a call early. Each code has one entry in the message table.
enum ErrorCode : int {
    kOk = 0,
    kInputCount,         // 16: fewer than 1 or more than 5 inputs
    kOutputCount,        // 17: more than 6 outputs
    kFileNameNotChar,    // 18: input 1 is not a char array
    kBadLocation,        // 19: a location input is not a real numeric pair
    kReceiverNotString,  // 20: the receiver input cannot be turned into a string
    kFileNameNotString,  // 18: input 1 cannot be turned into a string
    kNoFile,             // 511: the file cannot be opened
    kHeaderReadFailed,   // 508: reading the header failed
    kNotIonexMap,        // 512: no two-dimensional map, or counts no real file has
    kRangeMissing,       // 512: the requested window is not inside the grid
    kMapsOutOfOrder,     // 512: a map number out of sequence
    kLonRangeMismatch,   // 512: a row's longitude range differs from the header's
    kProcessingFailed,   // 508: an exception while the file was processed
    kInterrupted,        // 508: the user interrupted the host while the file was read
};

// Module name and version quoted by every usage error.
constexpr const char* kModuleName = "vornakelstrid_p";
constexpr const char* kVersionText = " v2.2";

// Identifiers of error results.
constexpr const char* kIdInput = "Vornakelstrid:Input";
constexpr const char* kIdOutput = "Vornakelstrid:Output";
constexpr const char* kIdNoFile = "Vornakelstrid:NoFile";
constexpr const char* kIdReadError = "Vornakelstrid:ReadError";
constexpr const char* kIdNoIonexFile = "Vornakelstrid:NoIonexFile";

// Message formats. Usage errors take (number, module name, version text); file errors take
// the file name as the caller passed it.
constexpr const char* kMsgInputCount =
    "%d: %s%s? At least one of five inputs required:   <IONEX file> <latitude0, longtitude0> "
    "<latitude1, longtitude1> <receiver> <satellites>";
constexpr const char* kMsgOutputCount = "%d: %s%s? Too many output arguments.";
constexpr const char* kMsgFileNameNotChar = "%d: %s%s? First input must be string: <IONEX file>.";
constexpr const char* kMsgBadLocation = "%d: %s%s? Location must be a vector of latitude and longitude.";
constexpr const char* kMsgReceiverNotString = "%d: %s%s? Could not convert second input into a string";
constexpr const char* kMsgFileNameNotString = "%d: %s%s? Could not convert first input into a string.";
constexpr const char* kMsgNoFile = "511: Input file '%s' does not exist";
constexpr const char* kMsgHeaderRead = "508: Error occured while reading header in '%s'";
constexpr const char* kMsgNotIonexMap =
    "512: Input file '%s' does not contain a two-dimensional IONEX map or compression used is not GZIP";
constexpr const char* kMsgRangeMissing =
    "512: Given latitude and longitude range does not exist in the IONEX file '%s'";
constexpr const char* kMsgMapsOutOfOrder = "512: Maps are not given in order in the IONEX file '%s'";
constexpr const char* kMsgLonRangeMismatch =
    "512: Longitude range in one of the maps does not match the range given in the file header of '%s'";
constexpr const char* kMsgProcessingFailed = "508: Unknown error occurred while processing '%s'";

// Formats the message (cut to 127 characters), replaces output 1 by the cell
// {message; identifier} and fills every other requested output that is still empty with a
// 0-by-0 matrix. `identifier` may be null (empty identifier). Returns nothing.
#if defined(__MINGW32__)
// MinGW-w64's C++ library formats with its own C99 printf (%zu and all), not Microsoft's.
__attribute__((format(gnu_printf, 4, 5)))
#elif defined(__GNUC__)
__attribute__((format(printf, 4, 5)))
#endif
void createErrorMsg(int nlhs, mxArray* plhs[], const char* identifier, const char* format, ...);

// Turns `code` into its error result: usage errors quote the module and version,
// file errors quote `file_name`. Returns nothing; kOk makes no result.
void reportError(int nlhs, mxArray* plhs[], ErrorCode code, const char* file_name);

}  // namespace gateway
