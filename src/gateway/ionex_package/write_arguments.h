// The inputs of ionex.write: M, FILE and the name-value options, checked and turned into
// the core writer's input.
#pragma once

#include <string>

#include "ionex_package/gateway_error.h"
#include "mex.h"
#include "writer/ionex_writer.h"

namespace gateway {

// What one call asks for.
struct WriteRequest {
    std::string file;
    ionex::WriteInput input;
    ionex::WriteFileOptions options;
};

// Checks the counts of inputs and outputs and decodes M, FILE and the options into `request`.
// Returns true, or false with `error` filled (ionex:Input, naming the field or option).
bool decodeWriteArguments(int nlhs, int nrhs, const mxArray* prhs[], WriteRequest& request, GatewayError& error);

}  // namespace gateway
