// MATLAB stores characters as UTF-16 code units (and so does the stand-in host); Octave
// stores the bytes of its strings, which are UTF-8 on every platform it runs on.
#include "shared/host_text.h"

#include <cstring>
#include <string>

namespace gateway {

namespace {

#if !defined(HAVE_OCTAVE)
// Reads the code point of the UTF-8 sequence at `p` (`left` bytes remain).
// Returns the number of bytes it takes and stores the point in `point`; a byte that starts
// no valid sequence (text that is not UTF-8) is kept as the lone surrogate U+DC00 + byte,
// one code unit, as Python's surrogateescape does.
std::size_t nextCodePoint(const unsigned char* p, std::size_t left, char32_t* point) {
    const unsigned char lead = p[0];
    const std::size_t extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2
                            : lead >= 0xF0 && lead < 0xF5 ? 3 : 4;
    *point = 0xDC00 + lead;
    if (extra == 4 || extra >= left) return 1;
    char32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
    for (std::size_t k = 1; k <= extra; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 1;
        c = (c << 6) | (p[k] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not characters.
    static const char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return 1;
    *point = c;
    return extra + 1;
}

// Counts the UTF-16 code units of the UTF-8 text `p` (`length` bytes). Returns the count.
std::size_t utf16Length(const unsigned char* p, std::size_t length) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < length;) {
        char32_t c = 0;
        i += nextCodePoint(p + i, length - i, &c);
        units += c >= 0x10000 ? 2 : 1;
    }
    return units;
}
#endif

}  // namespace

char* utf8FromHost(const mxArray* input) {
#if defined(MATLAB_MEX_FILE) && !defined(HAVE_OCTAVE)
    return mxArrayToUTF8String(input);
#else
    return mxArrayToString(input);
#endif
}

bool copyUtf8FromHost(const mxArray* input, std::string& text) {
#if defined(HAVE_OCTAVE)
    // Short texts (names, record contents) through a buffer of our own: Octave's copies of
    // its characters are allocations it records until the call ends.
    constexpr std::size_t kShortText = 256;
    const std::size_t count = mxIsChar(input) ? static_cast<std::size_t>(mxGetNumberOfElements(input)) : kShortText;
    char buffer[kShortText];
    if (count < kShortText && mxGetString(input, buffer, static_cast<mwSize>(count + 1)) == 0) {
        buffer[count] = '\0';
        text.assign(buffer);
        return true;
    }
#endif
    char* copy = utf8FromHost(input);
    if (copy == nullptr) return false;
    text.assign(copy);
    mxFree(copy);
    return true;
}

bool hasNulCharacter(const mxArray* input) {
    if (input == nullptr || !mxIsChar(input)) return false;
    const mxChar* characters = mxGetChars(input);
    const std::size_t count = static_cast<std::size_t>(mxGetNumberOfElements(input));
    if (characters == nullptr) return false;
    for (std::size_t i = 0; i < count; ++i) {
        if (characters[i] == 0) return true;
    }
    return false;
}

mxArray* hostTextFromUtf8(const char* text) {
#if defined(HAVE_OCTAVE)
    return mxCreateString(text);
#else
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const std::size_t length = std::strlen(text);
    const std::size_t units = utf16Length(p, length);
    const mwSize dims[2] = {static_cast<mwSize>(units == 0 ? 0 : 1), static_cast<mwSize>(units)};
    mxArray* row = mxCreateCharArray(2, dims);
    mxChar* out = mxGetChars(row);
    std::size_t u = 0;
    for (std::size_t i = 0; i < length;) {
        char32_t c = 0;
        i += nextCodePoint(p + i, length - i, &c);
        if (c >= 0x10000) {
            out[u++] = static_cast<mxChar>(0xD800 + ((c - 0x10000) >> 10));
            out[u++] = static_cast<mxChar>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out[u++] = static_cast<mxChar>(c);
        }
    }
    return row;
#endif
}

}  // namespace gateway
