#include "risk/gestational_ratio.h"

#include "risk/rounded_math.h"

namespace meravel {

namespace {

constexpr double kSquareCoefficient = 0.2718;
constexpr double kLinearCoefficient = 1.023;
constexpr double kConstant = 0.9425;
// Turns a natural logarithm into a decimal one. The published figures were
// computed this way, not with log10, and must be met to the last digit.
constexpr double kLnToLog10 = 0.434294482;
constexpr double kBase = 10.0;

} // namespace

double GestationalRatio(int weeks)
{
    const double w = static_cast<double>(weeks);
    // The same logarithm in both terms, worked out once.
    const double ln = RoundedLog(w);
    const double a = RoundedPow(ln, 2.0) * kSquareCoefficient;
    const double b = RoundedPow(kLnToLog10, 2.0) * a;
    const double d = (ln * kLinearCoefficient) * kLnToLog10;
    const double e = b - d + kConstant;
    return RoundedPow(kBase, e);
}

double GestationalOdds(double ratio, double termOdds)
{
    return (1.0 / ratio) * termOdds;
}

} // namespace meravel
