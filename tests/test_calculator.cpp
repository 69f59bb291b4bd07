// What the calculator does for each event and command, through a fake window:
// the recalculation that follows, the window's own notifications ignored, the
// listeners told, and what each command asks of the window.

#include "form/calculator.h"
#include "res/resource.h"
#include "res/version.h"
#include "tests/support/fake_form_platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace meravel {
namespace {

using test_support::FakeCalculatorWindow;

// Counts what it hears.
class Listener : public FiguresListener
{
public:
    void OnFiguresChanged() override { ++heard; }
    int heard = 0;
};

// A window that, like a real one, raises the age field's and the weeks
// field's change notifications while the form writes into them.
class EchoingWindow : public FakeCalculatorWindow
{
public:
    void WriteFields(const FormTexts &texts) override
    {
        FakeCalculatorWindow::WriteFields(texts);
        ++writes;
        m_calculator.OnChangeAge();
        m_calculator.OnChangeWeeks();
        m_calculator.OnSelchangeFormula();
    }
    int writes = 0;
};

class CalculatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window.m_calculator.InitInputs();
        m_window.m_calculator.AddListener(&m_listener);
    }

    Calculator &Calc() { return m_window.m_calculator; }
    const FormTexts &Shown() const { return m_window.m_fields; }

    FakeCalculatorWindow m_window;
    Listener m_listener;
};

TEST(CalculatorExchange, NotificationsDuringWritesStartNothing)
{
    EchoingWindow window;
    window.m_calculator.InitInputs();
    const int opening = window.writes;
    window.m_fields.m_strAge = "37";
    window.m_calculator.OnChangeAge();
    // One write for the term figure, one for the gestational figure: the
    // echoes recalculated nothing more.
    EXPECT_EQ(window.writes - opening, 2);
    EXPECT_EQ(window.m_fields.m_strTermRisk, "0.47% soit 1/214");
    window.m_calculator.OnSpinStep(1);
    EXPECT_EQ(window.m_fields.m_strWeeks, "3");
    EXPECT_EQ(window.m_fields.m_strGestRisk, "1/65");
}

struct EventRow
{
    const char *name;
    std::function<void(FakeCalculatorWindow &)> act;
    const char *weeks, *termRisk, *gestRisk;
    const char *spoken; // what a screen reader is told
};

TEST_F(CalculatorTest, EachEventRecalculatesAndTellsTheListeners)
{
    const EventRow rows[] = {
        {"age edited",
            [](FakeCalculatorWindow &w) {
                w.m_fields.m_strAge = "37";
                w.m_calculator.OnChangeAge();
            },
            "2", "0.47% soit 1/214", "1/47",
            "à terme 0.47% soit 1/214, à 2 SA 1/47, Le risque peut justifier l'amniocentèse"},
        {"formula chosen",
            [](FakeCalculatorWindow &w) {
                w.m_nSelection = 1;
                w.m_calculator.OnSelchangeFormula();
            },
            "2", "0.07% soit 1/1348", "1/295", "Hecht : à terme 0.07% soit 1/1348, à 2 SA 1/295"},
        {"weeks edited",
            [](FakeCalculatorWindow &w) {
                w.m_fields.m_strWeeks = "20";
                w.m_calculator.OnChangeWeeks();
            },
            "20", "0.07% soit 1/1408", "1/1194", "à 20 SA 1/1194"},
        {"spin step from typed weeks",
            [](FakeCalculatorWindow &w) {
                w.m_fields.m_strWeeks = "019";
                w.m_calculator.OnSpinStep(1);
            },
            "20", "0.07% soit 1/1408", "1/1194", "à 20 SA 1/1194"},
        {"spin control moving by itself, up at 42",
            [](FakeCalculatorWindow &w) {
                w.m_fields.m_strWeeks = "42";
                EXPECT_EQ(w.m_calculator.OnDeltaposWeeks(1), 42);
                w.m_calculator.OnVScroll();
            },
            "42", "0.07% soit 1/1408", "1/1414", "à 42 SA 1/1414"},
        {"age edited to the same figures",
            [](FakeCalculatorWindow &w) {
                w.m_fields.m_strAge = "25.0";
                w.m_calculator.OnChangeAge();
            },
            "2", "0.07% soit 1/1408", "1/309", nullptr},
        {"age edited out of range",
            [](FakeCalculatorWindow &w) {
                w.m_fields.m_strAge = "3";
                w.m_calculator.OnChangeAge();
            },
            "2", "Erreur", "", "à terme : Erreur"},
    };
    for (const EventRow &row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        m_listener.heard = 0;
        m_window.m_announced.clear();
        row.act(m_window);
        EXPECT_EQ(Shown().m_strWeeks, row.weeks);
        EXPECT_EQ(Shown().m_strTermRisk, row.termRisk);
        EXPECT_EQ(Shown().m_strGestRisk, row.gestRisk);
        EXPECT_EQ(m_listener.heard, 1);
        EXPECT_EQ(m_window.m_announced, row.spoken ? std::vector<std::string>{row.spoken} : std::vector<std::string>{});
    }
    Calc().RemoveListener(&m_listener);
    Calc().OnChangeAge();
    EXPECT_EQ(m_listener.heard, 1);
}

TEST_F(CalculatorTest, Commands)
{
    struct Row
    {
        int id;
        int FakeCalculatorWindow::*counter;
    };
    const Row rows[] = {
        {IDOK, &FakeCalculatorWindow::m_nEnded},
        {ID_MENU_QUIT, &FakeCalculatorWindow::m_nEnded},
        {ID_MENU_INFO, &FakeCalculatorWindow::m_nAboutBoxes},
        {ID_HELP, &FakeCalculatorWindow::m_nAboutBoxes},
        {IDM_ABOUT_SYS, &FakeCalculatorWindow::m_nAboutBoxes},
        {ID_TOOLS_RISK_CURVE, &FakeCalculatorWindow::m_nCurves},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        const int before = m_window.*row.counter;
        m_window.m_fields.m_strAge = "37"; // typed, not yet read
        EXPECT_TRUE(Calc().OnCommand(row.id));
        EXPECT_EQ(m_window.*row.counter, before + 1);
    }
    // The OK action reads every field before the window ends.
    EXPECT_EQ(Calc().Texts().m_strAge, "37");
    EXPECT_FALSE(Calc().OnCommand(IDC_AGE));
    EXPECT_FALSE(Calc().OnCommand(IDCANCEL));
}

TEST_F(CalculatorTest, DeliveryAgeOpensAroundToday)
{
    struct Row
    {
        CalendarDate today, birth, delivery;
    };
    // 30 years before (28 February for 29 February), 140 days after.
    const Row rows[] = {
        {{2026, 12, 9}, {1996, 12, 9}, {2027, 4, 28}},
        {{2028, 2, 29}, {1998, 2, 28}, {2028, 7, 18}},
        {{2027, 10, 20}, {1997, 10, 20}, {2028, 3, 8}},
    };
    for (const Row &row : rows) {
        m_window.m_today = row.today;
        EXPECT_TRUE(Calc().OnCommand(ID_TOOLS_DELIVERY_AGE));
        ASSERT_FALSE(m_window.m_deliveryOpenings.empty());
        EXPECT_EQ(m_window.m_deliveryOpenings.back().birth, row.birth);
        EXPECT_EQ(m_window.m_deliveryOpenings.back().delivery, row.delivery);
    }
    // Cancelled: nothing typed.
    EXPECT_EQ(Shown().m_strAge, "25");
}

// The term today from the DPA alone, the DPA at 41 SA + 0 j (287 days after
// the last period), days counted by hand; then OK types the age, and the
// whole weeks when from 1 to 42 (else the weeks field keeps its 2, and the
// window says why).
TEST_F(CalculatorTest, DeliveryTermAndWhatOkTypes)
{
    constexpr const char *kFew = "Moins de 1 SA : le champ SA reste inchangé.";
    const struct
    {
        const char *name;
        CalendarDate today, delivery;
        const char *term, *weeks, *message;
    } rows[] = {
        {"DPA today", {2026, 12, 9}, {2026, 12, 9}, "41 SA + 0 j", "41", ""},
        {"DPA in 287 days", {2026, 1, 1}, {2026, 10, 15}, "0 SA + 0 j", "2", kFew},
        {"DPA in 280 days", {2026, 1, 1}, {2026, 10, 8}, "1 SA + 0 j", "1", ""},
        {"DPA passed by 13 days", {2026, 12, 9}, {2026, 11, 26}, "42 SA + 6 j", "42", ""},
        {"DPA passed by 14 days", {2026, 12, 9}, {2026, 11, 25}, "43 SA + 0 j", "2",
            "Plus de 42 SA + 6 j : le champ SA reste inchangé."},
        {"29 February between", {2024, 3, 1}, {2024, 2, 28}, "41 SA + 2 j", "41", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        const DeliveryAgeCheck check = CheckDeliveryAge({1990, 1, 1}, row.delivery, row.today);
        EXPECT_EQ(check.term.text, row.term);
        EXPECT_EQ(check.term.message, row.message);
        m_window.m_deliveryAnswer = check;
        Calc().OnCommand(ID_TOOLS_DELIVERY_AGE);
        EXPECT_EQ(Shown().m_strAge, check.ageText);
        EXPECT_EQ(Shown().m_strWeeks, row.weeks);
    }
}

TEST_F(CalculatorTest, CopiesTheSummaryOrBeeps)
{
    m_window.m_fields.m_strAge = "37";
    m_window.m_nSelection = 1;
    Calc().OnSelchangeFormula();
    EXPECT_TRUE(Calc().OnCommand(ID_TOOLS_COPY_SUMMARY));
    ASSERT_EQ(m_window.m_copied.size(), 1u);
    EXPECT_EQ(m_window.m_copied[0],
        "Âge maternel 37 ans · Hecht · à terme 0.42% soit 1/239 · à 2 SA 1/52 · "
        "Le risque peut justifier l'amniocentèse · Meravel " MERAVEL_VERSION);
    EXPECT_EQ(m_window.m_nBeeps, 0);
    EXPECT_EQ(m_window.m_statuses, std::vector<std::string>{"Résumé copié dans le presse-papiers."});
    // No selection reads as Hecht, as the figures do.
    m_window.m_nSelection = -1;
    EXPECT_NE(Calc().Summary().find(" · Hecht · "), std::string::npos);

    m_window.m_bClipboardWorks = false;
    Calc().OnCommand(ID_TOOLS_COPY_SUMMARY);
    EXPECT_EQ(m_window.m_nBeeps, 1);
    EXPECT_NE(m_window.m_statuses.back().find("pas été copié"), std::string::npos);
}

TEST_F(CalculatorTest, CurveStateIsTheFormulaAndTheAgeAsTyped)
{
    m_window.m_fields.m_strAge = " 3.7e1";
    m_window.m_nSelection = 1;
    Calc().OnSelchangeFormula();
    EXPECT_EQ(Calc().CurveState(), (RiskCurveState{RiskFormula::Hecht, " 3.7e1"}));
}

} // namespace
} // namespace meravel
