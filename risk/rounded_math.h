#pragma once

// The exponential, the natural logarithm and the power, each rounded
// correctly: for every argument, the exact result rounded once to the
// nearest double (ties to even), subnormal results and the overflow to
// infinity included. They are built from integer arithmetic and IEEE 754
// additions, subtractions, multiplications and divisions, which round alike
// everywhere, so that every compiler, C library and processor gives the same
// bits. The C libraries do not: glibc's functions are correctly rounded in
// nearly all cases, but mingw-w64's pow(x, 3.0) misses the last bit for about
// one age in four and its exp now and then, and a figure that sits on a
// rounding edge would print differently.
//
// How: a first value in plain double arithmetic, with a proven bound on its
// error (about 2^-67 relative), is rounded when every value within that bound
// rounds alike, which is all but about one call in several thousand.
// Otherwise a double-double value, about 2^-100 from exact, decides, and when
// even that cannot, risk/precise_math.h works with as many bits as it takes.
// The powers that are exact, or halfway between two doubles, are found and
// rounded exactly.
//
// Checked against MPFR by tests/test_rounded_math.cpp: every argument the
// calculator uses, and random and hard arguments in every range, through each
// phase on its own.

namespace meravel {

// e^x. Infinity above about 709.78, 0 below about -745.13; NaN for NaN.
double RoundedExp(double x);

// ln x for finite x > 0; -infinity for x = 0 (either sign), infinity for
// infinity, NaN for x < 0 and for NaN.
double RoundedLog(double x);

// x^y, for finite x > 0 and finite y. A negative x is raised to an integer y
// as |x|^y, negated when y is odd, rounded just as correctly; to any other y
// it gives NaN. Zeros, infinities and NaN follow C99's pow (its annex F):
// x^0 = 1 and 1^y = 1 even for NaN, 0^y = infinity for y < 0, and so on.
double RoundedPow(double x, double y);

} // namespace meravel
