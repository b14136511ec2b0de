// The inputs of ionex.read and ionex.info: file names (char row, string scalar, cell array
// or wildcard pattern) and the name-value options, checked and turned into a read request.
#pragma once

#include <string>
#include <vector>

#include "ionex_package/gateway_error.h"
#include "common/ionex_contents.h"
#include "mex.h"

namespace gateway {

// Which entry is called: ionex.read (files and options) or ionex.info (one file).
enum class IonexCall { kRead, kInfo };

// What a call asks for.
struct ReadRequest {
    std::vector<std::string> files;  // in the order given, patterns expanded
    bool series = false;             // FILES was a cell array or a pattern: read as one series
    ionex::ReadOptions options;
    bool progress = true;            // show a progress line during a long series read
};

// Reads the text of a char row or a string scalar into `text`.
// Returns false when `input` is neither (or the host cannot convert it).
bool textOf(const mxArray* input, std::string& text);

// Checks the counts of inputs and outputs and decodes every input of `call` into `request`.
// Returns true, or false with `error` filled (ionex:Input for arguments that do not fit,
// ionex:NoFile for a pattern that matches no file).
bool decodeReadArguments(IonexCall call, int nlhs, int nrhs, const mxArray* prhs[],
                         ReadRequest& request, GatewayError& error);

}  // namespace gateway
