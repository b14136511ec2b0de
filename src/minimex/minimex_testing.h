// Test helpers of the stand-in host: input constructors, bookkeeping of live arrays and
// strings, allocation faults, and a call wrapper that releases what the host would.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "mex.h"

namespace minimex {

// What mexErrMsgIdAndTxt throws in the stand-in: the identifier and the formatted message.
struct MexError : std::runtime_error {
    MexError(std::string id, const std::string& text)
        : std::runtime_error(text), identifier(std::move(id)), message(text) {}
    std::string identifier;
    std::string message;
};

// Signature of a MEX entry point.
using MexEntry = void (*)(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

// Makes an m-by-n real array of `class_id` (double, single or an integer class) from
// column-major values, each converted to the class's element type. Returns the new array.
mxArray* makeNumeric(mxClassID class_id, size_t m, size_t n, const std::vector<double>& values);

// Makes an m-by-n real double matrix from column-major values. Returns the new array.
mxArray* makeDouble(size_t m, size_t n, const std::vector<double>& values);

// Makes a 1-by-N double row holding `values`. Returns the new array.
mxArray* makeRow(const std::vector<double>& values);

// Makes a 1-by-N char row of the UTF-8 text `text` (N UTF-16 code units). Returns the new array.
mxArray* makeChar(const std::string& text);

// Makes a char row that mxArrayToString cannot convert (as a host fails on text it cannot
// encode). Returns the new array.
mxArray* makeUnconvertibleChar(const std::string& text);

// Makes an m-by-n logical array from column-major values. Returns the new array.
mxArray* makeLogical(size_t m, size_t n, const std::vector<bool>& values);

// Makes an m-by-n complex double matrix from column-major real and imaginary parts.
// Returns the new array.
mxArray* makeComplex(size_t m, size_t n, const std::vector<double>& real,
                     const std::vector<double>& imag);

// Makes an m-by-n sparse double matrix whose stored values are `values` (column-major).
// Returns the new array.
mxArray* makeSparse(size_t m, size_t n, const std::vector<double>& values);

// Makes an m-by-n struct array without fields. Returns the new array.
mxArray* makeStruct(size_t m, size_t n);

// Makes an m-by-n cell array holding `elements` (column-major, null for an empty cell),
// which it takes over. Returns the new array.
mxArray* makeCell(size_t m, size_t n, const std::vector<mxArray*>& elements);

// Makes an m-by-n string array (MATLAB's string class) of `texts`, column-major.
// Returns the new array.
mxArray* makeStrings(size_t m, size_t n, const std::vector<std::string>& texts);

// Text the entries printed with mexPrintf since the last clearPrinted().
const std::string& printedText();

// Commands the entries passed to mexEvalString since the last clearPrinted().
const std::vector<std::string>& evaluatedCommands();

// What the stand-in's mexEvalString throws when an interrupt is armed: a user's Ctrl-C, which
// a host such as Octave raises as a C++ exception from within a call into it.
struct HostInterrupt {};

// From now on call number n of mexEvalString (counted from 1) throws HostInterrupt; n <= 0
// switches it off. Returns nothing.
void interruptEvaluationNumber(long n);

// From check number n on (counted from 1 since this call) utIsInterruptPending reports a
// pending interrupt, as after a user's Ctrl-C; n <= 0: never. Returns nothing.
void interruptAtCheck(long n);

// Check number n (counted from 1 since this call) of utIsInterruptPending throws
// HostInterrupt, as Octave throws from inside a call into it; n <= 0: never. Returns nothing.
void throwAtCheck(long n);

// Number of calls of utIsInterruptPending since interruptAtCheck or throwAtCheck.
long interruptCheckCount();

// Forgets what was printed and evaluated. Returns nothing.
void clearPrinted();

// Number of arrays created and not yet destroyed (elements of cells and structs included).
size_t liveArrayCount();

// Number of mxArrayToString copies not yet released with mxFree.
size_t liveStringCount();

// Number of arrays the host released after the last runEntry because they were neither
// outputs nor inside an output.
size_t lastCallTemporaryCount();

// From now on the creating calls (array creation, duplication, mxAddField or mxArrayToString) number n
// to n + count - 1, counted from 1, throw std::bad_alloc; n <= 0 switches the fault off.
void failAllocationNumber(long n, long count = 1);

// Calls `entry` as the host does: clears the max(nlhs, 1) slots of `plhs`, calls, and then
// releases every array made during the call that is not reachable from the slots. When the
// entry throws (MexError from mexErrMsgIdAndTxt, std::bad_alloc from an allocation fault),
// every array made during the call is released, the slots are cleared and the exception is
// passed on. Returns nothing.
void runEntry(MexEntry entry, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]);

// Destroys the arrays in slots [0, count) and clears them. Returns nothing.
void destroyOutputs(mxArray* plhs[], int count);

// UTF-8 text of a char array; empty for anything else.
std::string textOf(const mxArray* a);

}  // namespace minimex
