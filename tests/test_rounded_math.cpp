// The correctly rounded exp, log and pow: against values rounded from exact
// arithmetic where C libraries miss the last bit, and against the 64-bit
// long double functions on seeded random arguments across the ranges the
// formulas use.

#include "risk/rounded_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace meravel {
namespace {

struct Exact
{
    const char *name;
    double argument;
    double rounded; // the exact result rounded to nearest, from exact arithmetic
};

// Arguments for which glibc's or mingw-w64's result is one unit off in the
// last place; the expected values come from rational and 80-digit decimal
// arithmetic, not from this code.
const Exact kCubes[] = {
    {"3.1323566", 0x1.90f11011912d9p+1, 0x1.ebbce0c978513p+4},
    {"31.412775", 0x1.f69aba768bbc1p+4, 0x1.e453ca766a369p+14},
    {"48.328452", 0x1.82a0abc287a39p+5, 0x1.b8edd5b0a8071p+16},
    {"11.887029", 0x1.7c628b6b2cc41p+3, 0x1.a3e9e676c94c2p+10},
};
const Exact kExponentials[] = {
    {"-8.2884913", -0x1.093b523227d97p+3, 0x1.079ae9e29a1b7p-12},
    {"-1.0450198", -0x1.0b866ab849d3p+0, 0x1.6820136f42ddp-2},
    {"0.0401318", 0x1.48c28ca530cp-5, 0x1.0a7b9158172cap+0},
    {"-10.334529", -0x1.4ab47734d0386p+3, 0x1.108f2473b697cp-15},
};

TEST(RoundedMath, MatchesExactArithmeticWhereLibrariesMiss)
{
    for (const Exact &row : kCubes)
        EXPECT_EQ(RoundedPow(row.argument, 3.0), row.rounded) << "cube of " << row.name;
    for (const Exact &row : kExponentials)
        EXPECT_EQ(RoundedExp(row.argument), row.rounded) << "exp of " << row.name;
}

TEST(RoundedMath, EdgesOfTheRange)
{
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(RoundedExp(0.0), 1.0);
    EXPECT_EQ(RoundedLog(1.0), 0.0);
    EXPECT_EQ(RoundedPow(0.0, 2.0), 0.0);
    EXPECT_EQ(RoundedPow(10.0, 0.0), 1.0);
    EXPECT_EQ(RoundedExp(710.0), inf);
    EXPECT_EQ(RoundedExp(-746.0), 0.0);
    EXPECT_TRUE(std::isnan(RoundedExp(std::nan(""))));
    EXPECT_EQ(RoundedPow(1e200, 3.0), inf);
    EXPECT_EQ(RoundedLog(0.0), -inf);
}

// The double nearest to a long double, or nothing when the long double lies
// so close to a halfway point between two doubles that its own error could
// put it on either side.
bool NearestDouble(long double reference, double &nearest)
{
    nearest = static_cast<double>(reference);
    const long double up = std::nextafter(nearest, std::numeric_limits<double>::infinity());
    const long double down = std::nextafter(nearest, -std::numeric_limits<double>::infinity());
    const long double ulp = up - nearest;
    const long double margin = ulp / 1024;
    return std::fabs(reference - (nearest + up) / 2) > margin && std::fabs(reference - (nearest + down) / 2) > margin;
}

TEST(RoundedMath, RoundsLikeLongDoubleOnRandomArguments)
{
    if (std::numeric_limits<long double>::digits < 64)
        GTEST_SKIP() << "needs an 80-bit long double";
    std::mt19937_64 random(20261208);
    std::uniform_real_distribution<double> exponent(-20.0, 5.0), positive(0.5, 100.0), base(1.0, 50.0),
        power(-3.0, 3.0);
    int checked = 0;
    auto check = [&checked](const char *what, double got, long double reference, double argument) {
        double nearest = 0.0;
        if (!NearestDouble(reference, nearest))
            return;
        ++checked;
        EXPECT_EQ(got, nearest) << std::hexfloat << what << " of " << argument;
    };
    for (int i = 0; i < 20000; ++i) {
        const double x = exponent(random), l = positive(random), b = base(random), p = power(random);
        check("exp", RoundedExp(x), std::exp(static_cast<long double>(x)), x);
        check("log", RoundedLog(l), std::log(static_cast<long double>(l)), l);
        check("pow", RoundedPow(b, p), std::pow(static_cast<long double>(b), static_cast<long double>(p)), b);
        check("cube", RoundedPow(b, 3.0), std::pow(static_cast<long double>(b), 3.0L), b);
    }
    // Nearly every argument is far from a halfway point.
    EXPECT_GT(checked, 79000);
}

} // namespace
} // namespace meravel
