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

// Appends the names of the files that match `pattern` to `names`, sorted (POSIX glob, or
// FindFirstFile on Windows, where the wildcards apply to the last component only).
// Returns the number of names appended (0 when nothing matches).
std::size_t expandPattern(const std::string& pattern, std::vector<std::string>& names);

}  // namespace gateway
