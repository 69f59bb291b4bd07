#pragma once

// The exponential, the natural logarithm and the power, each rounded
// correctly: the exact result rounded to the nearest double. They are built
// from additions, subtractions, multiplications and divisions alone, each
// rounded by IEEE 754 arithmetic, so that every compiler, C library and
// processor gives the same bits. The C libraries do not: glibc's functions
// are correctly rounded in nearly all cases, but mingw-w64's pow(x, 3.0)
// misses the last bit for about one age in four and its exp now and then,
// and a figure that sits on a rounding edge would print differently.
//
// The exact value is carried as the unevaluated sum of two doubles (about
// 106 bits) to well beyond the final rounding.

namespace meravel {

// e to the power x. Overflows to infinity above about 709.78, underflows to 0
// below about -745.13.
double RoundedExp(double x);
// The natural logarithm, for finite x > 0 (other x: the C library's value).
double RoundedLog(double x);
// x to the power y, for finite x > 0 and finite y; exponents 2 and 3 for any
// x. Other arguments: the C library's value.
double RoundedPow(double x, double y);

} // namespace meravel
