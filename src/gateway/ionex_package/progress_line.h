// The progress line of a long series read: "ionex.read: file k of n (s seconds)", one line in
// the command window rewritten in place with "\r", shown only once a read has lasted a few
// seconds. The reader calls reportProgress after each file, on the host's own thread.
#pragma once

#include <chrono>
#include <cstddef>
#include <exception>

namespace gateway {

// Seconds a read runs before the line appears, and the least time between two updates.
constexpr double kProgressDelaySeconds = 2.0;
constexpr double kProgressPeriodSeconds = 1.0;

// The state of one read's line: when the read started, whether and when the line was last
// written, the files done, and an exception the host raised while writing (e.g. an interrupt).
struct ProgressLine {
    using Clock = std::chrono::steady_clock;
    Clock::time_point start = Clock::now();
    Clock::time_point last_shown{};
    bool shown = false;
    std::size_t files_done = 0;
    std::size_t files_total = 0;
    std::exception_ptr host_exception;
};

// The reader's progress callback; `context` is a ProgressLine. Rewrites the line when the read
// has lasted more than the delay and the last update is a period old. Returns false, keeping
// the host's exception in the ProgressLine, when writing raised one: the read then stops.
bool reportProgress(void* context, std::size_t files_done, std::size_t files_total) noexcept;

// Ends a line that was shown: writes the files done and the total time, then a newline, so
// that later output starts on a line of its own. Returns nothing; a host exception raised
// meanwhile is kept in `line`.
void finishProgress(ProgressLine& line) noexcept;

}  // namespace gateway
