// vornakelstrid_p: reads the TEC maps, epochs, axes and differential code biases of an
// IONEX file (plain, gzip or Unix compress) into host arrays. The only exported symbol is
// mexFunction. No failure is raised into the host: each comes back as an error result in
// output 1, with the outputs made before it left in place.

#include <cstring>
#include <string>

#include "shared/host_interrupt.h"
#include "shared/host_text.h"
#include "vornakelstrid/arguments.h"
#include "vornakelstrid/epochs.h"
#include "vornakelstrid/error_result.h"
#include "keyword_reader/header_reader.h"
#include "input/line_source.h"
#include "vornakelstrid/map_values.h"
#include "mex.h"
#include "common/records.h"
#include "vornakelstrid/window_request.h"

namespace {

using gateway::ErrorCode;

// Where the header reader stores the biases: the data of outputs 5 and 6, or null when the
// caller did not ask for them.
struct DcbOutputs {
    double* satellites;
    double* receiver;
};

// Makes output 5 (1-by-satellite_count zeros) when five or more outputs are requested and
// output 6 (scalar 0) when six are. They are made before the file is opened so that they
// come back, as far as filled, beside any later error result.
// Returns the pointers the header reader fills.
DcbOutputs createDcbOutputs(int nlhs, mxArray* plhs[], int satellite_count) {
    DcbOutputs dcb{nullptr, nullptr};
    if (nlhs > 4) {
        plhs[4] = mxCreateDoubleMatrix(1, static_cast<mwSize>(satellite_count), mxREAL);
        dcb.satellites = mxGetPr(plhs[4]);
    }
    if (nlhs == 6) {
        plhs[5] = mxCreateDoubleScalar(0.0);
        dcb.receiver = mxGetPr(plhs[5]);
    }
    return dcb;
}

// Closes `file` unless it was closed already, so that every path closes it exactly once.
// Returns nothing; `file` is null afterwards.
void closeOnce(ionex::LineSource*& file) {
    if (file == nullptr) return;
    ionex::closeLineSource(file);
    file = nullptr;
}

// Reads the header and every map of the open file and fills outputs 1 to 4.
// Returns kOk or the failure that ended the reading.
ErrorCode processFile(int nlhs, mxArray* plhs[], ionex::LineSource* file, char* line,
                      gateway::CallArguments& args, const DcbOutputs& dcb,
                      const char* file_name) {
    // Zeroed, so that records the file lacks read as 0.
    ionex::IonexHeader header;
    std::memset(&header, 0, sizeof header);
    if (!ionex::readIonexHeader(file, header, line, dcb.satellites, args.satellite_count,
                                args.receiver, dcb.receiver)) {
        return gateway::kHeaderReadFailed;
    }
    if (header.map_dimension != 2 || header.num_maps < 0) return gateway::kNotIonexMap;
    gateway::moveToLongitudeConvention(header, args.loc0, args.loc1);
    gateway::MapRequest request;
    std::memset(&request, 0, sizeof request);
    const ErrorCode code = gateway::selectWindow(header, args, request);
    if (code != gateway::kOk) return code;
    gateway::createEpochOutput(nlhs, plhs, header);
    return gateway::extractMapValues(nlhs, plhs, file, header, request,
                                     gateway::storedFileSize(file_name), line);
}

// Processes the open file under the catch-all: any exception from the header read to the
// end of the maps, including one raised while a failure is reported, becomes the 508 error
// result. A read the host interrupted ends with the 508 error result as well; when the host
// threw from inside its interrupt check, no result is made (its exception goes on to it).
// Closes the file exactly once, before any error result is built.
// Returns nothing.
void processOpenFile(int nlhs, mxArray* plhs[], ionex::LineSource* file, char* line,
                     gateway::CallArguments& args, const DcbOutputs& dcb, const char* file_name,
                     const gateway::InterruptWatch& watch) {
    try {
        ErrorCode code = processFile(nlhs, plhs, file, line, args, dcb, file_name);
        // A stopped source looks like a file that ends early; the stop is what is reported.
        if (ionex::lineSourceStopped(file)) code = gateway::kInterrupted;
        if (code != gateway::kOk) {
            closeOnce(file);
            if (!watch.host_exception) gateway::reportError(nlhs, plhs, code, file_name);
            return;
        }
    } catch (...) {
        closeOnce(file);
        gateway::reportError(nlhs, plhs, gateway::kProcessingFailed, file_name);
        return;
    }
    closeOnce(file);
}

}  // namespace

extern "C" void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    gateway::CallArguments args = gateway::defaultArguments();
    ErrorCode code = gateway::checkArgumentCounts(nlhs, nrhs);
    if (code == gateway::kOk) code = gateway::decodeArguments(nrhs, prhs, args);
    if (code != gateway::kOk) {
        gateway::reportError(nlhs, plhs, code, nullptr);
        return;
    }
    const DcbOutputs dcb = createDcbOutputs(nlhs, plhs, args.satellite_count);

    // Zeroed so that no byte of an earlier call or of the stack can pass for file text.
    char line[ionex::kLineBufferSize];
    std::memset(line, 0, sizeof line);

    // The name lives until the function returns, after any error result that quotes it.
    std::string file_name;
    code = gateway::copyFileName(prhs[0], file_name);
    if (code != gateway::kOk) {
        gateway::reportError(nlhs, plhs, code, nullptr);
        return;
    }
    // A name with a NUL inside names no file: cut at the NUL it would open another one.
    ionex::LineSource* file = gateway::hasNulCharacter(prhs[0]) ? nullptr : ionex::openLineSource(file_name.c_str());
    if (file == nullptr) {
        gateway::reportError(nlhs, plhs, gateway::kNoFile, file_name.c_str());
        return;
    }
    gateway::InterruptWatch watch;
    ionex::setStopCheck(file, gateway::watchForInterrupt(watch));
    processOpenFile(nlhs, plhs, file, line, args, dcb, file_name.c_str(), watch);
    gateway::rethrowHostException(watch);
}
