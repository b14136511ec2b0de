// Temporary folders for tests, made the same way on every platform (std::filesystem, with
// names in UTF-8 so that folders beyond ASCII work on Windows too).
#pragma once

#include <string>

namespace testfiles {

// Makes a new, empty folder under the system's temporary folder, its name starting with
// `prefix`. Returns its path in UTF-8 (with '/' as separator); throws std::runtime_error
// when no folder can be made.
std::string makeTempDir(const std::string& prefix);

// Makes folder `path` (UTF-8) and its parents. Returns true when it exists afterwards.
bool makeDirs(const std::string& path);

// Removes `path` (UTF-8) and everything in it; errors are ignored. Returns nothing.
void removeTree(const std::string& path);

}  // namespace testfiles
