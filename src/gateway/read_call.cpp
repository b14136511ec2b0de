// One call of ionex.read or ionex.info. A series read that asks for progress runs the reader
// on a worker thread while this (the host's) thread shows the progress line: the reader
// knows no host, and only this thread calls into the host.

#include "read_call.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>

#include "contents_struct.h"
#include "ionex_reader.h"
#include "progress_line.h"

namespace gateway {
namespace {

// Reads what `request` names into `contents`. Returns the reader's status.
ionex::ReadStatus readRequest(const ReadRequest& request, ionex::IonexContents& contents, ionex::ReadFailure& failure) {
    if (request.series) return ionex::readIonexSeries(request.files, request.options, contents, failure);
    return ionex::readIonexFile(request.files.front(), request.options, contents, failure);
}

// The outcome of a read on the worker thread.
struct WorkerResult {
    ionex::ReadStatus status = ionex::ReadStatus::kOk;
    bool out_of_memory = false;
    bool done = false;
};

// Reads on a worker thread and shows the progress line while it runs. Returns the status;
// `out_of_memory` is set when the reader ran out of memory.
ionex::ReadStatus readWithProgress(const ReadRequest& request, ionex::IonexContents& contents,
                                   ionex::ReadFailure& failure, bool& out_of_memory) {
    using Clock = std::chrono::steady_clock;
    std::mutex mutex;
    std::condition_variable finished;
    WorkerResult result;
    const Clock::time_point start = Clock::now();
    std::thread worker([&] {
        WorkerResult local;
        try {
            local.status = readRequest(request, contents, failure);
        } catch (const std::bad_alloc&) {
            local.out_of_memory = true;
        }
        std::lock_guard<std::mutex> lock(mutex);
        result = local;
        result.done = true;
        finished.notify_one();
    });
    bool shown = false;
    try {
        std::unique_lock<std::mutex> lock(mutex);
        Clock::time_point next = start + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(kProgressDelaySeconds));
        while (!finished.wait_until(lock, next, [&] { return result.done; })) {
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            lock.unlock();
            showProgress(request.files.size(), seconds);
            shown = true;
            lock.lock();
            next = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(kProgressPeriodSeconds));
        }
    } catch (...) {
        worker.join();  // a joinable thread must not outlive this frame
        throw;
    }
    worker.join();
    if (shown) finishProgress(request.files.size(), std::chrono::duration<double>(Clock::now() - start).count());
    out_of_memory = result.out_of_memory;
    return result.status;
}

// Reads, with the progress line when the request is a series that asks for it.
// Returns the status; `out_of_memory` is set when the reader ran out of memory.
ionex::ReadStatus readContents(const ReadRequest& request, ionex::IonexContents& contents,
                               ionex::ReadFailure& failure, bool& out_of_memory) {
    out_of_memory = false;
    if (request.series && request.progress && request.files.size() > 1) {
        try {
            return readWithProgress(request, contents, failure, out_of_memory);
        } catch (const std::system_error&) {
            // No thread to be had: read without the line.
        }
    }
    try {
        return readRequest(request, contents, failure);
    } catch (const std::bad_alloc&) {
        out_of_memory = true;
        return ionex::ReadStatus::kOk;
    }
}

// Decodes, reads and builds plhs[0]; the objects it owns are gone when it returns.
// Returns true, or false with `error` filled.
bool readAndConvert(IonexCall call, int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[], GatewayError& error) {
    ReadRequest request;
    if (!decodeReadArguments(call, nlhs, nrhs, prhs, request, error)) return false;
    ionex::IonexContents contents;
    ionex::ReadFailure failure;
    bool out_of_memory = false;
    const ionex::ReadStatus status = readContents(request, contents, failure, out_of_memory);
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
    try {
        return readAndConvert(call, nlhs, plhs, nrhs, prhs, error);
    } catch (const std::bad_alloc&) {
        // Everything the call owned is unwound by now; arrays it made the host releases.
        if (plhs[0] != nullptr) {
            mxDestroyArray(plhs[0]);
            plhs[0] = nullptr;
        }
        return fail(error, "ionex:OutOfMemory", "Out of memory while building the result.");
    }
}

}  // namespace gateway
