// Wildcard expansion on Windows: the folder listed with the wide-character API, every name
// matched by matchesPattern, the matches sorted by their UTF-8 bytes as on POSIX systems.
#ifdef _WIN32

#include <algorithm>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "input/wide_names_windows.h"
#include "ionex_package/file_pattern.h"

namespace gateway {

namespace {

// Splits `pattern` into its folder part (with its separator) and its last component.
// Returns the folder part.
std::string folderOf(const std::string& pattern) {
    const std::size_t slash = pattern.find_last_of("/\\:");
    return slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
}

}  // namespace

std::size_t expandPattern(const std::string& pattern, std::vector<std::string>& names) {
    // The folder is listed whole and every name matched here: FindFirstFile's own matching
    // knows no [ranges] and also matches the short 8.3 names.
    const std::string folder = folderOf(pattern);
    const std::string last = pattern.substr(folder.size());
    ionex::WideName listing;
    if (!ionex::toWideName((folder + "*").c_str(), &listing)) return 0;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(listing.text, &found);
    ionex::releaseWideName(&listing);
    if (search == INVALID_HANDLE_VALUE) return 0;
    std::vector<std::string> matches;
    try {
        char name[4 * MAX_PATH];
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            if (ionex::toUtf8Name(found.cFileName, name, sizeof name) == 0) continue;
            // Windows folders ignore the case of names; so does the pattern.
            if (matchesPattern(name, last, true)) matches.push_back(folder + name);
        } while (FindNextFileW(search, &found));
    } catch (...) {
        FindClose(search);
        throw;
    }
    FindClose(search);
    std::sort(matches.begin(), matches.end());
    names.insert(names.end(), matches.begin(), matches.end());
    return matches.size();
}

}  // namespace gateway

#endif
