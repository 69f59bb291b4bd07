// What one keystroke costs, against a fake window so that only the form's own
// work is measured. An edit of the age or a change of formula runs
// ComputeTermRisk: the fields read, the age parsed, the term probability, its
// texts and the advice written back; then ComputeGestationalRisk, which reads
// the fields again, computes the probability again and Snijders' ratio for
// the weeks, and writes its text. A click on the weeks spin control runs the
// second half alone. With Cuckle's formula an age edit makes two exponentials,
// a logarithm and a power of 10, all correctly rounded (bench_rounded_math.cpp
// times each); with Hecht's, two squares and two cubes more. The aim is under
// 0.6 microseconds per age edit (0.38 with the C library's functions on the
// machine it was set on), so that typing never waits on the figures.

#include "form/risk_form.h"
#include "tests/support/fake_form_platform.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>

namespace meravel {
namespace {

using test_support::FakeFormPlatform;

// Ages the user might type, taken in turn so that each recalculation starts
// from different text and yields different figures.
constexpr std::array kAges = {"37", "36,5", "25", "44.9"};
constexpr std::array kWeeks = {"2", "20", "12", "41"};

// An age edit or a formula change: read all, parse, both figures, format,
// write all. The argument is the formula list's index.
void AgeKeystroke(benchmark::State &state)
{
    FakeFormPlatform platform;
    RiskForm form(platform);
    form.InitInputs();
    platform.m_nSelection = static_cast<int>(state.range(0));
    std::size_t turn = 0;
    for (auto _ : state) {
        platform.m_fields.m_strAge = kAges[turn++ % kAges.size()];
        form.ComputeTermRisk();
        benchmark::DoNotOptimize(platform.m_fields.m_strGestRisk.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(AgeKeystroke)->ArgName("formula")->Arg(0)->Arg(1);

// A click on the weeks spin control: the gestational figure alone.
void SpinStep(benchmark::State &state)
{
    FakeFormPlatform platform;
    RiskForm form(platform);
    form.InitInputs();
    platform.m_fields.m_strAge = "37";
    form.ComputeTermRisk();
    std::size_t turn = 0;
    for (auto _ : state) {
        platform.m_fields.m_strWeeks = kWeeks[turn++ % kWeeks.size()];
        form.ComputeGestationalRisk();
        benchmark::DoNotOptimize(platform.m_fields.m_strGestRisk.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SpinStep);

} // namespace
} // namespace meravel

BENCHMARK_MAIN();
