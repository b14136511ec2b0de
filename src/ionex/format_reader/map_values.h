// The values of IONEX map rows: 16I5 data lines, read by their five-column fields, so that
// touching values ("1015710167") are two values and blanks never split or join them.
#pragma once

namespace ionex {

// Where the values of one row go. Values fill grid columns next, next + 1, ... up to end - 1;
// a kept row stores the value of grid column g at dest[column_of[g]] when that is >= 0.
struct RowFill {
    long next = 0;
    long end = 0;
    const int* column_of = nullptr;
    double* dest = nullptr;  // null: the row is read and checked but not kept
    long stride = 1;         // output column c is dest[c * stride]
    const double* small = nullptr;  // the value of each integer 0..kSmallValues-1 (9999: NaN)
    double divisor = 10.0;   // others: integer / divisor when dividing, else integer * multiplier
    double multiplier = 1.0;
    bool divide = true;
};

// Integers below this are looked up rather than divided: nearly every value of a real file.
constexpr long kSmallValues = 10000;

// The scaled values of the integers 0 .. kSmallValues - 1 for one exponent.
struct ValueTable {
    int exponent = 0;
    bool filled = false;
    double values[kSmallValues];
};

enum class DataLineResult : int {
    kOk = 0,
    kBadField,        // a field that is not an integer
    kBlankField,      // a blank field before the line's last value
    kCutField,        // the line ends inside a field
    kTooManyValues,   // more values than the row has longitudes
};

// The integer a data field writes where the producer had no value.
constexpr long kNoValue = 9999;

// Reads the fields of a trimmed data line of `length` characters into `row`. The line must
// be readable for eight bytes past its end (fields are loaded several at a time). On
// failure *field (1-based) names the field. Returns the result.
DataLineResult readDataValues(const char* line, long length, RowFill& row, long* field);

// Sets the scale of `row` for values written with `exponent`: each value becomes the double
// nearest to integer * 10^exponent. `table` is filled for the exponent when it holds another.
// Returns nothing.
void setRowScale(RowFill& row, int exponent, ValueTable& table);

}  // namespace ionex
