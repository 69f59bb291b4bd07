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

// Sets a flag for the lifetime of a scope.
class FlagScope
{
public:
    explicit FlagScope(bool &flag)
        : m_flag(flag)
        , m_previous(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = m_previous; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &m_flag;
    bool m_previous;
};

} // namespace

RiskForm::RiskForm(FormPlatform &platform)
    : m_platform(platform)
{
}

void RiskForm::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_platform.ReadFields(m_texts);
        return;
    }
    const FlagScope exchanging(m_bExchanging);
    m_platform.WriteFields(m_texts);
}

void RiskForm::InitInputs()
{
    m_spinWeeks.SetRange(kWeeksLower, kWeeksUpper);
    m_spinWeeks.SetPos(kOpeningWeeks);
    {
        const FlagScope exchanging(m_bExchanging);
        m_platform.SetUpWeeksSpin(kWeeksLower, kWeeksUpper, kOpeningWeeks);
        m_platform.SelectFormula(static_cast<int>(RiskFormula::Cuckle));
    }
    m_texts.m_strWeeks = m_spinWeeks.PosText();
    m_texts.m_strAge = kOpeningAge;
    UpdateData(false);
    ComputeTermRisk();
}

void RiskForm::ShowWeeksPosition()
{
    UpdateData(true);
    const std::string position = m_spinWeeks.PosText();
    if (m_texts.m_strWeeks == position)
        return;
    m_texts.m_strWeeks = position;
    UpdateData(false);
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
    const int weeks = m_spinWeeks.GetPos(m_texts.m_strWeeks);
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
