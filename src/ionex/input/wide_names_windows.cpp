// UTF-8 and UTF-16 file names on Windows, converted by the system (strict: invalid input is
// refused rather than replaced, so that a wrong name never opens another file).
#ifdef _WIN32

#include "input/wide_names_windows.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <climits>
#include <cstring>
#include <new>

namespace ionex {

bool toWideName(const char* utf8, WideName* out) {
    if (out == nullptr) return false;
    out->text = nullptr;
    if (utf8 == nullptr) return false;
    const std::size_t length = std::strlen(utf8);
    if (length >= static_cast<std::size_t>(INT_MAX)) return false;
    // -1: the count includes the terminating NUL, which is converted too.
    const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (units <= 0) return false;
    wchar_t* text = new (std::nothrow) wchar_t[static_cast<std::size_t>(units)];
    if (text == nullptr) return false;
    if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, text, units) != units) {
        delete[] text;
        return false;
    }
    out->text = text;
    return true;
}

void releaseWideName(WideName* name) {
    if (name == nullptr) return;
    delete[] name->text;
    name->text = nullptr;
}

std::size_t toUtf8Name(const wchar_t* wide, char* out, std::size_t capacity) {
    if (wide == nullptr || out == nullptr || capacity == 0) return 0;
    const int room = capacity > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(capacity);
    const int bytes = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide, -1, out, room, nullptr, nullptr);
    return bytes <= 0 ? 0 : static_cast<std::size_t>(bytes - 1);
}

}  // namespace ionex

#endif
