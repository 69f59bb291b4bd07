#pragma once

// The risk curve's geometry and texts: the odds at term against the mother's
// age, 18 to 45 years, for both formulas, on a logarithmic scale of N from
// 1/10 at the top to 1/2000 at the bottom, with the reference line 1/250 and
// the current age marked. Computed here with the figures' own arithmetic; the
// front ends only draw the lines and texts this returns, in their own pixels.

#include "risk/term_risk.h"

#include <optional>
#include <string>
#include <vector>

namespace meravel {

// What the curve shows of the calculator: the selected formula and the age
// field's text, read as the calculator reads it.
struct RiskCurveState
{
    RiskFormula formula = RiskFormula::Cuckle;
    std::string ageText;

    bool operator==(const RiskCurveState &) const = default;
};

struct PlotPoint
{
    double x;
    double y;
};

// A tick of an axis: its position (x for the age axis, y for the odds axis)
// and its label.
struct PlotTick
{
    double position;
    std::string label;
};

// Where the plot goes, in the front end's pixels: the rectangle inside the
// margins it keeps for the tick labels and axis titles.
struct PlotArea
{
    double left;
    double top;
    double right;
    double bottom;
};

struct RiskCurvePlot
{
    PlotArea area;
    std::vector<PlotPoint> cuckle; // polyline, one point per quarter year of age
    std::vector<PlotPoint> hecht;
    RiskFormula selected;            // the curve to stress
    std::vector<PlotTick> ageTicks;  // 18, 20, 25, 30, 35, 40, 45 (x)
    std::vector<PlotTick> oddsTicks; // 1/10, 1/20, 1/50, 1/100, 1/200, 1/500, 1/1000, 1/2000 (y)
    double referenceY;               // the line of 1/250
    std::string referenceLabel;      // "1/250"
    std::optional<PlotPoint> mark;   // the current age and its odds, when the age is accepted
    std::string markLabel;           // "37 ans : 1/214", as the term field rounds it; empty without a mark
    std::string ageAxisTitle;        // "Âge de la mère (ans)"
    std::string oddsAxisTitle;       // "Risque à terme (1/N)"
    std::string description;         // one line for screen readers, naming the mark when there is one
};

// The plot for the calculator's current state: the selected formula and the
// age field's text, read as the calculator reads it.
RiskCurvePlot MakeRiskCurvePlot(const PlotArea &area, RiskFormula selected, const std::string &ageText);

} // namespace meravel
