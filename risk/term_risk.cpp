#include "risk/term_risk.h"

#include "risk/rounded_math.h"

namespace meravel {

namespace {

// Cuckle: exponential in age plus a floor.
constexpr double kCuckleSlope = 0.2892;
constexpr double kCuckleIntercept = -16.1992104;
constexpr double kCuckleFloor = 0.0005831;

// Hecht: exponential of a cubic in age plus a floor.
constexpr double kHechtConstant = -5.182617;
constexpr double kHechtLinear = 0.6321469;
constexpr double kHechtQuadratic = 0.025215;
constexpr double kHechtCubic = 0.0002285;
constexpr double kHechtFloor = 0.0005907;

// The order of operations below is the published one, each step rounded to
// double by itself, and exp and pow correctly rounded, so that every build
// on every platform computes the same bits and prints the same figures.
double CuckleProbability(double age)
{
    const double x = kCuckleSlope * age + kCuckleIntercept;
    return RoundedExp(x) + kCuckleFloor;
}

double HechtProbability(double age)
{
    double t = kHechtConstant - kHechtLinear * age;
    t = RoundedPow(age, 2.0) * kHechtQuadratic + t;
    const double x = t - RoundedPow(age, 3.0) * kHechtCubic;
    return RoundedExp(x) + kHechtFloor;
}

} // namespace

bool IsAcceptedAge(double age)
{
    // Written so that NaN fails both comparisons; infinities fall outside.
    return age >= kAgeLowerBound && age <= kAgeUpperBound;
}

double TermProbability(double age, RiskFormula formula)
{
    return formula == RiskFormula::Cuckle ? CuckleProbability(age) : HechtProbability(age);
}

RiskFormula FormulaFromIndex(int index)
{
    return index == 0 ? RiskFormula::Cuckle : RiskFormula::Hecht;
}

double OddsFromProbability(double probability)
{
    return 1.0 / probability;
}

bool IsAdviceDue(double odds)
{
    return odds < kReferenceOdds;
}

} // namespace meravel
