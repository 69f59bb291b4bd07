#include "risk/precise_math.h"

#include "risk/binary64.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace meravel::precise {

namespace {

using Limb = std::uint32_t;
using Wide = std::uint64_t;
constexpr int kLimbBits = 32;

// The first working precision, in limbs after the point, doubled on each
// round that cannot decide.
constexpr int kFirstFraction = 8;

// A real number in fixed point: a two's complement integer in 32-bit limbs,
// least significant first, over 2^(32 fraction). Two limbs above the point
// hold the integer part and the sign; every value here stays below 2^62.
struct Fixed
{
    int fraction = 0;
    std::vector<Limb> limbs;
};

Fixed Zero(int fraction)
{
    return {fraction, std::vector<Limb>(static_cast<std::size_t>(fraction) + 2, 0)};
}

Fixed One(int fraction)
{
    Fixed one = Zero(fraction);
    one.limbs[static_cast<std::size_t>(fraction)] = 1;
    return one;
}

bool IsNegative(const Fixed &a)
{
    return (a.limbs.back() >> (kLimbBits - 1)) != 0;
}

bool IsZero(const Fixed &a)
{
    return std::all_of(a.limbs.begin(), a.limbs.end(), [](Limb limb) { return limb == 0; });
}

Fixed Negate(Fixed a)
{
    Wide carry = 1;
    for (Limb &limb : a.limbs) {
        const Wide sum = static_cast<Wide>(static_cast<Limb>(~limb)) + carry;
        limb = static_cast<Limb>(sum);
        carry = sum >> kLimbBits;
    }
    return a;
}

Fixed Abs(Fixed a)
{
    return IsNegative(a) ? Negate(std::move(a)) : a;
}

Fixed WithSign(Fixed magnitude, bool negative)
{
    return negative ? Negate(std::move(magnitude)) : magnitude;
}

Fixed Add(const Fixed &a, const Fixed &b)
{
    Fixed sum = Zero(a.fraction);
    Wide carry = 0;
    for (std::size_t i = 0; i < sum.limbs.size(); ++i) {
        const Wide s = static_cast<Wide>(a.limbs[i]) + b.limbs[i] + carry;
        sum.limbs[i] = static_cast<Limb>(s);
        carry = s >> kLimbBits;
    }
    return sum;
}

Fixed Subtract(const Fixed &a, const Fixed &b)
{
    return Add(a, Negate(b));
}

// The operations below cut the magnitude of their result to the last bit of
// the fraction: each is off by less than one unit there.

Fixed Multiply(const Fixed &a, const Fixed &b)
{
    const Fixed x = Abs(a);
    const Fixed y = Abs(b);
    const std::size_t n = x.limbs.size();
    std::vector<Limb> product(2 * n, 0);
    for (std::size_t i = 0; i < n; ++i) {
        if (x.limbs[i] == 0)
            continue;
        Wide carry = 0;
        for (std::size_t j = 0; j < n; ++j) {
            const Wide t = static_cast<Wide>(x.limbs[i]) * y.limbs[j] + product[i + j] + carry;
            product[i + j] = static_cast<Limb>(t);
            carry = t >> kLimbBits;
        }
        product[i + n] = static_cast<Limb>(carry);
    }
    Fixed result = Zero(a.fraction);
    std::copy_n(product.begin() + a.fraction, n, result.limbs.begin());
    return WithSign(std::move(result), IsNegative(a) != IsNegative(b));
}

Fixed MultiplySmall(const Fixed &a, Limb factor)
{
    Fixed x = Abs(a);
    Wide carry = 0;
    for (Limb &limb : x.limbs) {
        const Wide t = static_cast<Wide>(limb) * factor + carry;
        limb = static_cast<Limb>(t);
        carry = t >> kLimbBits;
    }
    return WithSign(std::move(x), IsNegative(a));
}

Fixed DivideSmall(const Fixed &a, Limb divisor)
{
    Fixed x = Abs(a);
    Wide rest = 0;
    for (std::size_t i = x.limbs.size(); i-- > 0;) {
        const Wide t = (rest << kLimbBits) | x.limbs[i];
        x.limbs[i] = static_cast<Limb>(t / divisor);
        rest = t % divisor;
    }
    return WithSign(std::move(x), IsNegative(a));
}

// a 2^shift, for either sign of shift.
Fixed Scale(const Fixed &a, int shift)
{
    const Fixed x = Abs(a);
    Fixed result = Zero(a.fraction);
    const int n = static_cast<int>(x.limbs.size());
    const int limbShift = shift >= 0 ? shift / kLimbBits : -((-shift + kLimbBits - 1) / kLimbBits);
    const int bitShift = shift - limbShift * kLimbBits;
    auto limbAt = [&x, n](int i) -> Wide { return i >= 0 && i < n ? x.limbs[static_cast<std::size_t>(i)] : 0; };
    for (int i = 0; i < n; ++i) {
        Wide value = limbAt(i - limbShift) << bitShift;
        if (bitShift != 0)
            value |= limbAt(i - limbShift - 1) >> (kLimbBits - bitShift);
        result.limbs[static_cast<std::size_t>(i)] = static_cast<Limb>(value);
    }
    return WithSign(std::move(result), IsNegative(a));
}

// The double v as it is, or cut to the fraction's last bit.
Fixed FromDouble(double v, int fraction)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t significand = (bits & binary64::kFractionMask) | (biased != 0 ? std::uint64_t{1} << 52 : 0);
    Fixed integer = Zero(fraction);
    integer.limbs[0] = static_cast<Limb>(significand);
    integer.limbs[1] = static_cast<Limb>(significand >> kLimbBits);
    // v = significand 2^(biased - 1075), and the integer's last bit is worth 2^-(32 fraction).
    const int exponent = std::max(biased, 1) - 1075;
    return WithSign(Scale(integer, exponent + kLimbBits * fraction), v < 0.0);
}

// Near enough to choose a multiple of ln 2: its three leading limbs.
double ToDouble(const Fixed &a)
{
    const Fixed x = Abs(a);
    double value = 0.0;
    for (int i = a.fraction - 1; i <= a.fraction + 1; ++i)
        value += x.limbs[static_cast<std::size_t>(i)] * binary64::Pow2(kLimbBits * (i - a.fraction));
    return IsNegative(a) ? -value : value;
}

// ln 2 = 2 atanh(1/3) = 2 (1/3 + 1/(3 3^3) + 1/(5 3^5) + ...). Each term is
// off by less than 2.2 units, so ln 2 by less than 1.4 F units, F the bits of
// the fraction.
Fixed LnTwo(int fraction)
{
    Fixed power = DivideSmall(One(fraction), 3);
    Fixed sum = power;
    for (Limb n = 3; !IsZero(power); n += 2) {
        power = DivideSmall(power, 9);
        sum = Add(sum, DivideSmall(power, n));
    }
    return MultiplySmall(sum, 2);
}

// e^z = 2^k m, m between 0.7 and 1.42, for |z| <= 750; returns k.
//
// z = k ln 2 + r, e^r = (e^(r / 2^12))^(2^12), the inner one from its Taylor
// series. In units of the fraction's last bit 2^-F: r is off by at most
// 1077 x 1.4 F (from ln 2), r / 2^12 by 0.4 F + 1, each of the F / 13 terms
// of the series by 2, so their sum by 0.6 F + 3; each squaring doubles the
// relative error and adds less than 2.1 units. The relative error of m is
// thus below 2^12 (0.6 F + 6) 2^-F, less than 2^(32 - F) for F < 2^20.
int ExpScaled(const Fixed &z, Fixed &m)
{
    constexpr int kHalvings = 12;
    const double estimate = ToDouble(z) / 0x1.62e42fefa39efp-1;
    const int k = static_cast<int>(estimate + (estimate < 0.0 ? -0.5 : 0.5));
    const Fixed kLn2 = WithSign(MultiplySmall(LnTwo(z.fraction), static_cast<Limb>(k < 0 ? -k : k)), k < 0);
    const Fixed r = Scale(Subtract(z, kLn2), -kHalvings);
    Fixed sum = One(z.fraction);
    Fixed term = sum;
    for (Limb n = 1; !IsZero(term); ++n) {
        term = DivideSmall(Multiply(term, r), n);
        sum = Add(sum, term);
    }
    for (int i = 0; i < kHalvings; ++i)
        sum = Multiply(sum, sum);
    m = std::move(sum);
    return k;
}

// ln x with an absolute error below 2^(33 - F). One step from the guess y:
// ln x = y + ln(1 + t), t = x e^-y - 1, the second from its series.
Fixed LogFixed(double x, double guess, int fraction)
{
    const Fixed y = FromDouble(guess, fraction);
    Fixed em;
    const int k = ExpScaled(Negate(y), em);
    int exponent = 0;
    const double significand = binary64::Significand(x, exponent);
    const Fixed t = Subtract(Scale(Multiply(em, FromDouble(significand, fraction)), k + exponent), One(fraction));
    Fixed sum = t;
    Fixed power = t;
    for (Limb n = 2; !IsZero(power); ++n) {
        power = Multiply(power, t);
        const Fixed term = DivideSmall(power, n);
        sum = n % 2 == 0 ? Subtract(sum, term) : Add(sum, term);
    }
    return Add(y, sum);
}

// The double nearest to m 2^scale, m >= 0, when every number within `error`
// units of m's last bit rounds to it; nothing when the error straddles a
// point halfway between two doubles.
std::optional<double> RoundIfDecided(const Fixed &m, int scale, Wide error)
{
    const int fractionBits = kLimbBits * m.fraction;
    int length = 0;
    for (std::size_t i = m.limbs.size(); i-- > 0 && length == 0;)
        if (m.limbs[i] != 0)
            length = static_cast<int>(i) * kLimbBits + std::bit_width(m.limbs[i]);
    if (length == 0)
        return std::nullopt;
    if (length - 1 + scale - fractionBits >= 1024)
        return std::numeric_limits<double>::infinity();
    // The result's last bit, as a bit of m: 53 bits below the leading one, or
    // 2^-1074 for the subnormals.
    const int last = std::max(length - 53, -1074 - scale + fractionBits);
    // The error must stay far below the last bit, for the binade boundaries.
    if (last < 2 * kLimbBits + 3)
        return std::nullopt;

    // What lies below the last bit, less half of it: its sign says which way
    // to round, and it must exceed the error.
    if (last >= kLimbBits * static_cast<int>(m.limbs.size()))
        return 0.0; // far below the smallest subnormal
    Fixed below = m;
    for (std::size_t i = 0; i < below.limbs.size(); ++i) {
        const int bit = static_cast<int>(i) * kLimbBits;
        if (bit >= last)
            below.limbs[i] = 0;
        else if (bit + kLimbBits > last)
            below.limbs[i] &= (Limb{1} << (last - bit)) - 1;
    }
    Fixed half = Zero(m.fraction);
    half.limbs[static_cast<std::size_t>((last - 1) / kLimbBits)] = Limb{1} << ((last - 1) % kLimbBits);
    const Fixed difference = Subtract(below, half);
    const Fixed distance = Abs(difference);
    const bool far = std::any_of(distance.limbs.begin() + 2, distance.limbs.end(), [](Limb limb) { return limb != 0; })
        || ((static_cast<Wide>(distance.limbs[1]) << kLimbBits) | distance.limbs[0]) > error;
    if (!far)
        return std::nullopt;

    const Fixed kept = Scale(m, -last);
    const Wide significand
        = ((static_cast<Wide>(kept.limbs[1]) << kLimbBits) | kept.limbs[0]) + (IsNegative(difference) ? 0 : 1);
    return binary64::ScaleBy2(static_cast<double>(significand), last + scale - fractionBits);
}

// Errors of the results in units of their fraction's last bit: 2^(32 - F)
// relative for e^z, with m below 1.42; 2^(33 - F) absolute for ln x.
constexpr Wide kErrorUnits = Wide{1} << 34;

} // namespace

double Exp(double x)
{
    for (int fraction = kFirstFraction;; fraction *= 2) {
        Fixed m;
        const int k = ExpScaled(FromDouble(x, fraction), m);
        if (const auto rounded = RoundIfDecided(m, k, kErrorUnits))
            return *rounded;
    }
}

double Log(double x, double guess)
{
    for (int fraction = kFirstFraction;; fraction *= 2) {
        const Fixed ln = LogFixed(x, guess, fraction);
        if (const auto rounded = RoundIfDecided(Abs(ln), 0, kErrorUnits))
            return IsNegative(ln) ? -*rounded : *rounded;
    }
}

double Pow(double x, double y, double lnGuess)
{
    // The guess is good to far better than 2^-40, and |ln x| >= 2^-54.
    const double estimate = y * lnGuess;
    if (estimate > 711.0)
        return std::numeric_limits<double>::infinity();
    if (estimate < -747.0)
        return 0.0;
    // y = s 2^(e - 52), s an integer below 2^53, taken in two halves.
    int e = 0;
    const auto s = static_cast<Wide>(binary64::Significand(y < 0.0 ? -y : y, e) * 0x1p52);
    // ln x with enough more bits that |y| times its error stays below 2^-(F+7).
    const int extraLimbs = (std::max(e + 1, 0) + 40 + kLimbBits - 1) / kLimbBits;
    for (int fraction = kFirstFraction;; fraction *= 2) {
        const Fixed ln = LogFixed(x, lnGuess, fraction + extraLimbs);
        const Fixed product = Add(Scale(MultiplySmall(ln, static_cast<Limb>(s >> kLimbBits)), kLimbBits),
            MultiplySmall(ln, static_cast<Limb>(s)));
        Fixed z = Scale(WithSign(product, y < 0.0), e - 52 - kLimbBits * extraLimbs);
        z.limbs.erase(z.limbs.begin() + fraction + 2, z.limbs.end());
        z.fraction = fraction;
        Fixed m;
        const int k = ExpScaled(z, m);
        if (const auto rounded = RoundIfDecided(m, k, kErrorUnits))
            return *rounded;
    }
}

} // namespace meravel::precise
