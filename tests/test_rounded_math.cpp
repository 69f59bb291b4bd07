// The correctly rounded exp, log and pow against MPFR: every argument the
// calculator gives them, then seeded random arguments in every range and
// known hard ones (subnormals, near 1, near overflow, exact powers, results
// halfway between two doubles), through the whole function and through its
// double-double and precise phases on their own. Each test prints how many
// arguments it checked.

#include "form/number_text.h"
#include "risk/rounded_math.h"
#include "risk/rounded_math_internal.h"
#include "risk/rounded_math_tables.h"
#include "risk/term_risk.h"

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace meravel {
namespace {

using rounded_math_internal::FirstPhase;

enum class Function { Exp, Log, Pow };
constexpr FirstPhase kAllPhases[] = {FirstPhase::Fast, FirstPhase::DoubleDouble, FirstPhase::Precise};

// MPFR's result rounded to nearest, with the doubles' exponent range and
// subnormals.
double Reference(Function function, double x, double y)
{
    mpfr_set_emin(-1073);
    mpfr_set_emax(1024);
    mpfr_t a, b, r;
    mpfr_inits2(53, a, b, r, static_cast<mpfr_ptr>(nullptr));
    mpfr_set_d(a, x, MPFR_RNDN);
    mpfr_set_d(b, y, MPFR_RNDN);
    int inexact = function == Function::Exp ? mpfr_exp(r, a, MPFR_RNDN)
        : function == Function::Log         ? mpfr_log(r, a, MPFR_RNDN)
                                            : mpfr_pow(r, a, b, MPFR_RNDN);
    inexact = mpfr_subnormalize(r, inexact, MPFR_RNDN);
    const double rounded = mpfr_get_d(r, MPFR_RNDN);
    mpfr_clears(a, b, r, static_cast<mpfr_ptr>(nullptr));
    return rounded;
}

// Checks results bit for bit (any NaN matches any NaN), counts them, and
// reports the first few that differ.
class Checker
{
public:
    explicit Checker(const char *what)
        : m_what(what)
    {
    }

    ~Checker()
    {
        std::printf("%s: %d results checked against MPFR\n", m_what, m_checked);
        EXPECT_EQ(m_wrong, 0) << m_what;
    }

    void Check(Function function, double x, double y = 0.0, FirstPhase first = FirstPhase::Fast)
    {
        const double got = function == Function::Exp ? rounded_math_internal::Exp(first, x)
            : function == Function::Log              ? rounded_math_internal::Log(first, x)
                                                     : rounded_math_internal::Pow(first, x, y);
        const double want = Reference(function, x, y);
        ++m_checked;
        const bool same = (std::isnan(got) && std::isnan(want))
            || std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(want);
        if (!same && ++m_wrong <= 10) {
            const char *names[] = {"exp", "log", "pow"};
            ADD_FAILURE() << std::hexfloat << names[static_cast<int>(function)] << "(" << x << ", " << y
                          << ") from phase " << static_cast<int>(first) << ": " << got << ", correct " << want;
        }
    }

    void CheckEveryPhase(Function function, double x, double y = 0.0)
    {
        for (FirstPhase first : kAllPhases)
            Check(function, x, y, first);
    }

private:
    const char *m_what;
    int m_checked = 0;
    int m_wrong = 0;
};

TEST(RoundedMath, TablesHoldTheNearestDoubles)
{
    mpfr_t exact, c;
    mpfr_init2(exact, 300);
    mpfr_init2(c, 26);
    auto expectPair = [&exact](double hi, double lo, const char *what, int index) {
        EXPECT_EQ(hi, mpfr_get_d(exact, MPFR_RNDN)) << what << index;
        mpfr_sub_d(exact, exact, hi, MPFR_RNDN);
        EXPECT_EQ(lo, mpfr_get_d(exact, MPFR_RNDN)) << what << index;
    };
    for (int j = 0; j < 128; ++j) {
        mpfr_set_d(exact, j / 128.0, MPFR_RNDN);
        mpfr_exp2(exact, exact, MPFR_RNDN);
        expectPair(rounded_math_tables::kExp2[j].hi, rounded_math_tables::kExp2[j].lo, "2^(j/128), j = ", j);
    }
    for (int i = 0; i <= 128; ++i) {
        const auto &entry = rounded_math_tables::kLog[i];
        mpfr_set_ui(exact, 128, MPFR_RNDN);
        mpfr_div_ui(exact, exact, 128 + i, MPFR_RNDN);
        mpfr_set(c, exact, MPFR_RNDN);
        EXPECT_EQ(entry.c, mpfr_get_d(c, MPFR_RNDN)) << "c, i = " << i;
        mpfr_set_d(exact, entry.c * (i >= 64 ? 2.0 : 1.0), MPFR_RNDN);
        mpfr_log(exact, exact, MPFR_RNDN);
        mpfr_neg(exact, exact, MPFR_RNDN);
        expectPair(entry.hi, entry.lo, "-ln c, i = ", i);
    }
    mpfr_clears(exact, c, static_cast<mpfr_ptr>(nullptr));
}

TEST(RoundedMath, EveryArgumentOfTheCalculator)
{
    Checker checker("the calculator's arguments");
    auto checkCurve = [&checker](double age) {
        for (RiskFormula formula : {RiskFormula::Cuckle, RiskFormula::Hecht})
            checker.Check(Function::Log, std::clamp(OddsFromProbability(TermProbability(age, formula)), 10.0, 2000.0));
    };
    for (int hundredths = 1800; hundredths <= 4500; ++hundredths) {
        const double age = ParseDecimal(std::to_string(hundredths / 100) + "." + std::to_string(hundredths % 100 / 10)
            + std::to_string(hundredths % 10));
        // Both formulas' arguments, in the order of risk/term_risk.cpp.
        checker.Check(Function::Exp, 0.2892 * age + -16.1992104);
        checker.Check(Function::Pow, age, 2.0);
        checker.Check(Function::Pow, age, 3.0);
        const double t = RoundedPow(age, 2.0) * 0.025215 + (-5.182617 - 0.6321469 * age);
        checker.Check(Function::Exp, t - RoundedPow(age, 3.0) * 0.0002285);
        checkCurve(age); // the mark of the typed age
    }
    for (int quarter = 0; quarter <= 108; ++quarter)
        checkCurve(18.0 + quarter * 0.25);
    for (double odds : {10.0, 20.0, 50.0, 100.0, 200.0, 250.0, 500.0, 1000.0, 2000.0})
        checker.Check(Function::Log, odds);
    // Snijders' ratio, in the order of risk/gestational_ratio.cpp.
    for (int weeks = 1; weeks <= 42; ++weeks) {
        const double ln = RoundedLog(weeks);
        const double a = RoundedPow(ln, 2.0) * 0.2718;
        const double e = RoundedPow(0.434294482, 2.0) * a - (ln * 1.023) * 0.434294482 + 0.9425;
        checker.CheckEveryPhase(Function::Log, weeks);
        checker.CheckEveryPhase(Function::Pow, ln, 2.0);
        checker.CheckEveryPhase(Function::Pow, 0.434294482, 2.0);
        checker.CheckEveryPhase(Function::Pow, 10.0, e);
    }
}

TEST(RoundedMath, RandomArgumentsInEveryRange)
{
    Checker checker("random arguments");
    std::mt19937_64 random(20261209);
    auto uniform = [&random](double low, double high) {
        return low + (high - low) * std::uniform_real_distribution<double>(0.0, 1.0)(random);
    };
    auto anyPositive = [&random] {
        double x = 0.0;
        do
            x = std::bit_cast<double>(random() >> 1);
        while (!std::isfinite(x) || x == 0.0);
        return x;
    };
    // The whole function on every argument, each later phase on a part.
    constexpr int kRounds = 8000;
    for (int i = 0; i < kRounds; ++i) {
        const bool precise = i % 80 == 0;
        auto check = [&checker, i, precise](Function function, double x, double y = 0.0) {
            checker.Check(function, x, y);
            if (i % 4 == 0)
                checker.Check(function, x, y, FirstPhase::DoubleDouble);
            if (precise)
                checker.Check(function, x, y, FirstPhase::Precise);
        };
        check(Function::Exp, uniform(-746.0, 710.0));
        check(Function::Exp, uniform(-745.14, -708.4)); // subnormal results
        check(Function::Exp, std::ldexp(uniform(-1.0, 1.0), -static_cast<int>(random() % 60)));
        const double x = anyPositive();
        check(Function::Log, x);
        check(Function::Log, std::bit_cast<double>(random() >> 12)); // subnormals
        check(Function::Log,
            1.0 + static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) * 0x1p-53);
        // y with |y ln x| up to 750, an integer one time in four.
        double y = uniform(-750.0, 750.0) / std::fabs(std::log(x));
        if (i % 4 == 0)
            y = std::round(y);
        check(Function::Pow, x, y);
        check(Function::Pow, x, 3.0);
        check(Function::Pow, -x, static_cast<double>(static_cast<int>(random() % 41) - 20));
        check(Function::Pow, 1.0 + static_cast<double>(static_cast<int>(random() % 2001) - 1000) * 0x1p-52,
            std::ldexp(uniform(-1.0, 1.0), static_cast<int>(random() % 64)));
        check(Function::Pow, uniform(1.0, 100.0), uniform(-8.0, 8.0));
    }
}

TEST(RoundedMath, KnownHardArguments)
{
    Checker checker("hard arguments");
    // Each fault of the double-double functions of 1.0.0.1.
    checker.CheckEveryPhase(Function::Log, 0x1.ffffffcp+996);
    checker.CheckEveryPhase(Function::Log, 0x1.0000001ffffp-997);
    checker.CheckEveryPhase(Function::Log, 0x1p-1074);
    checker.CheckEveryPhase(Function::Log, DBL_MAX);
    checker.CheckEveryPhase(Function::Pow, 0x1p999, 1.0);
    checker.CheckEveryPhase(Function::Pow, DBL_MAX, 0.5);
    checker.CheckEveryPhase(Function::Exp, -0x1.6281fd4cda0acp+9);
    checker.CheckEveryPhase(Function::Pow, 0x1.cda0e546aaf7p+336, 3.0);
    checker.CheckEveryPhase(Function::Pow, 0x1.ca05797ef8e1p-302, 3.0);
    checker.CheckEveryPhase(Function::Log, 1.0 + 0x1p-52);
    checker.CheckEveryPhase(Function::Pow, 1.0 + 0x1p-52, 0x1p61);
    checker.CheckEveryPhase(Function::Pow, 43293541041.0, 1.5);
    checker.CheckEveryPhase(Function::Exp, 0x1p-53);
    // Arguments at which the fast phase's value rounds the other way than the
    // exact result (found with MPFR): its error bound must leave them to the
    // next phase.
    for (double x : {-0x1.00bfca93ad635p+8, 0x1.fb3cb88809dc4p+7, -0x1.53bebb2f46d1p+6, 0x1.37c7c58b42bp+7,
             -0x1.d14a664066818p+7, 0x1.e70e5b08a93f8p+6})
        checker.CheckEveryPhase(Function::Exp, x);
    for (double x : {0x1.00c919ff44659p+0, 0x1.00733ddf759e9p+0, 0x1.00ba912aaed5dp+0})
        checker.CheckEveryPhase(Function::Log, x);
    const double powers[][2]
        = {{0x1.ca69337f8eff9p+2, -0x1.66aba59bc18dp+2}, {0x1.4c054edbb67b5p+6, -0x1.dd063c800a46p+1},
            {0x1.900e71023dac6p+5, -0x1.29258d3a9dcfep+3}, {0x1.93464be5abcb6p+3, 0x1.ac953db34bcp+2}};
    for (const auto &xy : powers)
        checker.CheckEveryPhase(Function::Pow, xy[0], xy[1]);
    // Every x^1.5 halfway between two doubles: x = t^2, t^3 an odd 54-bit
    // integer. Then cubes halfway, at magnitudes up to overflow and down to
    // the subnormals.
    for (double t = 208065.0; t < 262144.0; t += 2.0)
        checker.Check(Function::Pow, t * t, 1.5);
    for (double m = 262143.0; m > 258000.0; m -= 2.0)
        for (int e : {0, 300, -358, -370})
            checker.CheckEveryPhase(Function::Pow, std::ldexp(m, e), 3.0);
    // Exact powers of two, 2^-1075 halfway between 0 and the least subnormal.
    for (int e = -1080; e <= 1030; ++e) {
        checker.Check(Function::Pow, 2.0, e);
        checker.Check(Function::Pow, 4.0, e + 0.5);
        checker.Check(Function::Pow, 0x1p-1074, e / 1074.0);
    }
    checker.CheckEveryPhase(Function::Pow, 2.0, -1075.0);
    // Near overflow, the subnormals' edge and underflow; near 1.
    for (double x : {709.782712893384, 709.7827128933841, -708.3964185322641, -745.1332191019411, -745.1332191019412})
        for (double near : {std::nextafter(x, -INFINITY), x, std::nextafter(x, INFINITY)})
            checker.CheckEveryPhase(Function::Exp, near);
    for (int k = -64; k <= 64; ++k) {
        checker.Check(Function::Exp, k * 0x1p-53);
        checker.Check(Function::Log, 1.0 + k * 0x1p-52);
        checker.Check(Function::Log, 1.0 + k * 0x1p-53);
        if (k > 0)
            checker.Check(Function::Pow, 1.0 + k * 0x1p-52, 0x1p61 / k);
    }
}

TEST(RoundedMath, ZerosInfinitiesAndNaNFollowC99)
{
    Checker checker("special values");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {0.0, -0.0, 1.0, -1.0, 0.5, -0.5, 2.0, -2.0, 3.0, -3.0, 1.5, -1.5, inf, -inf, nan, DBL_MAX,
        -DBL_MAX, DBL_MIN, 0x1p-1074, 0x1p64, -0x1p64, 0x1p53 + 2.0, -0x1p53 - 2.0};
    for (double x : values) {
        checker.Check(Function::Exp, x);
        checker.Check(Function::Log, x);
        for (double y : values)
            checker.Check(Function::Pow, x, y);
    }
}

} // namespace
} // namespace meravel
