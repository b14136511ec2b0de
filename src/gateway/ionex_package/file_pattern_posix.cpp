// Wildcard expansion on POSIX systems: glob, the matches sorted by their bytes.
#ifndef _WIN32

#include <glob.h>

#include <algorithm>

#include "ionex_package/file_pattern.h"

namespace gateway {

std::size_t expandPattern(const std::string& pattern, std::vector<std::string>& names) {
    glob_t found{};
    // Sorted below by bytes, not by the locale's collation, so that every platform and
    // locale gives the same order.
    const int status = glob(pattern.c_str(), GLOB_NOSORT, nullptr, &found);
    std::vector<std::string> matches;
    try {
        for (std::size_t i = 0; status == 0 && i < found.gl_pathc; ++i) {
            // Folders match a pattern too; a series holds files only.
            if (fileExists(found.gl_pathv[i])) matches.push_back(found.gl_pathv[i]);
        }
    } catch (...) {
        globfree(&found);
        throw;
    }
    globfree(&found);
    std::sort(matches.begin(), matches.end());
    names.insert(names.end(), matches.begin(), matches.end());
    return matches.size();
}

}  // namespace gateway

#endif
