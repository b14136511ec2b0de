#include "open_descriptors.h"

#include "support/open_files.h"

namespace gwtest {

size_t openDescriptorCount() { return testfiles::openFileCount(); }

}  // namespace gwtest
