// Map storage kept between reads, for the whole process (not per thread: MinGW-w64 frees its
// emulated thread storage before it runs the destructors of thread_local objects).
#include "format_reader/value_storage.h"

#include <mutex>
#include <utility>

namespace ionex {

namespace {

// The vectors kept, empty but with their capacity; released when the program ends.
struct KeptVectors {
    std::mutex mutex;
    std::vector<std::vector<double>> vectors;
};

KeptVectors& kept() {
    static KeptVectors storage;
    return storage;
}

}  // namespace

std::vector<double> takeValueStorage() {
    std::vector<double> values;
    KeptVectors& k = kept();
    std::lock_guard<std::mutex> lock(k.mutex);
    if (!k.vectors.empty()) {
        values.swap(k.vectors.back());
        k.vectors.pop_back();
    }
    return values;
}

void keepValueStorage(std::vector<double>& values) {
    std::vector<double> taken;
    taken.swap(values);
    if (taken.capacity() == 0 || taken.capacity() > kKeptValueBytes / sizeof(double)) return;
    taken.clear();
    KeptVectors& k = kept();
    std::lock_guard<std::mutex> lock(k.mutex);
    if (k.vectors.size() >= kKeptValueVectors) return;  // `taken` releases its memory here
    try {
        k.vectors.reserve(kKeptValueVectors);
        k.vectors.push_back(std::move(taken));
    } catch (...) {
        // No room to note it: the memory is released with `taken`.
    }
}

}  // namespace ionex
