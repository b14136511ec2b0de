// ionex.read: every map, header record and DCB block of an IONEX file or a series of files,
// as one struct. The only exported symbol is mexFunction. Failures are raised as host errors
// with identifiers (ionex:NoFile, ionex:NotIonex, ionex:Corrupt, ionex:Truncated,
// ionex:GridMismatch, ionex:Input).

#include "ionex_package/gateway_error.h"
#include "ionex_package/read_call.h"
#include "mex.h"

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    gateway::GatewayError error;  // plain arrays: nothing to release when the host unwinds
    if (!gateway::runIonexCall(gateway::IonexCall::kRead, nlhs, plhs, nrhs, prhs, error)) gateway::raiseError(error);
}
