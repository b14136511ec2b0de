// Counting the file descriptors a process holds, so that tests can see a call close every
// file it opened.
#pragma once

#include <cstddef>

namespace gwtest {

// Number of files this process holds open, counted as the platform allows
// (testfiles::openFileCount). Returns it; 0 when it cannot be taken.
size_t openDescriptorCount();

}  // namespace gwtest
