#include "risk/gestational_ratio.h"

#include <cmath>

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
    const double a = std::pow(std::log(w), 2.0) * kSquareCoefficient;
    const double b = std::pow(kLnToLog10, 2.0) * a;
    const double d = (std::log(w) * kLinearCoefficient) * kLnToLog10;
    const double e = b - d + kConstant;
    return std::pow(kBase, e);
}

double GestationalOdds(double ratio, double termOdds)
{
    return (1.0 / ratio) * termOdds;
}

} // namespace meravel
