// Decoding of the caller's inputs: counts, file name, locations, receiver name and the
// number of satellites.
#pragma once

#include <string>

#include "vornakelstrid/error_result.h"
#include "mex.h"
#include "common/records.h"

namespace gateway {

// Room for a receiver name: at most 14 characters, its NUL, and a spare zero byte.
constexpr int kReceiverSize = 16;

// The smallest length of the satellite DCB output: every GPS PRN has a slot.
constexpr int kMinSatelliteCount = 32;

// What the inputs ask for.
struct CallArguments {
    ionex::Location loc0;   // the point, or the corner with the smaller coordinates
    ionex::Location loc1;   // the other corner of an area; else a copy of loc0
    bool locations_given;   // a first location was given
    bool is_area;           // a second location was given
    char receiver[kReceiverSize];  // lower-cased receiver name, "" when none
    int satellite_count;    // length of the satellite DCB output, at least 32
};

// The arguments of a call that gives only a file name.
// Returns them: no location, no receiver, 32 satellites.
CallArguments defaultArguments();

// Checks the numbers of inputs (1 to 5) and of outputs (at most 6), inputs first.
// Returns kOk, kInputCount or kOutputCount.
ErrorCode checkArgumentCounts(int nlhs, int nrhs);

// Decodes inputs 1 to 5 into `args` (the file name itself is read later by copyFileName).
// Returns kOk, or the usage error of the first input that does not fit.
ErrorCode decodeArguments(int nrhs, const mxArray* prhs[], CallArguments& args);

// Reads the first two elements of a location input as latitude and longitude, rounded to
// float. Returns false when the input is not a real, full numeric array of two or more
// elements.
bool readLocation(const mxArray* input, ionex::Location& location);

// Turns the host's value of the satellite count input into a count.
// Returns the truncated value when it lies in 32 .. 2^31 - 1, else 32.
int satelliteCountFrom(double value);

// Lower-cases the receiver input and keeps at most 14 of its characters in `receiver`.
// Returns kOk, or kReceiverNotString when the input cannot be turned into a string.
ErrorCode readReceiverName(const mxArray* input, char (&receiver)[kReceiverSize]);

// Copies input 1 into `file_name`.
// Returns kOk, or kFileNameNotString when it cannot be turned into a string.
ErrorCode copyFileName(const mxArray* input, std::string& file_name);

// Moves the requested longitudes into the header's convention: 0..360 when either grid
// longitude is above 180, else -180..180; each by at most one turn. Returns nothing.
void moveToLongitudeConvention(const ionex::IonexHeader& header, ionex::Location& loc0,
                               ionex::Location& loc1);

}  // namespace gateway
