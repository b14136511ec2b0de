// Conversion of the numbers of TEC map lines, exactly as sscanf's "%f" converts them.
#pragma once

namespace ionex {

// Converts the number at `text` exactly as sscanf(text, "%f", value) would (white space
// skipped first). Returns true when a number was converted. Short decimals take a fast
// path; every other shape goes through sscanf itself.
bool parseFloatToken(const char* text, float* value);

// The fast path alone: converts an optional sign, one to seven digits and an optional
// fraction (digits after a point; seven digits in all) that end at a blank, tab, line end or
// NUL -- or, when `sign_ends` is true, also at a sign. Returns the end of the number, or null
// for any other shape (then nothing is stored and the caller falls back to sscanf).
const char* parseShortDecimal(const char* text, float* value, bool sign_ends = false);

// Reads up to `count` floats from the start of `line` as sscanf(line, "%f %f ...") would.
// Returns the number of values converted before the first failure.
int scanFloats(const char* line, float* values, int count);

}  // namespace ionex
