// Conversion of one number of a TEC data line.
#pragma once

namespace ionex {

// Converts the number at `text` exactly as sscanf(text, "%f", value) would (white space
// skipped first). Returns true when a number was converted. Plain integer tokens of up to
// seven digits take a fast path; every other shape goes through sscanf itself.
bool parseFloatToken(const char* text, float* value);

}  // namespace ionex
