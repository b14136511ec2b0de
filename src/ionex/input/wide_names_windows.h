// Windows only: file names between UTF-8 (what the core and the gateways carry) and UTF-16
// (what the wide Windows API takes and gives).
#pragma once

#ifdef _WIN32

#include <cstddef>

namespace ionex {

// A UTF-16 name made by toWideName; release it with releaseWideName.
struct WideName {
    wchar_t* text = nullptr;
};

// Converts the UTF-8 name `utf8` (NUL-terminated) to UTF-16 in `out`.
// Returns false (and `out` empty) for null, invalid UTF-8 or when out of memory.
bool toWideName(const char* utf8, WideName* out);

// Frees the text of `name`; accepts an empty one. Returns nothing.
void releaseWideName(WideName* name);

// Writes the UTF-8 form of the UTF-16 name `wide` (NUL-terminated) into `out`, NUL included.
// Returns the number of bytes before the NUL, or 0 when `wide` is not valid UTF-16 or the
// name does not fit into `capacity` bytes.
std::size_t toUtf8Name(const wchar_t* wide, char* out, std::size_t capacity);

}  // namespace ionex

#endif
