#pragma once

// Number reading and printing for the form's text values. Neither depends on
// the process locale: under French regional settings the C library would read
// and print ',' instead of '.', and the figures must never change with them.

#include <string>
#include <string_view>

namespace meravel {

// Reads the age as the calculator always has: leading white space skipped,
// then the longest prefix of the form [+-] digits [. digits] [(e|E) [+-]
// digits], with at least one digit in the mantissa, converted to the nearest
// double; the rest of the text is ignored. ',' is taken as the decimal
// separator exactly like '.', so "36,5" is 36.5 and not 36. Text without
// such a prefix, hexadecimal forms and words like "inf" or "nan" give 0.0;
// a number too large for a double gives an infinity.
double ParseDecimal(std::string_view text);

// printf's "%<width>.<precision>f" as the C locale prints it: rounded to
// nearest from the exact binary value (ties to even), '.' as the separator,
// padded on the left with spaces to the width.
std::string FormatFixed(double value, int width, int precision);

// The shortest plain decimal ('.' as the separator, no exponent) that
// ParseDecimal reads back as exactly this value: 37 is "37", 36.52 is
// "36.52", whatever text it was read from ("3.7e1", "37ans", "036.520").
std::string ShortestDecimal(double value);

// The text without the white space (as ParseDecimal skips it) typed around
// it, to quote what the user typed.
std::string Trimmed(std::string_view text);

} // namespace meravel
