// Printing and flushing of the progress line in each host.

#include "progress_line.h"

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

}  // namespace

void showProgress(std::size_t files, double seconds) {
    mexPrintf("\rionex.read: reading %zu files, %.0f s ", files, seconds);
    flushWindow();
}

void finishProgress(std::size_t files, double seconds) {
    mexPrintf("\rionex.read: read %zu files in %.1f s \n", files, seconds);
    flushWindow();
}

}  // namespace gateway
