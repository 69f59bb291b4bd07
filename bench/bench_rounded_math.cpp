// One call of each correctly rounded function, on the arguments the
// calculator gives it, beside the C library's function on the same
// arguments: the exponentials of Cuckle's formula for every age from 18 to
// 45 by hundredths, the cubes of those ages, the logarithms of the weeks
// from 1 to 42, and the powers of 10 of Snijders' ratio for those weeks.
// Each argument in turn, so that no branch or table entry is always the
// same one.

#include "risk/rounded_math.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <vector>

namespace meravel {
namespace {

std::vector<double> Ages()
{
    std::vector<double> ages;
    for (int hundredths = 1800; hundredths <= 4500; ++hundredths)
        ages.push_back(hundredths / 100.0);
    return ages;
}

std::vector<double> CuckleExponents()
{
    std::vector<double> exponents;
    for (double age : Ages())
        exponents.push_back(0.2892 * age - 16.1992104);
    return exponents;
}

std::vector<double> Weeks()
{
    std::vector<double> weeks;
    for (int w = 1; w <= 42; ++w)
        weeks.push_back(w);
    return weeks;
}

std::vector<double> RatioExponents()
{
    std::vector<double> exponents;
    for (double w : Weeks()) {
        const double log10 = std::log10(w);
        exponents.push_back(0.2718 * log10 * log10 - 1.023 * log10 + 0.9425);
    }
    return exponents;
}

void Calls(benchmark::State &state, double (*function)(double), const std::vector<double> &arguments)
{
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(function(arguments[i]));
        if (++i == arguments.size())
            i = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

double RoundedCube(double x)
{
    return RoundedPow(x, 3.0);
}

double RoundedPowerOf10(double e)
{
    return RoundedPow(10.0, e);
}

double LibraryExp(double x)
{
    return std::exp(x);
}

double LibraryLog(double x)
{
    return std::log(x);
}

double LibraryCube(double x)
{
    return std::pow(x, 3.0);
}

double LibraryPowerOf10(double e)
{
    return std::pow(10.0, e);
}

const std::vector<double> kCuckleExponents = CuckleExponents();
const std::vector<double> kAges = Ages();
const std::vector<double> kWeeks = Weeks();
const std::vector<double> kRatioExponents = RatioExponents();

BENCHMARK_CAPTURE(Calls, RoundedExp, RoundedExp, kCuckleExponents);
BENCHMARK_CAPTURE(Calls, LibraryExp, LibraryExp, kCuckleExponents);
BENCHMARK_CAPTURE(Calls, RoundedCube, RoundedCube, kAges);
BENCHMARK_CAPTURE(Calls, LibraryCube, LibraryCube, kAges);
BENCHMARK_CAPTURE(Calls, RoundedLog, RoundedLog, kWeeks);
BENCHMARK_CAPTURE(Calls, LibraryLog, LibraryLog, kWeeks);
BENCHMARK_CAPTURE(Calls, RoundedPowerOf10, RoundedPowerOf10, kRatioExponents);
BENCHMARK_CAPTURE(Calls, LibraryPowerOf10, LibraryPowerOf10, kRatioExponents);

} // namespace
} // namespace meravel

BENCHMARK_MAIN();
