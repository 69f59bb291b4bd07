#pragma once

// Probability at term that a pregnancy is affected by Down syndrome, from the
// mother's age, by one of two published maternal-age formulas. The form parses
// the age, checks it with IsAcceptedAge, then asks for the probability p and
// shows it as a percentage and as odds of 1 in N, N = 1 / p.

namespace meravel {

// Values equal the index of the entry in the window's formula list.
enum class RiskFormula { Cuckle = 0, Hecht = 1 };

inline constexpr double kAgeLowerBound = 18.0;
inline constexpr double kAgeUpperBound = 45.0;
// Odds of 1 in 250 at term: below that N the advice line is shown.
inline constexpr double kReferenceOdds = 250.0;

// True for 18 <= age <= 45; NaN and infinities are rejected.
bool IsAcceptedAge(double age);

// Meaningful only for accepted ages, where it lies between about 0.0006 and
// 0.042; outside them it may exceed 1, be infinite or not a number.
double TermProbability(double age, RiskFormula formula);

// Index 0 of the formula list is Cuckle; every other index, including -1 for
// a list without a selection, is Hecht.
RiskFormula FormulaFromIndex(int index);

// Odds denominator N = 1 / p.
double OddsFromProbability(double probability);

// Advice is due when N < 250; N equal to 250 gives none.
bool IsAdviceDue(double odds);

} // namespace meravel
