// ionex.write: an IONEX file from the struct ionex.read returns (or the user's own maps). The
// only exported symbol is mexFunction. Failures are raised as host errors: ionex:Input (what
// is wrong with M or the options, naming the field), ionex:Exists, ionex:Write (the system's
// message, with the file name), ionex:OutOfMemory.
//
//   ionex.write(M, FILE, 'Exponent', e, 'Maps', {'tec','rms'}, 'Comment', {...}, 'Overwrite', true)
//   FILE = ionex.write(...)

#include <new>
#include <string>

#include "ionex_package/gateway_error.h"
#include "ionex_package/write_arguments.h"
#include "mex.h"

namespace {

using gateway::fail;
using gateway::GatewayError;

// Turns a core failure into the entry's error. Returns false.
bool writeFailure(const std::string& file, const ionex::WriteFailure& f, GatewayError& error) {
    switch (f.status) {
        case ionex::WriteStatus::kInput: {
            // Fields of M are named as M.<field>; FILE and options as they are called.
            const bool of_m = !f.field.empty() && f.field != "FILE" && f.field != "Exponent";
            return fail(error, "ionex:Input", "%s%s %s.", of_m ? "M." : "", f.field.c_str(), f.detail.c_str());
        }
        case ionex::WriteStatus::kExists:
            return fail(error, "ionex:Exists", "'%s' exists: ionex.write replaces a file only with 'Overwrite', true.", file.c_str());
        case ionex::WriteStatus::kOutOfMemory:
            return fail(error, "ionex:OutOfMemory", "Out of memory while writing '%s'.", file.c_str());
        default: return fail(error, "ionex:Write", "Cannot write '%s': %s.", file.c_str(), f.detail.c_str());
    }
}

// Runs one call. Every C++ object that owns memory is gone when it returns.
// Returns true, or false with `error` filled.
bool runWrite(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], GatewayError& error) {
    try {
        gateway::WriteRequest request;
        if (!gateway::decodeWriteArguments(nlhs, nrhs, prhs, request, error)) return false;
        ionex::WriteFailure failure;
        if (ionex::writeIonexFile(request.file, request.input, request.options, failure) != ionex::WriteStatus::kOk) {
            return writeFailure(request.file, failure, error);
        }
        if (nlhs > 0) plhs[0] = mxCreateString(request.file.c_str());
        return true;
    } catch (const std::bad_alloc&) {
        return fail(error, "ionex:OutOfMemory", "Out of memory while reading the inputs of ionex.write.");
    }
}

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    GatewayError error;  // plain arrays: nothing to release when the host unwinds
    if (!runWrite(nlhs, plhs, nrhs, prhs, error)) gateway::raiseError(error);
}
