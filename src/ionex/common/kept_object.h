// One object of a kind kept for the whole process between uses, so that a steady loop of
// calls makes its large buffers once instead of taking fresh pages from the system each time.
//
// Not thread_local: MinGW-w64 frees its emulated thread storage before it runs the
// destructors of thread_local objects, so an object released at thread exit corrupts the
// heap. Here a use takes the kept object (or none, when another use holds it, and then makes
// its own) and gives it back at its end; what is given back while one is kept is released.
#pragma once

#include <memory>
#include <mutex>

namespace ionex {

template <typename T>
class KeptObject {
public:
    // Takes the kept object, leaving none. Returns it, or null when none is kept.
    std::unique_ptr<T> take() {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::move(kept_);
    }

    // Keeps `object` for the next use, unless one is kept already (then `object` is
    // released). Accepts null. Returns nothing.
    void give(std::unique_ptr<T> object) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (kept_ == nullptr) kept_ = std::move(object);
    }

private:
    std::mutex mutex_;
    std::unique_ptr<T> kept_;
};

}  // namespace ionex
