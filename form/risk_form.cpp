#include "form/risk_form.h"

#include "form/number_text.h"
#include "form/updown.h"
#include "risk/gestational_ratio.h"
#include "risk/term_risk.h"

namespace meravel {

namespace {

constexpr int kWeeksLower = 1;
constexpr int kWeeksUpper = 42;
constexpr int kOpeningWeeks = 2;
constexpr const char *kOpeningAge = "25";

constexpr const char *kInvalidAge = "Erreur";
constexpr const char *kAdvice = "Le risque peut justifier l'amniocentèse";

// "%2.2f%% soit 1/%2.0f"
std::string TermRiskText(double probability, double odds)
{
    return FormatFixed(probability * 100.0, 2, 2) + "% soit 1/" + FormatFixed(odds, 2, 0);
}

// "1/%2.0f"
std::string OddsText(double odds)
{
    return "1/" + FormatFixed(odds, 2, 0);
}

} // namespace

RiskForm::RiskForm(FormPlatform &platform)
    : m_platform(platform)
{
}

void RiskForm::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate)
        m_platform.ReadFields(m_texts);
    else
        m_platform.WriteFields(m_texts);
}

void RiskForm::InitInputs()
{
    m_platform.SetUpWeeksSpin(kWeeksLower, kWeeksUpper, kOpeningWeeks);
    m_platform.SelectFormula(static_cast<int>(RiskFormula::Cuckle));
    m_texts.m_strWeeks = std::to_string(kOpeningWeeks);
    m_texts.m_strAge = kOpeningAge;
    UpdateData(false);
    ComputeTermRisk();
}

void RiskForm::ComputeTermRisk()
{
    UpdateData(true);
    const double age = ParseDecimal(m_texts.m_strAge);
    if (!IsAcceptedAge(age)) {
        // No figure at all for an age the formulas do not cover; an advice
        // line left from an earlier age would be misleading beside it.
        m_texts.m_strTermRisk = kInvalidAge;
        m_texts.m_strGestRisk.clear();
        m_texts.m_strAdvice.clear();
        UpdateData(false);
        return;
    }

    const double probability = TermProbability(age, FormulaFromIndex(m_platform.FormulaSelection()));
    const double odds = OddsFromProbability(probability);
    m_texts.m_strAdvice = IsAdviceDue(odds) ? kAdvice : "";
    m_texts.m_strTermRisk = TermRiskText(probability, odds);
    UpdateData(false);

    ComputeGestationalRisk();
}

void RiskForm::ComputeGestationalRisk()
{
    UpdateData(true);
    // Asked even for a text it cannot take up: the spin keeps its last
    // position, the one the next step starts from.
    const int weeks = m_platform.WeeksPosition();
    const bool weeksShown = UpDownState::WholeNumberInRange(m_texts.m_strWeeks, kWeeksLower, kWeeksUpper).has_value();
    const double age = ParseDecimal(m_texts.m_strAge);
    if (weeksShown && IsAcceptedAge(age)) {
        const double probability = TermProbability(age, FormulaFromIndex(m_platform.FormulaSelection()));
        m_texts.m_strGestRisk = OddsText(GestationalOdds(GestationalRatio(weeks), OddsFromProbability(probability)));
    } else {
        // The term field shows "Erreur" for this age, or the weeks field
        // holds no week from 1 to 42: a figure for the spin's last position
        // would not be for the weeks on screen.
        m_texts.m_strGestRisk.clear();
    }
    UpdateData(false);
}

} // namespace meravel
