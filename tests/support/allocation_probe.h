// Watches the allocations of the test program: the largest single request and the peak of
// the bytes live at once, between reset() and the read.
#pragma once

#include <cstddef>

namespace allocprobe {

// Starts watching afresh. Returns nothing.
void reset();

// The largest single allocation since reset(), in bytes.
size_t largest();

// The most bytes allocated and not yet freed at any moment since reset(), counted from reset().
size_t peak();

}  // namespace allocprobe
