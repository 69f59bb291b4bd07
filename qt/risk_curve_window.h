#pragma once

// The risk curve, built from the IDD_RISK_CURVE layout table: the odds at
// term against the mother's age for both formulas, the selected one stressed,
// the reference line 1/250 and the calculator's age marked. A modeless window
// owned by the calculator, which keeps it up to date (ShowState) after each
// recalculation of the term figure. The core (MakeRiskCurvePlot) computes
// every position and text; this window only chooses its margins from its font
// and draws, in the palette's colours.
//
//   Fermer, Enter, Escape, close box -> the window closes and is deleted

#include "risk/term_risk.h"

#include <QDialog>

#include <string>

namespace meravel {

struct PlotArea;
struct RiskCurvePlot;

class CRiskCurveWindow : public QDialog
{
    Q_OBJECT

public:
    // Placed beside the owner (the calculator) where the screen has room.
    explicit CRiskCurveWindow(QWidget *owner);

    // The calculator's state: the selected formula and the age field's text.
    void ShowState(RiskFormula formula, const std::string &ageText);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The plot widget's rectangle less the margins for the tick labels and
    // the axis titles, from its font's metrics.
    PlotArea PlotAreaFor(const RiskCurvePlot &labels) const;
    RiskCurvePlot MakePlot() const;
    void PaintPlot();
    void PlaceBeside(const QWidget *owner);

    QWidget *m_pPlot = nullptr;
    RiskFormula m_formula = RiskFormula::Cuckle;
    std::string m_strAge;
};

} // namespace meravel
