// Conversion of one number of a TEC data line.
#pragma once

namespace ionex {

// Converts the number at `text` exactly as sscanf(text, "%f", value) would (white space
// skipped first). Returns true when a number was converted. Plain integer tokens of up to
// seven digits take a fast path; every other shape goes through sscanf itself.
bool parseFloatToken(const char* text, float* value);

// The fast path alone: converts an optional sign and one to seven digits that end at a blank,
// tab, line end or NUL. Returns the end of the digits, or null for any other shape (then
// nothing is stored and the caller falls back to the full conversion).
const char* parsePlainInteger(const char* text, float* value);

}  // namespace ionex
