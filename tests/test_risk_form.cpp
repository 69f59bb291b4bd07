// The form's texts for what the user types and selects, through a fake window.
// Expected figures follow from the published reference tables of the two
// formulas and of the gestational-age ratio.

#include "form/risk_form.h"
#include "risk/term_risk.h"
#include "tests/support/fake_form_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

namespace meravel {
namespace {

using test_support::FakeCalculatorWindow;
using test_support::FakeFormPlatform;

constexpr int kCuckle = 0;
constexpr int kHecht = 1;
constexpr const char *kAdvice = "Le risque peut justifier l'amniocentèse";

// A row's name as a test name: letters and digits, '_' for the rest.
template <typename Row> std::string TestName(const ::testing::TestParamInfo<Row> &info)
{
    std::string name = info.param.name;
    for (char &c : name) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            c = '_';
    }
    return name;
}

class RiskFormTest : public ::testing::Test
{
protected:
    void SetUp() override { m_form.InitInputs(); }

    // The user types the whole age field; each edit recalculates.
    void TypeAge(const std::string &age)
    {
        m_platform.m_fields.m_strAge = age;
        m_form.ComputeTermRisk();
    }

    // The user picks an entry of the formula list.
    void ChooseFormula(int index)
    {
        m_platform.m_nSelection = index;
        m_form.ComputeTermRisk();
    }

    // The whole weeks field replaced in one change, as a paste does; the
    // change recalculates, as the window's change notification does.
    void TypeWeeks(const std::string &weeks)
    {
        m_platform.m_fields.m_strWeeks = weeks;
        m_form.ComputeGestationalRisk();
    }

    // Keys typed one by one over the whole weeks field, selected: each key is
    // a change. Nothing typed deletes the selection.
    void KeyWeeks(const std::string &keys)
    {
        if (keys.empty())
            TypeWeeks("");
        for (size_t typed = 1; typed <= keys.size(); ++typed)
            TypeWeeks(keys.substr(0, typed));
    }

    void ClickSpin(int delta) { m_platform.m_calculator.OnSpinStep(delta); }

    // The window shows what the form holds.
    void ExpectShown(const char *termRisk, const char *advice, const char *gestRisk)
    {
        const FormTexts &shown = m_platform.m_fields;
        EXPECT_EQ(shown.m_strTermRisk, termRisk);
        EXPECT_EQ(shown.m_strAdvice, advice);
        EXPECT_EQ(shown.m_strGestRisk, gestRisk);
        EXPECT_EQ(m_form.Texts(), shown);
    }

    FakeCalculatorWindow m_platform;
    RiskForm &m_form = m_platform.m_calculator.Form();
};

struct AgeCase
{
    const char *name;
    const char *age;
    int formula;
    const char *weeks;
    const char *termRisk;
    const char *advice;
    const char *gestRisk;
};

// Names the row in test names and messages.
void PrintTo(const AgeCase &row, std::ostream *os)
{
    *os << row.name;
}

const AgeCase kAgeCases[] = {
    {"25 Cuckle", "25", kCuckle, "2", "0.07% soit 1/1408", "", "1/309"},
    {"25 Hecht", "25", kHecht, "2", "0.07% soit 1/1348", "", "1/295"},
    {"37 Cuckle", "37", kCuckle, "2", "0.47% soit 1/214", kAdvice, "1/47"},
    {"37 Hecht", "37", kHecht, "2", "0.42% soit 1/239", kAdvice, "1/52"},
    {"45 Cuckle", "45", kCuckle, "2", "4.20% soit 1/24", kAdvice, "1/ 5"},
    {"45 Hecht", "45", kHecht, "2", "3.43% soit 1/29", kAdvice, "1/ 6"},
    {"18 Cuckle 12 weeks", "18", kCuckle, "12", "0.06% soit 1/1667", "", "1/1166"},
    {"30 Hecht 20 weeks", "30", kHecht, "20", "0.11% soit 1/926", "", "1/785"},
    {"30 Hecht 42 weeks", "30", kHecht, "42", "0.11% soit 1/926", "", "1/930"},
    {"25 Cuckle 1 week", "25", kCuckle, "1", "0.07% soit 1/1408", "", "1/161"},
    {"leading space", " 37", kCuckle, "2", "0.47% soit 1/214", kAdvice, "1/47"},
    {"exponent form", "3.7e1", kCuckle, "2", "0.47% soit 1/214", kAdvice, "1/47"},
    {"decimal comma Cuckle", "36,5", kCuckle, "2", "0.41% soit 1/242", kAdvice, "1/53"},
    {"decimal point Cuckle", "36.5", kCuckle, "2", "0.41% soit 1/242", kAdvice, "1/53"},
    {"decimal point Hecht", "36.5", kHecht, "2", "0.37% soit 1/271", "", "1/59"},
    {"no selection is Hecht", "37", -1, "2", "0.42% soit 1/239", kAdvice, "1/52"},
    {"too young", "17", kCuckle, "2", "Erreur", "", ""},
    {"just too young", "17.99", kCuckle, "2", "Erreur", "", ""},
    {"too old", "46", kCuckle, "2", "Erreur", "", ""},
    {"just too old", "45.01", kHecht, "2", "Erreur", "", ""},
    {"empty", "", kCuckle, "2", "Erreur", "", ""},
    {"letters", "abc", kCuckle, "2", "Erreur", "", ""},
    {"hexadecimal", "0x19", kCuckle, "2", "Erreur", "", ""},
    {"infinity word", "inf", kHecht, "2", "Erreur", "", ""},
    {"overflow", "1e999", kHecht, "2", "Erreur", "", ""},
};

class RiskFormAges : public RiskFormTest, public ::testing::WithParamInterface<AgeCase>
{
};

TEST_P(RiskFormAges, ShowsTexts)
{
    const AgeCase &row = GetParam();
    m_platform.m_nSelection = row.formula;
    TypeWeeks(row.weeks);
    TypeAge(row.age);
    ExpectShown(row.termRisk, row.advice, row.gestRisk);
    // The inputs stay exactly as typed.
    EXPECT_EQ(m_platform.m_fields.m_strAge, row.age);
    EXPECT_EQ(m_platform.m_fields.m_strWeeks, row.weeks);
}

INSTANTIATE_TEST_SUITE_P(Ages, RiskFormAges, ::testing::ValuesIn(kAgeCases), TestName<AgeCase>);

TEST_F(RiskFormTest, FormulaChangeRecalculates)
{
    TypeAge("37");
    ChooseFormula(kHecht);
    ExpectShown("0.42% soit 1/239", kAdvice, "1/52");
    ChooseFormula(kCuckle);
    ExpectShown("0.47% soit 1/214", kAdvice, "1/47");
}

TEST_F(RiskFormTest, DecimalAgeTextStaysAsTyped)
{
    TypeAge("25.5");
    EXPECT_EQ(m_platform.m_fields.m_strAge, "25.5");
    EXPECT_NE(m_platform.m_fields.m_strTermRisk, "Erreur");
    EXPECT_EQ(m_platform.m_fields.m_strAdvice, "");
}

TEST_F(RiskFormTest, InvalidAgeClearsEarlierAdvice)
{
    for (const char *invalid : {"17", "46", "", "abc", "0x19"}) {
        SCOPED_TRACE(std::string("age \"") + invalid + '"');
        TypeAge("37");
        ExpectShown("0.47% soit 1/214", kAdvice, "1/47");
        TypeAge(invalid);
        ExpectShown("Erreur", "", "");
    }
}

struct WeeksTextCase
{
    const char *name;
    const char *weeks;
};

const WeeksTextCase kUnusableWeeks[] = {
    {"zero", "0"},
    {"beyond range", "50"},
    {"empty", ""},
    {"letters", "dix"},
};

TEST_F(RiskFormTest, UnusableWeeksTextShowsNoFigureAndKeepsLastPosition)
{
    ChooseFormula(kHecht);
    TypeWeeks("20");
    TypeAge("30");
    ExpectShown("0.11% soit 1/926", "", "1/785");
    for (const WeeksTextCase &row : kUnusableWeeks) {
        SCOPED_TRACE(row.name);
        TypeWeeks(row.weeks);
        ExpectShown("0.11% soit 1/926", "", "");
        TypeAge("30");
        ExpectShown("0.11% soit 1/926", "", "");
        EXPECT_EQ(m_platform.m_fields.m_strWeeks, row.weeks);
        EXPECT_EQ(m_form.WeeksSpin().Pos(), 20);
    }
}

TEST_F(RiskFormTest, UnusableWeeksTextAtOpeningKeepsTwoWeeks)
{
    for (const WeeksTextCase &row : kUnusableWeeks) {
        SCOPED_TRACE(row.name);
        TypeWeeks(row.weeks);
        TypeAge("25");
        ExpectShown("0.07% soit 1/1408", "", "");
        EXPECT_EQ(m_platform.m_fields.m_strWeeks, row.weeks);
        EXPECT_EQ(m_form.WeeksSpin().Pos(), 2);
    }
}

struct SpinCase
{
    const char *name;
    const char *age;
    int formula;
    const char *weeksBefore;
    int delta;
    const char *weeksAfter;
    const char *gestRisk;
};

// Names the row in test names and messages.
void PrintTo(const SpinCase &row, std::ostream *os)
{
    *os << row.name;
}

const SpinCase kSpinCases[] = {
    {"down to the first week", "25", kCuckle, "2", -1, "1", "1/161"},
    {"stays at the first week", "25", kCuckle, "1", -1, "1", "1/161"},
    {"up from typed weeks", "18", kCuckle, "11", 1, "12", "1/1166"},
    {"up from typed weeks with zero", "30", kHecht, "019", 1, "20", "1/785"},
    {"stays at the last week", "30", kHecht, "42", 1, "42", "1/930"},
    {"from last position when text is unusable", "25", kCuckle, "50", -1, "1", "1/161"},
    {"invalid age shows nothing", "17", kCuckle, "2", 1, "3", ""},
    {"empty age shows nothing", "", kHecht, "11", 1, "12", ""},
};

class RiskFormSpin : public RiskFormTest, public ::testing::WithParamInterface<SpinCase>
{
};

TEST_P(RiskFormSpin, StepRecalculatesGestationalRiskOnly)
{
    const SpinCase &row = GetParam();
    m_platform.m_nSelection = row.formula;
    TypeWeeks(row.weeksBefore);
    TypeAge(row.age);
    const FormTexts before = m_platform.m_fields;
    ClickSpin(row.delta);
    const FormTexts &after = m_platform.m_fields;
    EXPECT_EQ(after.m_strWeeks, row.weeksAfter);
    EXPECT_EQ(after.m_strGestRisk, row.gestRisk);
    EXPECT_EQ(after.m_strTermRisk, before.m_strTermRisk);
    EXPECT_EQ(after.m_strAdvice, before.m_strAdvice);
    EXPECT_EQ(after.m_strAge, row.age);
    EXPECT_EQ(m_form.Texts(), after);
}

INSTANTIATE_TEST_SUITE_P(Steps, RiskFormSpin, ::testing::ValuesIn(kSpinCases), TestName<SpinCase>);

// What the user does after typing in the weeks field.
enum class Then { Down, Up, Age38, Hecht };

struct WeeksKeysCase
{
    const char *name;
    const char *keys; // typed one by one over the weeks field, from age 37 Cuckle at 2 weeks
    std::vector<Then> then;
    const char *weeks; // the weeks field afterwards
    int position;      // where the spin stands afterwards
    const char *termRisk;
    const char *gestRisk;
};

// Names the row in test names and messages.
void PrintTo(const WeeksKeysCase &row, std::ostream *os)
{
    *os << row.name;
}

// The gestational figures are the odds at term over Snijders' ratio,
// 10^(0.2718 (log w)^2 - 1.023 log w + 0.9425), worked out apart from the
// program: at 37 Cuckle (N = 213.92) 1/93 at 5 weeks, 1/80 at 4, 1/65 at 3,
// 1/114 at 7, 1/181 at 20; at 38 Cuckle (N = 165.37) 1/62 at 4 weeks.
const WeeksKeysCase kWeeksKeysCases[] = {
    {"20", "20", {}, "20", 20, "0.47% soit 1/214", "1/181"},
    {"5 on the way to 50", "5", {}, "5", 5, "0.47% soit 1/214", "1/93"},
    {"07 is 7", "07", {}, "07", 7, "0.47% soit 1/214", "1/114"},
    {"emptied", "", {}, "", 2, "0.47% soit 1/214", ""},
    {"0", "0", {}, "0", 2, "0.47% soit 1/214", ""},
    {"43 keeps the 4", "43", {}, "43", 4, "0.47% soit 1/214", ""},
    {"50 keeps the 5", "50", {}, "50", 5, "0.47% soit 1/214", ""},
    {"50 then age 38", "50", {Then::Age38}, "50", 5, "0.60% soit 1/165", ""},
    {"0 then Hecht", "0", {Then::Hecht}, "0", 2, "0.42% soit 1/239", ""},
    {"50 then Down", "50", {Then::Down}, "4", 4, "0.47% soit 1/214", "1/80"},
    {"50 then age 38 then Down", "50", {Then::Age38, Then::Down}, "4", 4, "0.60% soit 1/165", "1/62"},
    {"emptied then Up", "", {Then::Up}, "3", 3, "0.47% soit 1/214", "1/65"},
};

class RiskFormWeeksKeys : public RiskFormTest, public ::testing::WithParamInterface<WeeksKeysCase>
{
};

TEST_P(RiskFormWeeksKeys, EachKeyRecalculates)
{
    const WeeksKeysCase &row = GetParam();
    TypeAge("37");
    KeyWeeks(row.keys);
    for (const Then then : row.then) {
        switch (then) {
        case Then::Down:
            ClickSpin(-1);
            break;
        case Then::Up:
            ClickSpin(1);
            break;
        case Then::Age38:
            TypeAge("38");
            break;
        case Then::Hecht:
            ChooseFormula(kHecht);
            break;
        }
    }
    ExpectShown(row.termRisk, kAdvice, row.gestRisk);
    EXPECT_EQ(m_platform.m_fields.m_strWeeks, row.weeks);
    EXPECT_EQ(m_form.WeeksSpin().Pos(), row.position);
}

INSTANTIATE_TEST_SUITE_P(Keys, RiskFormWeeksKeys, ::testing::ValuesIn(kWeeksKeysCases), TestName<WeeksKeysCase>);

// Whatever the form asks of the window, it reads every field before it writes
// them back, and ends with a write.
void ExpectReadBeforeEachWrite(const std::vector<FakeFormPlatform::Call> &calls)
{
    using Call = FakeFormPlatform::Call;
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), Call::ReadFields);
    EXPECT_EQ(calls.back(), Call::WriteFields);
    bool readSinceWrite = false;
    for (const Call call : calls) {
        if (call == Call::ReadFields)
            readSinceWrite = true;
        if (call == Call::WriteFields) {
            EXPECT_TRUE(readSinceWrite);
            readSinceWrite = false;
        }
        if (call == Call::FormulaSelection) {
            EXPECT_TRUE(readSinceWrite) << "asked the window between a write and the next read";
        }
    }
}

TEST_F(RiskFormTest, ReadsAllBeforeWritingAll)
{
    m_platform.m_bRecordCalls = true;
    TypeAge("37");
    ExpectReadBeforeEachWrite(m_platform.m_calls);
    m_platform.m_calls.clear();
    ClickSpin(1);
    ExpectReadBeforeEachWrite(m_platform.m_calls);
    m_platform.m_calls.clear();
    TypeWeeks("50");
    ExpectReadBeforeEachWrite(m_platform.m_calls);
    m_platform.m_calls.clear();
    TypeAge("17");
    ExpectReadBeforeEachWrite(m_platform.m_calls);
}

TEST(RiskFormInit, SetsUpInputsBeforeFirstFigures)
{
    using Call = FakeFormPlatform::Call;
    FakeFormPlatform platform;
    platform.m_fields.m_strAge = "40";
    platform.m_fields.m_strWeeks = "30";
    platform.m_bRecordCalls = true;
    RiskForm form(platform);
    form.InitInputs();

    EXPECT_EQ(platform.m_fields.m_strAge, "25");
    EXPECT_EQ(platform.m_fields.m_strWeeks, "2");
    EXPECT_EQ(platform.m_nSelection, kCuckle);
    EXPECT_EQ(platform.m_nSpinLower, 1);
    EXPECT_EQ(platform.m_nSpinUpper, 42);
    EXPECT_EQ(platform.m_nSpinPosition, 2);
    EXPECT_EQ(form.WeeksSpin().Pos(), 2);
    EXPECT_EQ(platform.m_fields.m_strTermRisk, "0.07% soit 1/1408");
    EXPECT_EQ(platform.m_fields.m_strAdvice, "");
    EXPECT_EQ(platform.m_fields.m_strGestRisk, "1/309");
    EXPECT_EQ(form.Texts(), platform.m_fields);

    // The spin range and the selection come before any figure is computed.
    const auto &calls = platform.m_calls;
    const auto firstRead = std::find(calls.begin(), calls.end(), Call::ReadFields);
    ASSERT_NE(firstRead, calls.end());
    EXPECT_NE(std::find(calls.begin(), firstRead, Call::SetUpWeeksSpin), firstRead);
    EXPECT_NE(std::find(calls.begin(), firstRead, Call::SelectFormula), firstRead);
}

// An age whose Cuckle odds lie between 249.5 and 250: N prints as 250 yet is
// below it, so the advice shows beside "1/250".
TEST_F(RiskFormTest, OddsJustBelowReferencePrintAs250WithAdvice)
{
    const auto odds = [](double age) { return OddsFromProbability(TermProbability(age, RiskFormula::Cuckle)); };
    double younger = 36.0; // odds above 250
    double older = 37.0;   // odds below 249.5
    double age = (younger + older) / 2.0;
    for (int i = 0; i < 100 && !(odds(age) > 249.5 && odds(age) < 250.0); ++i) {
        if (odds(age) >= 250.0)
            younger = age;
        else
            older = age;
        age = (younger + older) / 2.0;
    }
    ASSERT_GT(odds(age), 249.5);
    ASSERT_LT(odds(age), 250.0);

    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, age);
    ASSERT_EQ(error, std::errc());
    TypeAge(std::string(text, end));
    ExpectShown("0.40% soit 1/250", kAdvice, "1/55");
}

} // namespace
} // namespace meravel
