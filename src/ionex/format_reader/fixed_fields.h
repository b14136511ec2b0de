// Numbers and text in fixed columns of one line. A field is the columns [first, last]
// (1-based, inclusive) of a line of `length` characters; columns past the line's end read as
// blanks. These parsers never allocate and never throw.
#pragma once

namespace ionex {

// A run of characters inside a line: [begin, end) offsets.
struct TextSpan {
    long begin;
    long end;
};

// The columns [first, last] of a line of `length` characters, cut to the line and with
// leading and trailing blanks removed. Returns the span (empty when the field is blank).
TextSpan trimmedField(const char* line, long length, int first, int last);

// Tells whether `span` holds no character. Returns true for an empty span.
inline bool isEmpty(const TextSpan& span) { return span.end <= span.begin; }

// Converts the whole of `span` as an integer: optional sign and 1-9 digits, nothing else.
// Returns false (and leaves *value) for an empty span or any other shape.
bool parseIntegerSpan(const char* line, const TextSpan& span, long* value);

// Converts the whole of `span` as a decimal real: optional sign, digits with at most one
// point (at least one digit), optional exponent (E/e/D/d, sign, 1-3 digits). The result is the
// double nearest the decimal. Returns false (and leaves *value) for any other shape.
bool parseRealSpan(const char* line, const TextSpan& span, double* value);

// The same two conversions applied to the trimmed columns [first, last].
bool parseIntegerField(const char* line, long length, int first, int last, long* value);
bool parseRealField(const char* line, long length, int first, int last, double* value);

// 10 to the power `exponent` as a double: exact for |exponent| <= 22. Returns the power.
double powerOfTen(int exponent);

}  // namespace ionex
