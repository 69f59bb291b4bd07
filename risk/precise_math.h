#pragma once

// The last resort of risk/rounded_math.cpp: e^x, ln x and x^y worked out in
// fixed point with as many bits as the rounding needs. Each starts with 256
// bits after the point and doubles them until the result's error bound lies
// on one side of every point halfway between two doubles; then the result is
// the nearest double. That loop ends for every argument whose result is not
// itself halfway between two doubles: e^x and ln x never are (x != 0 and
// x != 1, by the Lindemann-Weierstrass theorem), and the caller settles the
// powers that are. Slow (tens of microseconds), and reached only when the
// double-double evaluation cannot decide: far less than once in a billion
// calls, except on purpose.

namespace meravel::precise {

// e^x, for 2^-54 <= |x| <= 746.
double Exp(double x);
// ln x, for finite x > 0, x != 1. guess: any value within 2^-20 of ln x, which
// saves most of the work.
double Log(double x, double guess);
// x^y, for finite x > 0, x != 1, 0 < |y| < 2^64, and x^y not halfway between
// two doubles. lnGuess: as for Log.
double Pow(double x, double y, double lnGuess);

} // namespace meravel::precise
