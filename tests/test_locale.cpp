// The figures must not change with the regional settings. Under French ones
// the C library reads and prints ',' as the decimal separator; the form reads
// both '.' and ',' and always prints '.'.
//
// Run twice: once as it comes, and once with LC_ALL=fr_FR.UTF-8 and
// --french-process, the whole process then running French from its start as
// the application does. A missing French locale is a failure: the project's
// scripts/install-deps.sh generates it.

#include "form/number_text.h"
#include "form/risk_form.h"
#include "tests/support/fake_form_platform.h"
#include "tests/support/locale_scope.h"

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace meravel {
namespace {

using test_support::FakeFormPlatform;
using test_support::ProcessLocale;

constexpr const char *kFrench = "fr_FR.UTF-8";

// Fails the test when the French locale is missing or does not make the C
// library use ','; otherwise the comparisons below would prove nothing.
void ExpectFrenchInEffect(const ProcessLocale &french)
{
    ASSERT_TRUE(french.IsValid()) << kFrench << " is not installed; scripts/install-deps.sh generates it";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    char printed[16];
    std::snprintf(printed, sizeof printed, "%.1f", 36.5);
    ASSERT_STREQ(printed, "36,5");
    ASSERT_EQ(std::strtod("36.5", nullptr), 36.0);
}

std::uint64_t Bits(double value)
{
    return std::bit_cast<std::uint64_t>(value);
}

struct ParseCase
{
    const char *text;
    double expected;
};

const ParseCase kParseCases[] = {
    {"36.5", 36.5},
    {"36,5", 36.5},
    {"25", 25.0},
    {" 37", 37.0},
    {"3.7e1", 37.0},
    {"3,7e1", 37.0},
    {"-0,25", -0.25},
    {"1e999", std::numeric_limits<double>::infinity()},
};

TEST(FrenchLocale, ParseDecimalUnchanged)
{
    for (const ParseCase &row : kParseCases) {
        SCOPED_TRACE(row.text);
        std::uint64_t underC = 0;
        {
            ProcessLocale c("C");
            ASSERT_TRUE(c.IsValid());
            underC = Bits(ParseDecimal(row.text));
        }
        ProcessLocale french(kFrench);
        ExpectFrenchInEffect(french);
        if (::testing::Test::HasFatalFailure())
            return;
        EXPECT_EQ(Bits(ParseDecimal(row.text)), underC);
        EXPECT_EQ(Bits(ParseDecimal(row.text)), Bits(row.expected));
    }
}

struct FormatCase
{
    double value;
    int width;
    int precision;
    const char *expected;
};

const FormatCase kFormatCases[] = {
    {0.0710369, 2, 2, "0.07"},
    {4.1952641, 2, 2, "4.20"},
    {1407.72, 2, 0, "1408"},
    {5.22, 2, 0, " 5"},
    {1234567.891, 12, 2, "  1234567.89"},
};

TEST(FrenchLocale, FormatFixedUnchanged)
{
    for (const FormatCase &row : kFormatCases) {
        SCOPED_TRACE(row.expected);
        std::string underC;
        {
            ProcessLocale c("C");
            ASSERT_TRUE(c.IsValid());
            underC = FormatFixed(row.value, row.width, row.precision);
        }
        ProcessLocale french(kFrench);
        ExpectFrenchInEffect(french);
        if (::testing::Test::HasFatalFailure())
            return;
        EXPECT_EQ(FormatFixed(row.value, row.width, row.precision), underC);
        EXPECT_EQ(FormatFixed(row.value, row.width, row.precision), row.expected);
    }
}

struct FormCase
{
    const char *age;
    int formula;
    const char *termRisk;
    const char *gestRisk;
};

const FormCase kFormCases[] = {
    {"25", 0, "0.07% soit 1/1408", "1/309"},
    {"36.5", 0, "0.41% soit 1/242", "1/53"},
    {"36,5", 0, "0.41% soit 1/242", "1/53"},
    {"36.5", 1, "0.37% soit 1/271", "1/59"},
    {"36,5", 1, "0.37% soit 1/271", "1/59"},
    {"45", 0, "4.20% soit 1/24", "1/ 5"},
};

// Opens the form, picks the formula and types the age, as the user would.
FormTexts Recalculate(const FormCase &row)
{
    FakeFormPlatform platform;
    RiskForm form(platform);
    form.InitInputs();
    platform.m_nSelection = row.formula;
    platform.m_fields.m_strAge = row.age;
    form.ComputeTermRisk();
    return platform.m_fields;
}

TEST(FrenchLocale, RecalculationUnchanged)
{
    for (const FormCase &row : kFormCases) {
        SCOPED_TRACE(std::string(row.age) + (row.formula == 0 ? " Cuckle" : " Hecht"));
        FormTexts underC;
        {
            ProcessLocale c("C");
            ASSERT_TRUE(c.IsValid());
            underC = Recalculate(row);
        }
        ProcessLocale french(kFrench);
        ExpectFrenchInEffect(french);
        if (::testing::Test::HasFatalFailure())
            return;
        const FormTexts underFrench = Recalculate(row);
        EXPECT_EQ(underFrench, underC);
        EXPECT_EQ(underFrench.m_strTermRisk, row.termRisk);
        EXPECT_EQ(underFrench.m_strGestRisk, row.gestRisk);
    }
}

} // namespace
} // namespace meravel

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // As the application does at startup: the regional settings come from the
    // environment.
    const char *environmentLocale = std::setlocale(LC_ALL, "");
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) != "--french-process")
            continue;
        // The run that must be French from the start: check it really is.
        if (environmentLocale == nullptr || std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
            std::fprintf(stderr,
                "--french-process: the process locale is not French (LC_ALL=%s); "
                "scripts/install-deps.sh generates fr_FR.UTF-8\n",
                std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "");
            return 1;
        }
    }
    return RUN_ALL_TESTS();
}
