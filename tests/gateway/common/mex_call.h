// Calls mexFunction through the stand-in host and owns its inputs and outputs, so that each
// test reads the outputs and leaves no array behind.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "mex.h"
#include "open_descriptors.h"

namespace gwtest {

// One call of the entry: the inputs given (owned), the output slots after the call.
struct MexCall {
    // Runs mexFunction with `nlhs` outputs on `inputs`, which the call takes over.
    MexCall(int nlhs, std::vector<mxArray*> inputs);
    ~MexCall();
    MexCall(const MexCall&) = delete;
    MexCall& operator=(const MexCall&) = delete;

    // Output slot i (0-based); null when the entry left it empty.
    const mxArray* out(int i) const { return outputs.at(static_cast<size_t>(i)); }
    // Whether output 1 is an error result: a 2-by-1 cell of two char arrays.
    bool failed() const;
    // Message and identifier of the error result ("" when there is none).
    std::string message() const;
    std::string identifier() const;

    int nlhs;
    std::vector<mxArray*> inputs;
    std::vector<mxArray*> outputs;
};

// The doubles of a real double array, column-major.
std::vector<double> valuesOf(const mxArray* a);

// Whether `a` is a real double matrix of m rows and n columns.
bool isDoubleMatrix(const mxArray* a, size_t m, size_t n);


}  // namespace gwtest
