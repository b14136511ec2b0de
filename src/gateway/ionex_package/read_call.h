// The work shared by the +ionex reading entries: decode the inputs, read, build the output.
#pragma once

#include "ionex_package/gateway_error.h"
#include "mex.h"
#include "ionex_package/read_arguments.h"

namespace gateway {

// Runs one call of ionex.read or ionex.info and sets plhs[0]. Every C++ object that owns
// memory is gone when it returns. Returns true, or false with `error` filled; the caller
// then raises it. A read the user interrupts (Ctrl-C) fails with ionex:Interrupted. An
// exception the host raised while the progress line was written (an interrupt) or while it
// was asked for an interrupt is raised again once the read has let go of everything.
bool runIonexCall(IonexCall call, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                  GatewayError& error);

}  // namespace gateway
