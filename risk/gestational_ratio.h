#pragma once

// Snijders' ratio between the risk at a given gestational age, in completed
// weeks of amenorrhoea, and the risk at term (Ultrasound Obstet Gynecol
// 1999;13:167-70). The odds at w weeks are (1 / r) x N, N the odds at term.

namespace meravel {

// r for weeks >= 1 (the spin control keeps weeks between 1 and 42).
double GestationalRatio(int weeks);

// Odds denominator at the gestational age: the reciprocal of the ratio is
// taken first, then multiplied by the odds at term.
double GestationalOdds(double ratio, double termOdds);

} // namespace meravel
