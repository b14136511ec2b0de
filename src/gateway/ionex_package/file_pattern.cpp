// Wildcard expansion for the names of a series, portable between POSIX systems and Windows.

#include "ionex_package/file_pattern.h"

#include <algorithm>
#include <sys/stat.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <glob.h>
#endif

namespace gateway {

bool hasWildcard(const std::string& name) { return name.find_first_of("*?[") != std::string::npos; }

bool fileExists(const std::string& name) {
    struct stat info;
    return stat(name.c_str(), &info) == 0 && !(info.st_mode & S_IFDIR);
}

#ifdef _WIN32

std::size_t expandPattern(const std::string& pattern, std::vector<std::string>& names) {
    // FindFirstFile returns bare names: keep the directory part of the pattern.
    const std::size_t slash = pattern.find_last_of("/\\:");
    const std::string directory = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    std::vector<std::string> matches;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) matches.push_back(directory + found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(matches.begin(), matches.end());
    names.insert(names.end(), matches.begin(), matches.end());
    return matches.size();
}

#else

std::size_t expandPattern(const std::string& pattern, std::vector<std::string>& names) {
    glob_t matches{};
    const int status = glob(pattern.c_str(), 0, nullptr, &matches);
    std::size_t appended = 0;
    try {
        for (std::size_t i = 0; status == 0 && i < matches.gl_pathc; ++i) {
            // Folders match a pattern too; a series holds files only.
            if (!fileExists(matches.gl_pathv[i])) continue;
            names.push_back(matches.gl_pathv[i]);
            ++appended;
        }
    } catch (...) {
        globfree(&matches);
        throw;
    }
    globfree(&matches);
    return appended;
}

#endif

}  // namespace gateway
