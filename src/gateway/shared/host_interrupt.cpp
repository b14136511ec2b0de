// The interrupt check of each host: Octave's and MATLAB's own flags, and the stand-in's
// version of MATLAB's for the C++ tests.

#include "shared/host_interrupt.h"

#include "mex.h"

#if defined(HAVE_OCTAVE)
// octave_interrupt_state (> 0: an interrupt waits), octave_signal_caught and octave_quit.
#include <octave/quit.h>
#else
// MATLAB's check lives in its libut and is missing from its published headers; the stand-in
// host of the tests defines it too.
extern "C" bool utIsInterruptPending(void);
#endif

namespace gateway {
namespace {

// Asks the host whether the user interrupted it. Returns true when an interrupt waits; the
// host's own exceptions pass through.
bool hostInterruptPending() {
#if defined(HAVE_OCTAVE)
    if (octave_interrupt_state > 0) return true;
    // Other signals (SIGTERM, SIGHUP) are Octave's to answer; for those it throws its exit
    // exception. An interrupt that arrives meanwhile is thrown as Octave's interrupt exception.
    if (octave_signal_caught) octave_quit();
    return octave_interrupt_state > 0;
#else
    return utIsInterruptPending();
#endif
}

// The core's stop check; `context` is an InterruptWatch. Returns true once the host was
// interrupted or threw; never throws.
bool shouldStop(void* context) noexcept {
    InterruptWatch& watch = *static_cast<InterruptWatch*>(context);
    if (!watch.interrupted && !watch.host_exception) {
        try {
            watch.interrupted = hostInterruptPending();
        } catch (...) {
            watch.host_exception = std::current_exception();
        }
    }
    return watch.interrupted || static_cast<bool>(watch.host_exception);
}

}  // namespace

ionex::StopCheck watchForInterrupt(InterruptWatch& watch) {
    ionex::StopCheck check;
    check.should_stop = shouldStop;
    check.context = &watch;
    return check;
}

void rethrowHostException(const InterruptWatch& watch) {
    if (watch.host_exception) std::rethrow_exception(watch.host_exception);
}

}  // namespace gateway
