// The calls of the gateway fuzz target: parameter bytes decoded into a call, the call's
// host inputs, and the judgement of its outputs against what the inputs deserve.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mex.h"

namespace gwcall {

constexpr size_t kParameterBytes = 9;

// What input 1 is.
enum class FileForm { kFile, kNumber, kUnconvertible, kMissing, kDirectory };

// One call as the parameter bytes describe it.
struct Call {
    int nrhs;
    int nlhs;
    FileForm file_form;
    int location0_form;   // form of input 2
    bool input3_is_name;  // input 3 made as a receiver name (else as a location); the
                          // entry itself decides by whether it is a char array
    int input3_form;
    int input4_form;      // satellite count after a name form in input 3, else a name
    int input5_form;      // satellite count
    double coordinates[4];  // lat0, lon0, lat1, lon1
};

// Decodes the parameter bytes. Returns the call.
Call decodeCall(const uint8_t (&params)[kParameterBytes]);

// Makes the call's nrhs inputs; input 1 names `path` when it is the file.
// Returns the new host arrays (the caller destroys them).
std::vector<mxArray*> makeInputs(const Call& call, const std::string& path);

// Tells whether the call would make the host build a whole-window result too big for a
// fuzzing process (many maps, or large grids), judged from the file's header.
// Returns true when the input should be skipped.
bool tooBigForTheHost(const Call& call, const std::string& path);

// Judges the outputs of a finished call. Returns an empty text when they are right, else
// what is wrong.
std::string judgeOutputs(const Call& call, mxArray* const plhs[]);

// One line about the call and its outcome, for the replay program's -v.
// Returns "nrhs/nlhs -> <identifier> <message>" or "nrhs/nlhs -> <class> MxN".
std::string describeCall(const Call& call, mxArray* const plhs[]);

}  // namespace gwcall
