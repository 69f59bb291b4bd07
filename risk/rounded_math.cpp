#include "risk/rounded_math.h"

#include "risk/binary64.h"
#include "risk/precise_math.h"
#include "risk/rounded_math_internal.h"
#include "risk/rounded_math_tables.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

namespace meravel {

namespace {

using rounded_math_internal::FirstPhase;
using rounded_math_tables::kExp2;
using rounded_math_tables::kLog;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The error bounds the rounding tests use, relative to the result, each
// above the bound worked out beside its phase by a factor of two or more.
constexpr double kFastExpError = 0x1p-66;
constexpr double kFastLogError = 0x1p-66;
constexpr double kDoubleDoubleExpError = 0x1p-96;
constexpr double kDoubleDoubleLogError = 0x1p-96;
constexpr double kCubeError = 0x1p-99;

// The exponentials of arguments beyond these overflow, or fall below half
// the smallest subnormal: ln(2^1024 - 2^970) = 709.7827..., ln(2^-1075) =
// -745.1332...
constexpr double kOverflowArgument = 709.79;
constexpr double kUnderflowArgument = -745.14;

// A double-double: the value hi + lo, |lo| at most half a unit in the last
// place of hi, or less than 2^-52 |hi| where said.
struct DoubleDouble
{
    double hi;
    double lo;
};

// |a| >= |b|, or a = 0.
DoubleDouble FastTwoSum(double a, double b)
{
    const double s = a + b;
    return {s, b - (s - a)};
}

DoubleDouble TwoSum(double a, double b)
{
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// a = hi + lo, each half of the significand (Veltkamp), for |a| < 2^996.
void Split(double a, double &hi, double &lo)
{
    const double c = 134217729.0 * a; // 2^27 + 1
    hi = c - (c - a);
    lo = a - hi;
}

// a b exactly (Dekker), with no fused multiply-add, while nothing underflows.
DoubleDouble TwoProduct(double a, double b)
{
    const double p = a * b;
    double ah = 0.0, al = 0.0, bh = 0.0, bl = 0.0;
    Split(a, ah, al);
    Split(b, bh, bl);
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

// c[0] + x (c[1] + x (c[2] + ...)) in doubles, Horner's rule.
template <std::size_t N> double Horner(double x, const double (&c)[N])
{
    double sum = c[N - 1];
    for (std::size_t n = N - 1; n-- > 0;)
        sum = c[n] + x * sum;
    return sum;
}

// The double-double operations, each with a relative error below 7u^2,
// u = 2^-53 (Joldes, Muller, Popescu, ACM TOMS 44(2), 2017: algorithms 6,
// 10 and 7, bounds 3u^2, 7u^2 and 1.5u^2).
DoubleDouble Add(DoubleDouble a, DoubleDouble b)
{
    DoubleDouble s = TwoSum(a.hi, b.hi);
    const DoubleDouble t = TwoSum(a.lo, b.lo);
    s = FastTwoSum(s.hi, s.lo + t.hi);
    return FastTwoSum(s.hi, s.lo + t.lo);
}

DoubleDouble Multiply(DoubleDouble a, DoubleDouble b)
{
    const DoubleDouble p = TwoProduct(a.hi, b.hi);
    return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

DoubleDouble Multiply(DoubleDouble a, double b)
{
    const DoubleDouble p = TwoProduct(a.hi, b);
    const DoubleDouble t = FastTwoSum(p.hi, a.lo * b);
    return FastTwoSum(t.hi, t.lo + p.lo);
}

// The rounding tests. The exact result v lies within err of hi + lo, and
// rounding to nearest never decreases as its argument grows: when
// hi + (lo - err) and hi + (lo + err), each sum rounded once, give the same
// double, v rounds to it too. The roundings of lo - err and lo + err
// themselves are covered when |lo| <= 2^-52 |hi| and err exceeds the proven
// bound by 2^-100 |hi|.
std::optional<double> Decide(double hi, double lo, double err)
{
    const double down = hi + (lo - err);
    const double up = hi + (lo + err);
    if (down != up)
        return std::nullopt;
    return down;
}

// The same for v 2^scale, hi >= 1/2. Below 2^-1022 the doubles are the
// multiples of 2^-1074: with c standing for 2^-1022, c + v lies where the
// doubles are spaced by 2^-1074 too, so that adding c rounds v to the
// subnormals in one step, ties to even included (c is an even multiple).
std::optional<double> DecideScaled(double hi, double lo, double err, int scale)
{
    if (scale < -1020) {
        const double c = binary64::Pow2(-1022 - scale);
        if (hi < c || (hi == c && lo < 0.0)) {
            const DoubleDouble s = TwoSum(c, hi);
            // s.lo + lo is below 2^-51 c: its rounding is covered by the margin.
            const auto rounded = Decide(s.hi, s.lo + lo, err + c * 0x1p-100);
            if (!rounded)
                return std::nullopt;
            return binary64::ScaleBy2(*rounded - c, scale);
        }
    }
    const auto rounded = Decide(hi, lo, err);
    if (!rounded)
        return std::nullopt;
    return binary64::ScaleBy2(*rounded, scale);
}

// e^x = (hi + lo) 2^scale.
struct Scaled
{
    double hi;
    double lo;
    int scale;
};

// x = k ln 2 / 128 + r, |r| <= ln 2 / 256 (1 + 2^-30) < 2^-8.52; the first
// part has 35 bits, so that k times it is exact for |k| < 2^18.
constexpr double kInv128thLn2 = 0x1.71547652b82fep+7;
constexpr double k128thLn2Hi = 0x1.62e42fefcp-8;
constexpr double k128thLn2Mid = -0x1.c610ca86c3899p-44;
constexpr double k128thLn2Lo = 0x1.803f2f6af40f3p-99;
// Adding and taking away 1.5 2^52 rounds to an integer.
constexpr double kRoundingShifter = 0x1.8p52;

// k, the multiple of ln 2 / 128 nearest to xh, |xh| <= 746.
double NearestMultiple(double xh)
{
    return (xh * kInv128thLn2 + kRoundingShifter) - kRoundingShifter;
}

// e^(xh + xl), for |xh| <= 746, |xl| <= 2^-50 |xh|, in plain doubles:
// e^x = 2^(k/128) e^r = T (1 + r + r^2/2 + ... + r^6/720), T from the table.
// The absolute errors, T < 2: the series stopped at r^6, 2^-71; r^2 and the
// Horner sum in doubles, 2^-68.5; the roundings of pl, T.hi pl and the low
// part, 3 x 2^-70; T.lo pl left out, 2^-71; r itself, 2^-76. Of a result of
// at least T / 1.003, that is below 2^-68 relative.
Scaled FastExpCore(double xh, double xl)
{
    const double kd = NearestMultiple(xh);
    const int k = static_cast<int>(kd);
    // xh - k Hi is exact (Sterbenz).
    const DoubleDouble r = TwoSum(xh - kd * k128thLn2Hi, xl - kd * k128thLn2Mid);
    const double rh = r.hi;
    constexpr double kSeries[] = {0.5, 0x1.5555555555555p-3, 0x1.5555555555555p-5, 0x1.1111111111111p-7,
        0x1.6c16c16c16c17p-10}; // 1/n! from n = 2
    const double q = rh * rh * Horner(rh, kSeries);
    // e^r - 1 = rh + pl, with r.lo's first-order part.
    const double pl = r.lo * (1.0 + rh) + q;
    const auto &t = kExp2[k & 127];
    const DoubleDouble p = TwoProduct(t.hi, rh);
    const DoubleDouble s = FastTwoSum(t.hi, p.hi);
    const double lo = (s.lo + ((t.lo + p.lo) + t.lo * rh)) + t.hi * pl;
    const DoubleDouble v = FastTwoSum(s.hi, lo);
    return {v.hi, v.lo, k >> 7};
}

// The same in double-doubles: r to about 2^-112, the series to r^10 (its
// rest below 2^-119), and T (1 + r P(r)) by about 16 double-double
// operations. The errors of the inner Horner steps shrink by |r| < 2^-8.5
// on the way out, so the result's relative error is below 20u^2 = 2^-101.7.
Scaled DoubleDoubleExpCore(double xh, double xl)
{
    const double kd = NearestMultiple(xh);
    const int k = static_cast<int>(kd);
    const DoubleDouble mid = TwoProduct(kd, k128thLn2Mid);
    const DoubleDouble r = Add(TwoSum(xh - kd * k128thLn2Hi, -mid.hi), TwoSum(xl, -mid.lo - kd * k128thLn2Lo));
    // 1/n!, the first five in double-doubles.
    constexpr DoubleDouble kHead[] = {{1.0, 0.0}, {1.0, 0.0}, {0.5, 0.0}, {0x1.5555555555555p-3, 0x1.5555555555555p-57},
        {0x1.5555555555555p-5, 0x1.5555555555555p-59}, {0x1.1111111111111p-7, 0x1.1111111111111p-63}};
    constexpr double kTail[] = {0x1.6c16c16c16c17p-10, 0x1.a01a01a01a01ap-13, 0x1.a01a01a01a01ap-16,
        0x1.71de3a556c734p-19, 0x1.27e4fb7789f5cp-22}; // from n = 6
    const double tail = Horner(r.hi, kTail);
    DoubleDouble poly = {tail, 0.0};
    for (int n = 5; n >= 0; --n)
        poly = Add(kHead[n], Multiply(r, poly));
    const auto &t = kExp2[k & 127];
    const DoubleDouble v = Multiply({t.hi, t.lo}, poly);
    return {v.hi, v.lo, k >> 7};
}

// x = 2^e m, and m c - 1 = rh + rl exactly, c from the table's entry i.
struct LogReduction
{
    double e;
    int i;
    double rh;
    double rl;
};

// ln 2 = Hi + Mid + Lo, the first with 42 bits, so that e Hi is exact.
constexpr double kLn2Hi = 0x1.62e42fefa38p-1;
constexpr double kLn2Mid = 0x1.ef35793c7673p-45;
constexpr double kLn2Lo = 0x1.f97b57a079a19p-103;

LogReduction ReduceLog(double x)
{
    int exponent = 0;
    const double m = binary64::Significand(x, exponent);
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(m);
    // The nearest i / 128 to m - 1, from its leading 8 bits.
    const int i = static_cast<int>((((bits >> 44) & 0xff) + 1) >> 1);
    const double c = kLog[i].c;
    // m = mh + ml, mh its leading 27 bits: with c's 26, both products are
    // exact, and mh c - 1 too (Sterbenz).
    const double mh = std::bit_cast<double>(bits & ~((std::uint64_t{1} << 26) - 1));
    const DoubleDouble r = TwoSum(mh * c - 1.0, (m - mh) * c);
    return {static_cast<double>(exponent + ((i + 64) >> 7)), i, r.hi, r.lo};
}

// ln x = e ln 2 + ln(1/c) + ln(1 + r), |r| < 2^-8, in plain doubles:
// r - r^2/2 exact, the rest of the series to r^9 in doubles.
// ln(1 + r) is off by less than 2^-67.6 |r|: the series stopped at r^9,
// 2^-75.3; its part from r^3 on, 2^-68.2; two roundings of the low part,
// 2 x 2^-70.5. When e and i give nothing (x near 1), that is all, and
// relative to ln x. Otherwise |ln x| >= |r| / 1.01 and the table, e ln 2 and
// the last sums add below 2^-69.5 |ln x|: below 2^-67 relative in all.
DoubleDouble FastLog(const LogReduction &red)
{
    const double rh = red.rh;
    const DoubleDouble square = TwoProduct(rh, rh);
    const DoubleDouble head = TwoSum(rh, -0.5 * square.hi);
    constexpr double kSeries[] = {0x1.5555555555555p-2, -0.25, 0x1.999999999999ap-3, -0x1.5555555555555p-3,
        0x1.2492492492492p-3, -0.125, 0x1.c71c71c71c71cp-4}; // (-1)^(n+1) / n from n = 3
    const double cubic = rh * square.hi * Horner(rh, kSeries);
    // rl's first-order part: rl / (1 + rh).
    const double rest = head.lo + ((red.rl * ((1.0 - rh) + square.hi) - 0.5 * square.lo) + cubic);
    const auto &entry = kLog[red.i];
    // |e Hi| > |entry.hi| when e != 0; |a.hi| > |head.hi| when a.hi != 0.
    const DoubleDouble a = FastTwoSum(red.e * kLn2Hi, entry.hi);
    const DoubleDouble b = FastTwoSum(a.hi, head.hi);
    const double lo = b.lo + ((a.lo + (entry.lo + red.e * kLn2Mid)) + rest);
    return FastTwoSum(b.hi, lo);
}

// The same in double-doubles, the series to r^13 (its rest below 2^-107.8
// |r|): below 25u^2 = 2^-101.4 relative.
DoubleDouble DoubleDoubleLog(const LogReduction &red)
{
    const DoubleDouble r = {red.rh, red.rl};
    // (-1)^(n+1) / n, the first seven in double-doubles.
    constexpr DoubleDouble kHead[] = {{0.0, 0.0}, {1.0, 0.0}, {-0.5, 0.0},
        {0x1.5555555555555p-2, 0x1.5555555555555p-56}, {-0.25, 0.0}, {0x1.999999999999ap-3, -0x1.999999999999ap-57},
        {-0x1.5555555555555p-3, -0x1.5555555555555p-57}, {0x1.2492492492492p-3, 0x1.2492492492492p-57}};
    constexpr double kTail[] = {-0.125, 0x1.c71c71c71c71cp-4, -0x1.999999999999ap-4, 0x1.745d1745d1746p-4,
        -0x1.5555555555555p-4, 0x1.3b13b13b13b14p-4}; // from n = 8
    const double tail = Horner(r.hi, kTail);
    DoubleDouble poly = {tail, 0.0};
    for (int n = 7; n >= 1; --n)
        poly = Add(kHead[n], Multiply(r, poly));
    const DoubleDouble mid = TwoProduct(red.e, kLn2Mid);
    const DoubleDouble eLn2 = FastTwoSum(red.e * kLn2Hi, mid.hi);
    const DoubleDouble e = FastTwoSum(eLn2.hi, eLn2.lo + (mid.lo + red.e * kLn2Lo));
    const auto &entry = kLog[red.i];
    return Add(Add(e, {entry.hi, entry.lo}), Multiply(r, poly));
}

// A first value of ln x for the last phase.
double LogGuess(double x)
{
    return FastLog(ReduceLog(x)).hi;
}

// x^y exactly, rounded to nearest, when it is n 2^E with n an odd integer
// below 2^64; nothing otherwise. Every x^y halfway between two doubles is
// among them (its odd part is below 2^54), so the last phase never meets
// one. x > 0 and y != 0 finite, x != 1, |y| < 2^64.
//
// Write x = mx 2^ex, mx odd, and y = ny / 2^ky, ny odd (ky = 0 when y is an
// integer). When mx = 1, x^y = 2^(ex y), a power of two when ex y is an
// integer and irrational otherwise. When mx > 1, x^y is rational only if mx
// is a 2^ky-th power t^(2^ky) and 2^ky divides ex, and then it is
// t^ny 2^(ex ny / 2^ky), whose odd part t^ny is an integer only for ny > 0,
// and below 2^64 only for ky <= 5 (t >= 3) and ny < 41.
std::optional<double> ExactPow(double x, double y)
{
    int ex = 0;
    const double xs = binary64::Significand(x, ex);
    std::uint64_t mx = static_cast<std::uint64_t>(xs * 0x1p52);
    ex -= 52 - std::countr_zero(mx);
    mx >>= std::countr_zero(mx);
    int ey = 0;
    const double ys = binary64::Significand(y < 0.0 ? -y : y, ey);
    std::uint64_t my = static_cast<std::uint64_t>(ys * 0x1p52);
    ey -= 52 - std::countr_zero(my);
    my >>= std::countr_zero(my);
    // |y| = my 2^ey, my odd.
    const int ky = ey < 0 ? -ey : 0;
    const bool negative = y < 0.0;

    std::uint64_t odd = 1;
    std::int64_t exponent = 0;
    if (mx == 1) {
        // 2^ex y: in range only for |ex y| < 2^11, so my < 2^11 with ky = 0.
        if (ky > 10 || ex % (1 << ky) != 0)
            return std::nullopt;
        if (ey > 11 || my >= (std::uint64_t{1} << 11))
            return (ex > 0) != negative ? kInfinity : 0.0;
        exponent = static_cast<std::int64_t>(ex / (1 << ky)) * static_cast<std::int64_t>(my << (ey > 0 ? ey : 0));
        if (negative)
            exponent = -exponent;
    } else {
        if (negative || ky > 5 || ex % (1 << ky) != 0)
            return std::nullopt;
        std::uint64_t t = mx;
        for (int i = 0; i < ky; ++i) {
            auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(t)));
            while (root * root > t)
                --root;
            while ((root + 1) * (root + 1) <= t)
                ++root;
            if (root * root != t)
                return std::nullopt;
            t = root;
        }
        // t >= 3: t^41 > 2^64.
        if (ey > 5 || my > 40)
            return std::nullopt;
        const std::uint64_t n = my << (ey > 0 ? ey : 0);
        if (n > 40)
            return std::nullopt;
        for (std::uint64_t j = 0; j < n; ++j) {
            if (odd > std::numeric_limits<std::uint64_t>::max() / t)
                return std::nullopt;
            odd *= t;
        }
        exponent = static_cast<std::int64_t>(ex / (1 << ky)) * static_cast<std::int64_t>(n);
    }

    // odd 2^exponent, rounded to 53 bits or to a multiple of 2^-1074.
    const int length = std::bit_width(odd);
    if (exponent + length - 1 >= 1024)
        return kInfinity;
    if (exponent + length < -1075)
        return 0.0;
    const std::int64_t drop = std::max<std::int64_t>(length - 53, -1074 - exponent);
    if (drop <= 0)
        return binary64::ScaleBy2(static_cast<double>(odd), static_cast<int>(exponent));
    if (drop > length)
        return 0.0; // below half the last bit
    std::uint64_t kept = drop >= 64 ? 0 : odd >> drop;
    const std::uint64_t below = drop >= 64 ? odd : odd & ((std::uint64_t{1} << drop) - 1);
    const std::uint64_t half = std::uint64_t{1} << (drop - 1);
    if (below > half || (below == half && (kept & 1) != 0))
        ++kept;
    return binary64::ScaleBy2(static_cast<double>(kept), static_cast<int>(exponent + drop));
}

// x^3 for finite x > 0: m^3 in two products exact in double-doubles, less
// than 2^-101.4 from exact after the last two roundings, so that the
// rounding test fails only within 2^-99 of a point halfway between two
// doubles, or on one: those are exact, below.
double Cube(FirstPhase first, double x)
{
    int e = 0;
    const double m = binary64::Significand(x, e);
    if (3 * e >= 1024)
        return kInfinity;
    if (3 * e + 3 <= -1075)
        return 0.0;
    if (first != FirstPhase::Precise) {
        const DoubleDouble square = TwoProduct(m, m);
        const DoubleDouble product = TwoProduct(square.hi, m);
        const DoubleDouble cube = FastTwoSum(product.hi, product.lo + square.lo * m);
        if (const auto rounded = DecideScaled(cube.hi, cube.lo, cube.hi * kCubeError, 3 * e))
            return *rounded;
    }
    if (const auto exact = ExactPow(x, 3.0))
        return *exact;
    return precise::Pow(x, 3.0, LogGuess(x));
}

// x^y = e^(y ln x) for finite x > 0, x != 1, finite y != 0.
double PowPositive(FirstPhase first, double x, double y)
{
    if (y == 3.0)
        return Cube(first, x);
    // |ln x| >= 2^-53 for every double x != 1, so |y ln x| >= 2^11.
    if (std::fabs(y) >= 0x1p64)
        return (x > 1.0) == (y > 0.0) ? kInfinity : 0.0;
    const LogReduction red = ReduceLog(x);
    const DoubleDouble ln = FastLog(red);
    if (first == FirstPhase::Fast) {
        // z = y ln x to within 2^-67 |z|, each part of the error carried
        // into the result's relative error.
        const DoubleDouble product = TwoProduct(y, ln.hi);
        const double zh = product.hi;
        if (zh > kOverflowArgument)
            return kInfinity;
        if (zh < kUnderflowArgument)
            return 0.0;
        const Scaled v = FastExpCore(zh, product.lo + y * ln.lo);
        const double err = v.hi * (kFastExpError + kFastLogError * std::fabs(zh));
        if (const auto rounded = DecideScaled(v.hi, v.lo, err, v.scale))
            return *rounded;
    }
    if (first != FirstPhase::Precise) {
        const DoubleDouble z = Multiply(DoubleDoubleLog(red), y);
        if (z.hi > kOverflowArgument)
            return kInfinity;
        if (z.hi < kUnderflowArgument)
            return 0.0;
        const Scaled v = DoubleDoubleExpCore(z.hi, z.lo);
        const double err = v.hi * (kDoubleDoubleExpError + kDoubleDoubleLogError * std::fabs(z.hi));
        if (const auto rounded = DecideScaled(v.hi, v.lo, err, v.scale))
            return *rounded;
    }
    if (const auto exact = ExactPow(x, y))
        return *exact;
    return precise::Pow(x, y, ln.hi);
}

bool IsInteger(double y)
{
    // Every double of magnitude 2^52 or more is an integer.
    return std::fabs(y) >= 0x1p52 || static_cast<double>(static_cast<std::int64_t>(y)) == y;
}

bool IsOddInteger(double y)
{
    return std::fabs(y) < 0x1p53 && IsInteger(y) && (static_cast<std::int64_t>(y) & 1) != 0;
}

} // namespace

namespace rounded_math_internal {

double Exp(FirstPhase first, double x)
{
    if (std::isnan(x))
        return x;
    if (x > kOverflowArgument)
        return kInfinity;
    if (x < kUnderflowArgument)
        return 0.0;
    // e^x lies strictly between 1 - 2^-54 and 1 + 2^-53 here: it rounds to 1.
    if (x >= -0x1p-54 && x < 0x1p-53)
        return 1.0;
    if (first == FirstPhase::Fast) {
        const Scaled v = FastExpCore(x, 0.0);
        if (const auto rounded = DecideScaled(v.hi, v.lo, v.hi * kFastExpError, v.scale))
            return *rounded;
    }
    if (first != FirstPhase::Precise) {
        const Scaled v = DoubleDoubleExpCore(x, 0.0);
        if (const auto rounded = DecideScaled(v.hi, v.lo, v.hi * kDoubleDoubleExpError, v.scale))
            return *rounded;
    }
    return precise::Exp(x);
}

double Log(FirstPhase first, double x)
{
    if (std::isnan(x) || x == kInfinity)
        return x;
    if (x < 0.0)
        return std::numeric_limits<double>::quiet_NaN();
    if (x == 0.0)
        return -kInfinity;
    if (x == 1.0)
        return 0.0;
    const LogReduction red = ReduceLog(x);
    const DoubleDouble fast = FastLog(red);
    if (first == FirstPhase::Fast) {
        if (const auto rounded = Decide(fast.hi, fast.lo, std::fabs(fast.hi) * kFastLogError))
            return *rounded;
    }
    if (first != FirstPhase::Precise) {
        const DoubleDouble ln = DoubleDoubleLog(red);
        if (const auto rounded = Decide(ln.hi, ln.lo, std::fabs(ln.hi) * kDoubleDoubleLogError))
            return *rounded;
    }
    return precise::Log(x, fast.hi);
}

double Pow(FirstPhase first, double x, double y)
{
    // The rules of C99's pow (its annex F) for zeros, infinities and NaN.
    if (y == 2.0)
        return x * x; // one rounding of the exact square, whatever x
    if (y == 0.0 || x == 1.0)
        return 1.0;
    if (std::isnan(x) || std::isnan(y))
        return x + y;
    if (std::isinf(y)) {
        if (x == -1.0)
            return 1.0;
        return (std::fabs(x) < 1.0) == (y > 0.0) ? 0.0 : kInfinity;
    }
    const bool odd = IsOddInteger(y);
    if (x == 0.0 || std::isinf(x)) {
        // 0^y and inf^y: zero or infinite, with x's sign for odd y.
        const double magnitude = (x == 0.0) == (y < 0.0) ? kInfinity : 0.0;
        return odd ? std::copysign(magnitude, x) : magnitude;
    }
    if (x > 0.0)
        return PowPositive(first, x, y);
    // A negative base: |x|^y with the sign of x for odd y; no real value for
    // y not an integer.
    if (!IsInteger(y))
        return std::numeric_limits<double>::quiet_NaN();
    if (x == -1.0)
        return odd ? -1.0 : 1.0;
    const double magnitude = PowPositive(first, -x, y);
    return odd ? -magnitude : magnitude;
}

} // namespace rounded_math_internal

double RoundedExp(double x)
{
    return rounded_math_internal::Exp(FirstPhase::Fast, x);
}

double RoundedLog(double x)
{
    return rounded_math_internal::Log(FirstPhase::Fast, x);
}

double RoundedPow(double x, double y)
{
    return rounded_math_internal::Pow(FirstPhase::Fast, x, y);
}

} // namespace meravel
