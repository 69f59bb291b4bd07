#pragma once

// The functions of risk/rounded_math.h entered at a later phase, so that the
// tests can check each phase against MPFR on its own: on the public path the
// later phases run only when the earlier ones cannot decide, which random
// arguments almost never bring about.

namespace meravel::rounded_math_internal {

enum class FirstPhase {
    Fast,         // plain double arithmetic, then the two below when needed
    DoubleDouble, // double-double arithmetic, then Precise when needed
    Precise,      // risk/precise_math.h alone (and the exact powers)
};

double Exp(FirstPhase first, double x);
double Log(FirstPhase first, double x);
double Pow(FirstPhase first, double x, double y);

} // namespace meravel::rounded_math_internal
