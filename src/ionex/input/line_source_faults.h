// Test seam of the line source (built only into ionex_core_faults): makes a chosen read throw.
#pragma once

namespace ionex {
namespace testing {

// From now on, the `n`-th read (counted from 1 since each source was opened) of every
// source throws std::runtime_error instead of reading. n <= 0 switches the fault off.
void failReadNumber(long n);

}  // namespace testing
}  // namespace ionex
