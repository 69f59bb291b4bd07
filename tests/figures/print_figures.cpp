// Prints every figure the calculator shows for a grid of inputs: the ages
// from 18.00 to 45.00 by hundredths (typed as text, so that the age grammar
// is part of it), then 17.99, 45.01 and six ages typed with four decimals,
// both formulas and every week from 1 to 42, with the exact bits of the
// probability and of the odds. Built for Linux
// and for Windows; both outputs must equal figures.txt beside it, byte for
// byte, so that changing any figure's bits means changing that file.

#include "form/risk_form.h"
#include "risk/gestational_ratio.h"
#include "risk/term_risk.h"
#include "tests/support/fake_form_platform.h"

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string Bits(double value)
{
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%016" PRIx64, std::bit_cast<std::uint64_t>(value));
    return buffer;
}

constexpr int kFirstWeek = 1;
constexpr int kLastWeek = 42;

void PrintAge(meravel::test_support::FakeFormPlatform &platform, meravel::RiskForm &form, const std::string &age)
{
    for (int formula = 0; formula <= 1; ++formula) {
        platform.m_fields.m_strWeeks = std::to_string(kFirstWeek);
        platform.m_nSelection = formula;
        platform.m_fields.m_strAge = age;
        form.ComputeTermRisk();
        const double probability = meravel::TermProbability(std::stod(age), meravel::FormulaFromIndex(formula));
        std::printf("%s %d %s %s [%s] [%s]", age.c_str(), formula, Bits(probability).c_str(),
            Bits(meravel::OddsFromProbability(probability)).c_str(), platform.m_fields.m_strTermRisk.c_str(),
            platform.m_fields.m_strAdvice.c_str());
        for (int weeks = kFirstWeek; weeks <= kLastWeek; ++weeks) {
            platform.m_fields.m_strWeeks = std::to_string(weeks);
            form.ComputeGestationalRisk();
            std::printf(" %s", platform.m_fields.m_strGestRisk.c_str());
        }
        std::printf("\n");
    }
}

} // namespace

int main()
{
    meravel::test_support::FakeFormPlatform platform;
    meravel::RiskForm form(platform);
    form.InitInputs();

    for (int weeks = kFirstWeek; weeks <= kLastWeek; ++weeks)
        std::printf("ratio %d %s\n", weeks, Bits(meravel::GestationalRatio(weeks)).c_str());
    for (int hundredths = 1800; hundredths <= 4500; ++hundredths) {
        char age[16];
        std::snprintf(age, sizeof age, "%d.%02d", hundredths / 100, hundredths % 100);
        PrintAge(platform, form, age);
    }
    PrintAge(platform, form, "17.99");
    PrintAge(platform, form, "45.01");
    // Ages typed with four decimals at which the C libraries' exp (glibc's,
    // and Windows' under Wine) misses the last bit of Cuckle's p or Hecht's:
    // figures taken from there would differ here.
    for (const char *age : {"25.1784", "28.6104", "35.2005", "21.0143", "25.2053", "31.9034"})
        PrintAge(platform, form, age);
    return 0;
}
