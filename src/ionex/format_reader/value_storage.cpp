// Per-thread map storage between reads.
#include "format_reader/value_storage.h"

#include <utility>

namespace ionex {

namespace {

// The vectors a thread keeps, empty but with their capacity; released when the thread ends.
thread_local std::vector<std::vector<double>> t_kept;

}  // namespace

std::vector<double> takeValueStorage() {
    std::vector<double> values;
    if (!t_kept.empty()) {
        values.swap(t_kept.back());
        t_kept.pop_back();
    }
    return values;
}

void keepValueStorage(std::vector<double>& values) {
    std::vector<double> taken;
    taken.swap(values);
    const bool keep = taken.capacity() > 0 && taken.capacity() <= kKeptValueBytes / sizeof(double) &&
                      t_kept.size() < kKeptValueVectors;
    if (!keep) return;  // `taken` releases its memory here
    taken.clear();
    try {
        t_kept.push_back(std::move(taken));
    } catch (...) {
        // No room to note it: the memory is released with `taken`.
    }
}

}  // namespace ionex
