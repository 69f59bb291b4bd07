// The arithmetic against published reference tables of the two maternal-age
// formulas and of Snijders' gestational-age ratio.

#include "risk/gestational_ratio.h"
#include "risk/term_risk.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

namespace meravel {
namespace {

// p to nine decimals and N to two, as the tables print them: the computed
// value must round to the printed one, give or take half a unit.
constexpr double kProbabilityTolerance = 5e-10;
constexpr double kOddsTolerance = 5e-3;

struct AgeReference
{
    const char *name;
    double age;
    double cuckleProbability;
    double cuckleOdds;
    double hechtProbability;
    double hechtOdds;
};

// Names the row in test names and messages.
void PrintTo(const AgeReference &row, std::ostream *os)
{
    *os << row.name;
}

const AgeReference kAgeReferences[] = {
    {"age18", 18.0, 0.000599909, 1666.92, 0.000650517, 1537.24},
    {"age25", 25.0, 0.000710369, 1407.72, 0.000741852, 1347.98},
    {"age30", 30.0, 0.001123495, 890.08, 0.001079761, 926.13},
    {"age35", 35.0, 0.002877669, 347.50, 0.002587277, 386.51},
    {"age36_5", 36.5, 0.004123872, 242.49, 0.003696161, 270.55},
    {"age37", 37.0, 0.004674736, 213.92, 0.004190317, 238.65},
    {"age40", 40.0, 0.010326059, 96.84, 0.009255443, 108.04},
    {"age45", 45.0, 0.041952641, 23.84, 0.034268548, 29.18},
};

class TermRiskReference : public ::testing::TestWithParam<AgeReference>
{
};

TEST_P(TermRiskReference, CuckleMatchesTable)
{
    const AgeReference &row = GetParam();
    const double p = TermProbability(row.age, RiskFormula::Cuckle);
    EXPECT_NEAR(p, row.cuckleProbability, kProbabilityTolerance);
    EXPECT_NEAR(OddsFromProbability(p), row.cuckleOdds, kOddsTolerance);
}

TEST_P(TermRiskReference, HechtMatchesTable)
{
    const AgeReference &row = GetParam();
    const double p = TermProbability(row.age, RiskFormula::Hecht);
    EXPECT_NEAR(p, row.hechtProbability, kProbabilityTolerance);
    EXPECT_NEAR(OddsFromProbability(p), row.hechtOdds, kOddsTolerance);
}

INSTANTIATE_TEST_SUITE_P(Ages, TermRiskReference, ::testing::ValuesIn(kAgeReferences),
    [](const auto &info) { return std::string(info.param.name); });

// The age at which N falls to 250, found by bisection on the computed odds.
double AgeWhereOddsReach(double odds, RiskFormula formula)
{
    double below = 18.0; // N above the target
    double above = 45.0; // N below the target
    for (int i = 0; i < 100 && above - below > 1e-9; ++i) {
        const double middle = (below + above) / 2.0;
        if (OddsFromProbability(TermProbability(middle, formula)) < odds)
            above = middle;
        else
            below = middle;
    }
    return below;
}

struct Crossing
{
    const char *name;
    RiskFormula formula;
    double age;
};

const Crossing kReferenceOddsCrossings[] = {
    {"Cuckle", RiskFormula::Cuckle, 36.377},
    {"Hecht", RiskFormula::Hecht, 36.816},
};

TEST(TermRisk, OddsFallBelowReferenceAtPublishedAge)
{
    for (const Crossing &row : kReferenceOddsCrossings) {
        SCOPED_TRACE(row.name);
        const double age = AgeWhereOddsReach(kReferenceOdds, row.formula);
        EXPECT_NEAR(age, row.age, 1e-3);
        EXPECT_FALSE(IsAdviceDue(OddsFromProbability(TermProbability(age - 0.01, row.formula))));
        EXPECT_TRUE(IsAdviceDue(OddsFromProbability(TermProbability(age + 0.01, row.formula))));
    }
}

struct AgeCheck
{
    const char *name;
    double age;
    bool accepted;
};

const AgeCheck kAgeChecks[] = {
    {"lowest", 18.0, true},
    {"highest", 45.0, true},
    {"middle", 30.5, true},
    {"just below", 17.99, false},
    {"just above", 45.01, false},
    {"below by one ulp", std::nextafter(18.0, 0.0), false},
    {"above by one ulp", std::nextafter(45.0, 100.0), false},
    {"zero", 0.0, false},
    {"negative", -30.0, false},
    {"nan", std::numeric_limits<double>::quiet_NaN(), false},
    {"plus infinity", std::numeric_limits<double>::infinity(), false},
    {"minus infinity", -std::numeric_limits<double>::infinity(), false},
};

TEST(TermRisk, AcceptedAges)
{
    for (const AgeCheck &row : kAgeChecks) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsAcceptedAge(row.age), row.accepted);
    }
}

struct FormulaIndex
{
    int index;
    RiskFormula formula;
};

const FormulaIndex kFormulaIndices[] = {
    {0, RiskFormula::Cuckle},
    {1, RiskFormula::Hecht},
    {-1, RiskFormula::Hecht},
    {2, RiskFormula::Hecht},
    {std::numeric_limits<int>::min(), RiskFormula::Hecht},
};

TEST(TermRisk, FormulaFromListIndex)
{
    for (const FormulaIndex &row : kFormulaIndices) {
        SCOPED_TRACE("index " + std::to_string(row.index));
        EXPECT_EQ(FormulaFromIndex(row.index), row.formula);
    }
}

struct AdviceCheck
{
    const char *name;
    double odds;
    bool due;
};

const AdviceCheck kAdviceChecks[] = {
    {"exactly 250", 250.0, false},
    {"just below 250", std::nextafter(250.0, 0.0), true},
    {"249.6 printed as 250", 249.6, true},
    {"250.4 printed as 250", 250.4, false},
    {"high risk", 23.8, true},
    {"low risk", 1666.9, false},
};

TEST(TermRisk, AdviceBelowReferenceOdds)
{
    for (const AdviceCheck &row : kAdviceChecks) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(IsAdviceDue(row.odds), row.due);
    }
}

struct RatioReference
{
    int weeks;
    double ratio;
};

const RatioReference kRatioReferences[] = {
    {1, 8.759917176},
    {2, 4.562223681},
    {10, 1.553459731},
    {12, 1.429040729},
    {20, 1.179278770},
    {40, 1.002751869},
    {41, 0.999064256},
    {42, 0.995616750},
};

TEST(GestationalRatio, MatchesTable)
{
    for (const RatioReference &row : kRatioReferences) {
        SCOPED_TRACE("weeks " + std::to_string(row.weeks));
        EXPECT_NEAR(GestationalRatio(row.weeks), row.ratio, 5e-10);
    }
}

TEST(GestationalRatio, FirstWeekIsTheConstantTermAlone)
{
    // ln(1) is 0, so only 10^0.9425 is left, bit for bit.
    EXPECT_EQ(GestationalRatio(1), std::pow(10.0, 0.9425));
}

TEST(GestationalRatio, RiskRisesAboveTermOnlyAfterFortyWeeks)
{
    const double termOdds = OddsFromProbability(TermProbability(30.0, RiskFormula::Cuckle));
    for (int weeks = 1; weeks <= 42; ++weeks) {
        SCOPED_TRACE("weeks " + std::to_string(weeks));
        const double ratio = GestationalRatio(weeks);
        if (weeks <= 40) {
            EXPECT_GT(ratio, 1.0);
            EXPECT_LT(GestationalOdds(ratio, termOdds), termOdds);
        } else {
            EXPECT_LT(ratio, 1.0);
            EXPECT_GT(GestationalOdds(ratio, termOdds), termOdds);
        }
    }
}

TEST(GestationalRatio, OddsAtTwoWeeksForAge25Cuckle)
{
    const double termOdds = OddsFromProbability(TermProbability(25.0, RiskFormula::Cuckle));
    EXPECT_NEAR(GestationalOdds(GestationalRatio(2), termOdds), 308.56, 5e-3);
}

} // namespace
} // namespace meravel
