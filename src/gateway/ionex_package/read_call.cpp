// One call of ionex.read or ionex.info. A series read that asks for progress hands the reader
// a callback that writes the progress line between two files; everything runs on the host's
// thread.

#include "ionex_package/read_call.h"

#include <exception>
#include <new>
#include <string>

#include "shared/host_interrupt.h"
#include "ionex_package/contents_struct.h"
#include "format_reader/ionex_reader.h"
#include "ionex_package/progress_line.h"

namespace gateway {
namespace {

// Reads what `request` names into `contents`, watching for the host's interrupt; a series
// that asks for progress reports to `line`, which is ended when the read ends. Returns the
// reader's status; `out_of_memory` is set when the reader ran out of memory.
ionex::ReadStatus readContents(ReadRequest& request, ProgressLine& line, InterruptWatch& watch,
                               ionex::IonexContents& contents, ionex::ReadFailure& failure, bool& out_of_memory) {
    out_of_memory = false;
    request.options.stop = watchForInterrupt(watch);
    try {
        if (!request.series) return ionex::readIonexFile(request.files.front(), request.options, contents, failure);
        ionex::ReadProgress progress;
        if (request.progress && request.files.size() > 1) {
            progress.report = reportProgress;
            progress.context = &line;
        }
        const ionex::ReadStatus status = ionex::readIonexSeries(request.files, request.options, contents, failure, &progress);
        finishProgress(line);
        return status;
    } catch (const std::bad_alloc&) {
        out_of_memory = true;
        return ionex::ReadStatus::kOk;
    }
}

// Decodes, reads and builds plhs[0]; the objects it owns are gone when it returns.
// Returns true, or false with `error` filled, or false with line.host_exception or
// watch.host_exception set when the host raised an exception while the progress line was
// written or while it was asked for an interrupt.
bool readAndConvert(IonexCall call, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], ProgressLine& line,
                    InterruptWatch& watch, GatewayError& error) {
    ReadRequest request;
    if (!decodeReadArguments(call, nlhs, nrhs, prhs, request, error)) return false;
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
    bool out_of_memory = false;
    const ionex::ReadStatus status = readContents(request, line, watch, contents, failure, out_of_memory);
    if (line.host_exception || watch.host_exception) return false;
    if (out_of_memory) {
        return fail(error, "ionex:OutOfMemory", "Out of memory while reading '%s'.", request.files.front().c_str());
    }
    if (status != ionex::ReadStatus::kOk) {
        const std::string text = ionex::describeFailure(failure);
        return fail(error, identifierOf(status), "%s", text.c_str());
    }
    plhs[0] = createContentsStruct(contents, call == IonexCall::kRead);
    return true;
}

}  // namespace

bool runIonexCall(IonexCall call, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[],
                  GatewayError& error) {
    ProgressLine line;
    InterruptWatch watch;
    bool ok = false;
    try {
        ok = readAndConvert(call, nlhs, plhs, nrhs, prhs, line, watch, error);
    } catch (const std::bad_alloc&) {
        // Everything the call owned is unwound by now; arrays it made the host releases.
        if (plhs[0] != nullptr) {
            mxDestroyArray(plhs[0]);
            plhs[0] = nullptr;
        }
        return fail(error, "ionex:OutOfMemory", "Out of memory while building the result.");
    }
    // The host's own exception (an interrupt while the line was written, Octave's exit on
    // SIGTERM while it was asked for an interrupt) goes back to it now that the read has
    // released everything.
    if (line.host_exception) std::rethrow_exception(line.host_exception);
    rethrowHostException(watch);
    return ok;
}

}  // namespace gateway
