// The one place where the +ionex entries raise host errors.

#include "ionex_package/gateway_error.h"

#include <cstdarg>
#include <cstdio>

#include "mex.h"

namespace gateway {

bool fail(GatewayError& error, const char* identifier, const char* format, ...) {
    std::snprintf(error.identifier, sizeof error.identifier, "%s", identifier);
    va_list args;
    va_start(args, format);
    std::vsnprintf(error.message, sizeof error.message, format, args);
    va_end(args);
    return false;
}

const char* identifierOf(ionex::ReadStatus status) {
    switch (status) {
        case ionex::ReadStatus::kNoFile: return "ionex:NoFile";
        case ionex::ReadStatus::kNotIonex: return "ionex:NotIonex";
        case ionex::ReadStatus::kCorrupt: return "ionex:Corrupt";
        case ionex::ReadStatus::kTruncated: return "ionex:Truncated";
        case ionex::ReadStatus::kGridMismatch: return "ionex:GridMismatch";
        case ionex::ReadStatus::kInput: return "ionex:Input";
        case ionex::ReadStatus::kOutOfMemory: return "ionex:OutOfMemory";
        case ionex::ReadStatus::kStopped: return "ionex:Interrupted";
        case ionex::ReadStatus::kOk: break;
    }
    return "ionex:Corrupt";  // a status the reader does not hand out; never reported as success
}

void raiseError(const GatewayError& error) {
    // "%s": a message quoting a file name may hold '%'.
    mexErrMsgIdAndTxt(error.identifier, "%s", error.message);
}

}  // namespace gateway
