// Bracketing a time between two map epochs.
#include "queries/time_bracket.h"

#include <cmath>

namespace ionex {

namespace {

// Degrees the Earth turns under the Sun per day.
constexpr double kDegreesPerDay = 360.0;

// Two distances in time that differ by less than this (days, about 86 us) are a tie: a
// datenum near 7e5 carries about 10 us, so an hour written as a datenum is rarely exact.
constexpr double kTieTolerance = 1e-9;

// Index k of the interval [epochs[k], epochs[k+1]] that holds t (first <= t <= last, at
// least two epochs): guessed from the mean spacing, then walked to the right interval.
// Returns k in [0, count - 2]; an epoch inside the series gets the interval it starts.
size_t findInterval(const TimeAxis& time, double t) {
    const size_t last_interval = time.count - 2;
    double guess = (t - time.first) * time.guess_scale;
    size_t k = 0;
    if (guess > 0) k = guess >= static_cast<double>(last_interval) ? last_interval : static_cast<size_t>(guess);
    while (k > 0 && t < time.epochs[k]) --k;
    while (k < last_interval && t >= time.epochs[k + 1]) ++k;
    return k;
}

}  // namespace

TimeBracket bracketTime(const TimeAxis& time, TimeMethod method, double t) {
    TimeBracket b;
    if (!std::isfinite(t) || time.count == 0) return b;
    if (t < time.first && t >= time.first - kEpochTolerance) t = time.first;
    if (t > time.last && t <= time.last + kEpochTolerance) t = time.last;
    if (t < time.first || t > time.last) return b;
    b.inside = true;
    if (time.count == 1) {
        b.weight[0] = 1;
        return b;
    }
    const size_t k = findInterval(time, t);
    const double t0 = time.epochs[k];
    const double t1 = time.epochs[k + 1];
    // A time within 1 ms of a map epoch is that epoch, so that it uses that map alone.
    if (t - t0 <= kEpochTolerance) t = t0;
    if (t1 - t <= kEpochTolerance) t = t1;
    b.map[0] = k;
    b.map[1] = k + 1;
    if (method == TimeMethod::kNearest) {
        const size_t chosen = (t - t0) >= (t1 - t) - kTieTolerance ? k + 1 : k;
        b.map[0] = chosen;
        b.map[1] = chosen;
        b.weight[0] = 1;
        return b;
    }
    const double span = t1 - t0;
    b.weight[0] = (t1 - t) / span;
    b.weight[1] = (t - t0) / span;
    if (method == TimeMethod::kRotated) {
        b.shift[0] = (t - t0) * kDegreesPerDay;
        b.shift[1] = (t - t1) * kDegreesPerDay;
    }
    return b;
}

}  // namespace ionex
