// Printing and flushing of the progress line in each host.

#include "ionex_package/progress_line.h"

#include "mex.h"

namespace gateway {
namespace {

// Makes the host write out what mexPrintf holds, so that the line shows while the call runs.
// Returns nothing.
void flushWindow() {
#if defined(HAVE_OCTAVE)
    mexEvalString("fflush(stdout);");
#else
    mexEvalString("drawnow;");
#endif
}

// Seconds from `from` to now. Returns them.
double secondsSince(ProgressLine::Clock::time_point from) {
    return std::chrono::duration<double>(ProgressLine::Clock::now() - from).count();
}

}  // namespace

bool reportProgress(void* context, std::size_t files_done, std::size_t files_total) noexcept {
    ProgressLine& line = *static_cast<ProgressLine*>(context);
    line.files_done = files_done;
    line.files_total = files_total;
    if (line.host_exception) return false;
    const double seconds = secondsSince(line.start);
    if (seconds <= kProgressDelaySeconds) return true;
    if (line.shown && secondsSince(line.last_shown) < kProgressPeriodSeconds) return true;
    try {
        mexPrintf("\rionex.read: file %zu of %zu (%.0f seconds)", files_done, files_total, seconds);
        flushWindow();
    } catch (...) {
        // The host may raise here (an interrupt, for one); it is raised again once the read
        // has let go of everything it holds.
        line.host_exception = std::current_exception();
        return false;
    }
    line.shown = true;
    line.last_shown = ProgressLine::Clock::now();
    return true;
}

void finishProgress(ProgressLine& line) noexcept {
    if (!line.shown || line.host_exception) return;
    try {
        mexPrintf("\rionex.read: file %zu of %zu (%.1f seconds)\n", line.files_done, line.files_total,
                  secondsSince(line.start));
        flushWindow();
    } catch (...) {
        line.host_exception = std::current_exception();
    }
}

}  // namespace gateway
