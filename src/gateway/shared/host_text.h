// Text between the host and the gateways: names and messages travel as UTF-8 inside, and
// each host gets them in its own form (MATLAB: UTF-16 characters; Octave: bytes).
#pragma once

#include <string>

#include "mex.h"

namespace gateway {

// The UTF-8 bytes of the char array `input` (MATLAB's mxArrayToUTF8String: its locale's
// mxArrayToString would lose what the code page cannot hold; Octave's characters are
// bytes already). Returns a copy to release with mxFree, or null when `input` is not text.
char* utf8FromHost(const mxArray* input);

// Copies the UTF-8 text of the char array `input` into `text`: what utf8FromHost gives, up to
// its first NUL, a short one read into a buffer of the caller where the host's characters
// are bytes (Octave) instead of through a copy the host allocates and records. Returns false
// when `input` is not text.
bool copyUtf8FromHost(const mxArray* input, std::string& text);

// Tells whether the char array `input` holds a NUL character: such text is cut at its first
// NUL on the way to C strings, so as a file name it would name another file.
// Returns true when it does (false for anything that is not a char array).
bool hasNulCharacter(const mxArray* input);

// A char row holding the UTF-8 text `text` as the host stores characters.
// Returns the new array ('' for empty text).
mxArray* hostTextFromUtf8(const char* text);

}  // namespace gateway
