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
#include <cwchar>
#include <new>

namespace ionex {

namespace {

// Names of this many UTF-16 units or more fail in the Windows calls that take a plain path
// (MAX_PATH, less the 12 a folder keeps for an 8.3 name). Such names are made absolute and
// given the \\?\ prefix, which lifts the limit; shorter names are passed as they are.
constexpr std::size_t kLongName = 248;

// Whether `name` starts with \\?\ or \\.\, which the system takes without the limit.
// Returns true or false.
bool hasDevicePrefix(const wchar_t* name) {
    return name[0] == L'\\' && name[1] == L'\\' && (name[2] == L'?' || name[2] == L'.') && name[3] == L'\\';
}

// The long form of `name`: absolute ("." and ".." resolved, every "/" of `name` turned into
// "\" in place) and prefixed, \\?\C:\... for a drive, \\?\UNC\server\share\... for a
// share. Returns a new text (release with delete[]), or null when the system cannot make the
// name absolute.
wchar_t* longForm(wchar_t* name) {
    // Behind the prefix only "\" separates; Wine's GetFullPathNameW keeps a "/" as it is.
    for (wchar_t* c = name; *c != L'\0'; ++c) {
        if (*c == L'/') *c = L'\\';
    }
    const DWORD need = GetFullPathNameW(name, 0, nullptr, nullptr);
    if (need == 0) return nullptr;
    wchar_t* full = new (std::nothrow) wchar_t[need];
    if (full == nullptr) return nullptr;
    const DWORD length = GetFullPathNameW(name, need, full, nullptr);
    const bool share = length >= 2 && full[0] == L'\\' && full[1] == L'\\';
    const bool drive = length >= 3 && full[1] == L':' && full[2] == L'\\';
    if (length == 0 || length >= need || !(share || drive)) {
        delete[] full;
        return nullptr;
    }
    const wchar_t* prefix = share ? L"\\\\?\\UNC" : L"\\\\?\\";
    const wchar_t* rest = share ? full + 1 : full;  // the share keeps one of its two backslashes
    const std::size_t prefix_length = std::wcslen(prefix), rest_length = std::wcslen(rest);
    wchar_t* text = new (std::nothrow) wchar_t[prefix_length + rest_length + 1];
    if (text != nullptr) {
        std::wmemcpy(text, prefix, prefix_length);
        std::wmemcpy(text + prefix_length, rest, rest_length + 1);
    }
    delete[] full;
    return text;
}

}  // namespace

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
    if (static_cast<std::size_t>(units - 1) >= kLongName && !hasDevicePrefix(text)) {
        // When the name cannot be made absolute it is passed as given, and fails as before.
        wchar_t* long_text = longForm(text);
        if (long_text != nullptr) {
            delete[] text;
            text = long_text;
        }
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
