// Wildcard patterns for the names of a series: `codg*.20i.Z`, `igsg00[1-3]0.22i`.
#pragma once

#include <string>
#include <vector>

namespace gateway {

// Tells whether `name` holds a wildcard character (* ? or [).
// Returns true when it does.
bool hasWildcard(const std::string& name);

// Tells whether `name` names an existing file. Returns true when it does.
bool fileExists(const std::string& name);

// Tells whether the file name `name` (one component) matches the wildcard pattern `pattern`
// as glob matches: * any bytes, ? one character (UTF-8), [a-z] [!a-z] one byte of a set; a leading dot
// only by a dot. `fold_case` ignores the case of ASCII letters (as Windows folders do).
// Returns true when it matches.
bool matchesPattern(const std::string& name, const std::string& pattern, bool fold_case);

// Appends the names of the files that match `pattern` to `names`, sorted by their bytes
// (POSIX glob; on Windows the folder listed with FindFirstFileW and matched by
// matchesPattern, the wildcards in the last component only, '/' and '\\' both separators).
// Returns the number of names appended (0 when nothing matches).
std::size_t expandPattern(const std::string& pattern, std::vector<std::string>& names);

}  // namespace gateway
