// Storage of map values kept between reads: a read takes the memory an earlier read left,
// so that a steady loop of reads takes no memory from the system for its maps. What is kept
// is bounded: a vector larger than kKeptValueBytes (a file far beyond a daily one) is
// released instead, and at most kKeptValueVectors are kept. Safe to call from any thread.
#pragma once

#include <cstddef>
#include <vector>

namespace ionex {

constexpr std::size_t kKeptValueBytes = std::size_t{4} << 20;  // per vector kept
constexpr std::size_t kKeptValueVectors = 3;                   // one per kind of map

// An empty vector, with the capacity of one an earlier read gave back when there is one.
// Returns it.
std::vector<double> takeValueStorage();

// Keeps the memory of `values` for a later read (within the bounds above),
// else releases it. Leaves `values` empty, without memory. Returns nothing.
void keepValueStorage(std::vector<double>& values);

}  // namespace ionex
