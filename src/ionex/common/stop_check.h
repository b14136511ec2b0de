// How a caller asks a long read to stop: a check the input layer calls now and then (every
// few megabytes of input) while it reads. The core never blocks on it and never throws
// through it; a read that is told to stop ends as at the end of its input and says so.
#pragma once

namespace ionex {

// `should_stop(context)` returns true when the read is to end now. It must not throw. A null
// `should_stop` never stops.
struct StopCheck {
    bool (*should_stop)(void* context) = nullptr;
    void* context = nullptr;
};

// Asks `check` whether to stop. Returns false when there is no check.
inline bool stopRequested(const StopCheck& check) {
    return check.should_stop != nullptr && check.should_stop(check.context);
}

}  // namespace ionex
