#include "form/calculator.h"

#include "form/record_summary.h"
#include "res/dialog_templates.h"
#include "res/resource.h"
#include "res/version.h"
#include "risk/term_risk.h"

#include <algorithm>
#include <string>

namespace meravel {

Calculator::Calculator(FormPlatform &fields, CalculatorWindow &window)
    : m_fields(fields)
    , m_window(window)
    , m_form(fields)
{
}

namespace {

constexpr const char *kCopied = "Résumé copié dans le presse-papiers.";
constexpr const char *kNotCopied = "Le presse-papiers est occupé : le résumé n'a pas été copié.";

} // namespace

void Calculator::InitInputs()
{
    m_form.InitInputs();
    m_strSpoken = SpokenFigures(m_form.Texts(), true, {});
}

void Calculator::OnChangeAge()
{
    if (m_form.IsExchanging())
        return;
    m_form.ComputeTermRisk();
    NotifyFiguresChanged(true);
}

void Calculator::OnSelchangeFormula()
{
    if (m_form.IsExchanging())
        return;
    m_form.ComputeTermRisk();
    NotifyFiguresChanged(true, res::kFormulaEntries[static_cast<std::size_t>(CurveState().formula)]);
}

void Calculator::OnChangeWeeks()
{
    if (m_form.IsExchanging())
        return;
    m_form.ComputeGestationalRisk();
    NotifyFiguresChanged(false);
}

void Calculator::OnSpinStep(int delta)
{
    OnDeltaposWeeks(delta);
    OnVScroll();
}

int Calculator::OnDeltaposWeeks(int delta)
{
    m_form.UpdateData(true);
    return m_form.WeeksSpin().Step(m_form.Texts().m_strWeeks, delta);
}

void Calculator::OnVScroll()
{
    m_form.ShowWeeksPosition();
    m_form.ComputeGestationalRisk();
    NotifyFiguresChanged(false);
}

bool Calculator::OnCommand(int id)
{
    switch (id) {
    case IDOK:
    case ID_MENU_QUIT:
        OnOK();
        return true;
    case ID_MENU_INFO:
    case ID_HELP:
    case IDM_ABOUT_SYS:
        m_window.RunAboutBox();
        return true;
    case ID_TOOLS_DELIVERY_AGE:
        OnToolsDeliveryAge();
        return true;
    case ID_TOOLS_COPY_SUMMARY:
        OnToolsCopySummary();
        return true;
    case ID_TOOLS_RISK_CURVE:
        m_window.ShowRiskCurve();
        return true;
    default:
        return false;
    }
}

bool Calculator::WorksFromEveryWindow(int id)
{
    return id == ID_TOOLS_COPY_SUMMARY;
}

void Calculator::OnOK()
{
    m_form.UpdateData(true);
    m_window.EndAccepted();
}

void Calculator::OnToolsDeliveryAge()
{
    const std::optional<DeliveryAgeCheck> dates = m_window.RunDeliveryAge(OpeningDates(m_window.Today()));
    if (!dates || !dates->accepted)
        return;
    m_window.TypeAge(dates->ageText);
    if (dates->term.weeks)
        m_window.TypeWeeks(std::to_string(*dates->term.weeks));
}

void Calculator::OnToolsCopySummary()
{
    if (m_window.CopyToClipboard(Summary())) {
        m_window.ShowStatus(kCopied);
        return;
    }
    m_window.Beep();
    m_window.ShowStatus(kNotCopied);
}

std::string Calculator::Summary()
{
    m_form.UpdateData(true);
    // The formula the figures are for, as the figures read the list.
    const auto formula = static_cast<std::size_t>(FormulaFromIndex(m_fields.FormulaSelection()));
    return RecordSummary(m_form.Texts(), res::kFormulaEntries[formula], "Meravel " MERAVEL_VERSION);
}

RiskCurveState Calculator::CurveState()
{
    return {FormulaFromIndex(m_fields.FormulaSelection()), m_form.Texts().m_strAge};
}

void Calculator::AddListener(FiguresListener *listener)
{
    if (std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void Calculator::RemoveListener(FiguresListener *listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void Calculator::NotifyFiguresChanged(bool termChanged, const std::string &chosenFormula)
{
    // Said once, however many edits lead to the same figures; a formula
    // chosen is always said.
    const std::string spoken = SpokenFigures(m_form.Texts(), termChanged, chosenFormula);
    const std::string figures = SpokenFigures(m_form.Texts(), termChanged, {});
    if (figures != m_strSpoken || !chosenFormula.empty())
        m_window.Announce(spoken);
    m_strSpoken = figures;

    // A listener may leave the list while another is told.
    const std::vector<FiguresListener *> listeners = m_listeners;
    for (FiguresListener *listener : listeners) {
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            listener->OnFiguresChanged();
    }
}

} // namespace meravel
