// Counting the file descriptors a process holds, so that tests can see a call close every
// file it opened.
#pragma once

#include <cstddef>

namespace gwtest {

// Number of file descriptors this process holds open (the listing's own included, the same
// every time). Returns it; 0 when /proc/self/fd cannot be listed.
size_t openDescriptorCount();

}  // namespace gwtest
