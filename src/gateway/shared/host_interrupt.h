// Ctrl-C during a read. The hosts keep a flag that their signal handler sets when the user
// interrupts; the read peeks at it every few megabytes through the core's stop check and
// ends early. The flag is looked at, never taken: once the call has returned its error, the
// host still acts on the interrupt itself and ends the user's statement, script or loop.
// Whatever the host throws from inside a check (Octave answers SIGTERM by throwing its exit
// exception) is caught here, at the seam, so that it never crosses the core; it is thrown
// again once the read has unwound by its result codes and released everything.
#pragma once

#include <exception>

#include "common/stop_check.h"

namespace gateway {

// What the checks of one read have seen.
struct InterruptWatch {
    bool interrupted = false;           // the user interrupted the host
    std::exception_ptr host_exception;  // the host threw from inside a check
};

// The stop check that asks the host and records what it saw in `watch`, which must outlive
// the read. Returns it.
ionex::StopCheck watchForInterrupt(InterruptWatch& watch);

// Throws the host's own exception kept in `watch`. Call it once everything the read held is
// released. Returns when there is none.
void rethrowHostException(const InterruptWatch& watch);

}  // namespace gateway
