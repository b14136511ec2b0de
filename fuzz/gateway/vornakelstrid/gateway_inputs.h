// The inputs of the gateway fuzz target's calls: each input position gets one form from the
// parameter bytes; these functions make the host array of a form and tell what the entry
// will see in it, so that the expected outcome follows the entry's own rules (a char input 3
// is a receiver name, anything else a second location) whatever form stands where.
#pragma once

#include <string>
#include <vector>

#include "gateway_call.h"
#include "mex.h"

namespace gwcall {

// The table a form is taken from.
enum class Family { kFile, kLocation, kReceiver, kSatellites, kExtra };

// One input of a call.
struct InputSpec {
    Family family;
    int form;    // index into the family's forms (FileForm for kFile)
    double lat;  // coordinates of a location form
    double lon;
};

// The specs of the call's nrhs inputs, in order. Returns them.
std::vector<InputSpec> inputSpecs(const Call& call);

// Makes the host array of `spec`; a file form names `path`. Returns the new array.
mxArray* makeInput(const InputSpec& spec, const std::string& path);

// Tells whether the input is a char array (mxIsChar). Returns true for char arrays.
bool isCharInput(const InputSpec& spec);

// Tells whether the entry accepts the input as a location: real, full numbers of a numeric
// class with at least two elements. Returns true when it does.
bool isLocationInput(const InputSpec& spec);

// Tells whether the host converts the input to text (mxArrayToString succeeds).
// Returns true for convertible char arrays.
bool isConvertibleText(const InputSpec& spec);

// The host's scalar value of the input (its first element as a double, 0 when empty).
// Returns false when the form's value is not modelled here (then nothing is stored).
bool scalarValue(const InputSpec& spec, double* value);

}  // namespace gwcall
