#include "risk/rounded_math.h"

#include <cmath>
#include <limits>

namespace meravel {

namespace {

// A double-double: the exact value is hi + lo, with |lo| at most half a unit
// in the last place of hi, so that hi is the sum rounded to nearest.
struct Exact
{
    double hi;
    double lo;
};

// |a| >= |b|, or a = 0.
Exact FastTwoSum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

Exact TwoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a = hi + lo, each half of the significand (Veltkamp).
void Split(double a, double &hi, double &lo)
{
    const double c = 134217729.0 * a; // 2^27 + 1
    hi = c - (c - a);
    lo = a - hi;
}

// a * b exactly (Dekker), with no fused multiply-add.
Exact TwoProduct(double a, double b)
{
    const double p = a * b;
    double ah = 0.0, al = 0.0, bh = 0.0, bl = 0.0;
    Split(a, ah, al);
    Split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

Exact Add(Exact a, Exact b)
{
    Exact s = TwoSum(a.hi, b.hi);
    const Exact t = TwoSum(a.lo, b.lo);
    s = FastTwoSum(s.hi, s.lo + t.hi);
    return FastTwoSum(s.hi, s.lo + t.lo);
}

Exact Multiply(Exact a, Exact b)
{
    const Exact p = TwoProduct(a.hi, b.hi);
    return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

Exact Multiply(Exact a, double b)
{
    const Exact p = TwoProduct(a.hi, b);
    return FastTwoSum(p.hi, p.lo + a.lo * b);
}

Exact Divide(Exact a, double b)
{
    const double q = a.hi / b;
    const Exact p = TwoProduct(q, b);
    return FastTwoSum(q, (((a.hi - p.hi) - p.lo) + a.lo) / b);
}

Exact Scale(Exact a, int exponent)
{
    return {std::ldexp(a.hi, exponent), std::ldexp(a.lo, exponent)};
}

// ln 2, to 106 bits.
constexpr Exact kLn2 = {0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr double kInvLn2 = 0x1.71547652b82fep+0;

// e^a for |a.hi| within the range of doubles.
Exact ExactExp(Exact a)
{
    // a = k ln 2 + r, |r| <= ln 2 / 2; then e^r = (e^(r / 16))^16.
    const double k = std::floor(a.hi * kInvLn2 + 0.5);
    constexpr int kHalvings = 4;
    const Exact r = Scale(Add(a, Multiply(kLn2, -k)), -kHalvings);
    // |r| < 0.022: the Taylor series to r^14 / 14! leaves less than 1e-34.
    // Horner's form, 1 + r (1 + r/2 (1 + r/3 (...))): from r^7 / 7! on, the
    // terms are below 1e-15 and plain doubles carry them closely enough.
    constexpr int kTerms = 14;
    constexpr int kExactTerms = 6;
    double tail = 1.0;
    for (int n = kTerms; n > kExactTerms; --n)
        tail = 1.0 + r.hi * tail / static_cast<double>(n);
    Exact sum = {tail, 0.0};
    for (int n = kExactTerms; n >= 1; --n)
        sum = Add({1.0, 0.0}, Divide(Multiply(sum, r), static_cast<double>(n)));
    for (int i = 0; i < kHalvings; ++i)
        sum = Multiply(sum, sum);
    return Scale(sum, static_cast<int>(k));
}

// ln x for finite x > 0.
Exact ExactLog(double x)
{
    // A first value from the series of atanh, good to about 1e-16 and the
    // same on every platform: x = m 2^e, ln m = 2 atanh((m - 1) / (m + 1)).
    int exponent = 0;
    double m = std::frexp(x, &exponent);
    if (m < 0x1.6a09e667f3bcdp-1) { // 1 / sqrt(2)
        m *= 2.0;
        --exponent;
    }
    const double s = (m - 1.0) / (m + 1.0); // |s| < 0.172
    const double s2 = s * s;
    double series = 0.0;
    for (int n = 12; n >= 1; --n)
        series = series * s2 + 1.0 / static_cast<double>(2 * n + 1);
    const double first = static_cast<double>(exponent) * kLn2.hi + (2.0 * s + 2.0 * s * s2 * series);

    // One Newton step on e^y = x: y = first + ln(1 + t), t = x e^-first - 1,
    // and ln(1 + t) = t - t^2 / 2 to far below the last bit.
    const Exact t = Add(Multiply(ExactExp({-first, 0.0}), x), {-1.0, 0.0});
    return Add({first, 0.0}, Add(t, {-0.5 * t.hi * t.hi, 0.0}));
}

} // namespace

double RoundedExp(double x)
{
    if (std::isnan(x))
        return x;
    if (x > 709.79)
        return std::numeric_limits<double>::infinity();
    if (x < -745.14)
        return 0.0;
    return ExactExp({x, 0.0}).hi;
}

double RoundedLog(double x)
{
    if (!(x > 0.0) || !std::isfinite(x))
        return std::log(x);
    return ExactLog(x).hi;
}

double RoundedPow(double x, double y)
{
    // One rounding of the exact square.
    if (y == 2.0)
        return x * x;
    const double naive = x * x * x;
    if (y == 3.0) {
        // x^2 is exact as a double-double; times x, it is exact to 106 bits.
        if (!std::isfinite(naive) || std::fabs(x) < 0x1p-300 || std::fabs(x) > 0x1p+300)
            return naive;
        return Multiply(TwoProduct(x, x), x).hi;
    }
    if (!(x > 0.0) || !std::isfinite(x) || !std::isfinite(y))
        return std::pow(x, y);
    // The logarithm of 10, the only base the ratio raises, is worked out once.
    static const Exact kLn10 = ExactLog(10.0);
    const Exact power = Multiply(x == 10.0 ? kLn10 : ExactLog(x), y);
    if (power.hi > 709.79)
        return std::numeric_limits<double>::infinity();
    if (power.hi < -745.14)
        return 0.0;
    return ExactExp(power).hi;
}

} // namespace meravel
