#pragma once

// Powers of two and the parts of a double, read from and written to its bits
// rather than asked of the C library, for risk/rounded_math.cpp and
// risk/precise_math.cpp.

#include <bit>
#include <cstdint>

namespace meravel::binary64 {

inline constexpr std::uint64_t kFractionMask = (std::uint64_t{1} << 52) - 1;
inline constexpr std::uint64_t kOneBits = std::uint64_t{1023} << 52;

// 2^n, for n from -1022 to 1023.
inline double Pow2(int n)
{
    return std::bit_cast<double>(static_cast<std::uint64_t>(n + 1023) << 52);
}

// v 2^n in two steps, for n from -2044 to 2046 and 2^-60 <= |v| <= 2^60:
// exact when v 2^n is a double (each step then is too), infinite when it
// overflows.
inline double ScaleBy2(double v, int n)
{
    const int half = n / 2;
    return v * Pow2(half) * Pow2(n - half);
}

// x = m 2^exponent with m in [1, 2), for finite x > 0, subnormals included.
inline double Significand(double x, int &exponent)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    int bias = 1023;
    if ((bits >> 52) == 0) {
        bits = std::bit_cast<std::uint64_t>(x * 0x1p54);
        bias += 54;
    }
    exponent = static_cast<int>(bits >> 52) - bias;
    return std::bit_cast<double>((bits & kFractionMask) | kOneBits);
}

} // namespace meravel::binary64
