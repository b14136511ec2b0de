// Wildcard matching for the names of a series, the same on POSIX systems and Windows:
// names are UTF-8 everywhere. Listing the folders is the system's part
// (file_pattern_posix.cpp, file_pattern_windows.cpp).

#include "ionex_package/file_pattern.h"

#include "input/file_access.h"

namespace gateway {

namespace {

// ASCII letters in one case when `fold`; every other byte as it is.
// Returns the byte to compare.
unsigned char comparable(char c, bool fold) {
    const auto b = static_cast<unsigned char>(c);
    return fold && b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b - 'A' + 'a') : b;
}

// Matches `name[n..]` against the bracket expression that opens at `pattern[p]` ('[').
// Returns the index just past the closing ']' when the byte matches, std::string::npos when
// it does not; `*literal` is set when the expression has no closing ']' (then '[' is an
// ordinary character).
std::size_t matchBracket(const std::string& pattern, std::size_t p, unsigned char byte, bool fold, bool* literal) {
    std::size_t i = p + 1;
    const bool negate = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    if (negate) ++i;
    bool matched = false;
    bool first = true;
    while (i < pattern.size() && (pattern[i] != ']' || first)) {
        first = false;
        const unsigned char low = comparable(pattern[i], fold);
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            const unsigned char high = comparable(pattern[i + 2], fold);
            matched = matched || (byte >= low && byte <= high);
            i += 3;
        } else {
            matched = matched || byte == low;
            ++i;
        }
    }
    *literal = i >= pattern.size();
    if (*literal) return std::string::npos;
    return matched != negate ? i + 1 : std::string::npos;
}

}  // namespace

bool hasWildcard(const std::string& name) { return name.find_first_of("*?[") != std::string::npos; }

bool fileExists(const std::string& name) { return ionex::isRegularFile(name.c_str()); }

bool matchesPattern(const std::string& name, const std::string& pattern, bool fold_case) {
    // Iterative matching with one backtrack point (the last '*'), as shells do.
    std::size_t n = 0, p = 0;
    std::size_t star_p = std::string::npos, star_n = 0;
    // A leading dot is matched only by a dot, as glob does: hidden files stay hidden.
    if (!name.empty() && name[0] == '.' && (pattern.empty() || pattern[0] != '.')) return false;
    while (n < name.size()) {
        const unsigned char byte = comparable(name[n], fold_case);
        bool advanced = false;
        if (p < pattern.size()) {
            const char c = pattern[p];
            if (c == '*') {
                star_p = p++;
                star_n = n;
                continue;
            }
            if (c == '?') {
                ++p;
                ++n;
                // One character: the continuation bytes of a UTF-8 sequence go with it.
                while (n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) ++n;
                advanced = true;
            } else if (c == '[') {
                bool literal = false;
                const std::size_t next = matchBracket(pattern, p, byte, fold_case, &literal);
                if (next != std::string::npos) {
                    p = next;
                    ++n;
                    advanced = true;
                } else if (literal && byte == '[') {
                    ++p;
                    ++n;
                    advanced = true;
                }
            } else if (comparable(c, fold_case) == byte) {
                ++p;
                ++n;
                advanced = true;
            }
        }
        if (advanced) continue;
        if (star_p == std::string::npos) return false;
        p = star_p + 1;  // let the last '*' take one more byte
        n = ++star_n;
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace gateway
