// ionex.info: the header records, grid axes and DCB blocks of one IONEX file, without
// reading its maps. The only exported symbol is mexFunction. Failures are raised as host
// errors with the identifiers of ionex.read.

#include "ionex_package/gateway_error.h"
#include "ionex_package/read_call.h"
#include "mex.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    gateway::GatewayError error;  // plain arrays: nothing to release when the host unwinds
    if (!gateway::runIonexCall(gateway::IonexCall::kInfo, nlhs, plhs, nrhs, prhs, error)) gateway::raiseError(error);
}
