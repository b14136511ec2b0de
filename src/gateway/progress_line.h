// The progress line of a long series read: one line in the command window, rewritten in
// place with "\r", shown only once a read has lasted a few seconds.
#pragma once

#include <cstddef>

namespace gateway {

// Seconds a read runs before the line appears, and between two updates.
constexpr double kProgressDelaySeconds = 2.0;
constexpr double kProgressPeriodSeconds = 1.0;

// Rewrites the line: "ionex.read: <files> files, <seconds> s" and flushes the window.
// Returns nothing.
void showProgress(std::size_t files, double seconds);

// Ends a line that was shown with the total time, so that later output starts on a line
// of its own. Returns nothing.
void finishProgress(std::size_t files, double seconds);

}  // namespace gateway
