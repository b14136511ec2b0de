// Tokenizer of TEC data lines: the values of one latitude row, continued over lines.
#pragma once

#include "common/records.h"

namespace ionex {

// Reads the numbers of one NUL-terminated data line whose first value is column `column` of
// its row, and stores scale * value at row_values[column - lon_index.first] for the columns
// inside lon_index. Tokens run from one space to the next; a token that is not a number is
// passed over and not counted. Returns the column after the line's last value (counting may
// stop once the row is past the window's last column).
long readDataLine(const char* line, long column,
                  const Range<int>& lon_index, double scale, double* row_values);

}  // namespace ionex
