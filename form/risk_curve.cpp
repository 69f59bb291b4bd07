#include "form/risk_curve.h"

#include "form/number_text.h"
#include "risk/rounded_math.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace meravel {

namespace {

constexpr double kAgeStep = 0.25;
constexpr int kSeriesSteps = 108; // (45 - 18) / 0.25: 109 points with both ends

// The odds axis: 1/10 at the top, 1/2000 at the bottom.
constexpr double kTopOdds = 10.0;
constexpr double kBottomOdds = 2000.0;

constexpr int kAgeTicks[] = {18, 20, 25, 30, 35, 40, 45};
constexpr int kOddsTicks[] = {10, 20, 50, 100, 200, 500, 1000, 2000};

const char *FormulaName(RiskFormula formula)
{
    return formula == RiskFormula::Cuckle ? "Cuckle" : "Hecht";
}

// Pixel positions, with the correctly rounded logarithm so that every
// platform draws the same.
class Scale
{
public:
    explicit Scale(const PlotArea &area)
        : m_area(area)
        , m_logTop(RoundedLog(kTopOdds))
        , m_logBottom(RoundedLog(kBottomOdds))
    {
    }

    double X(double age) const
    {
        return m_area.left + (age - kAgeLowerBound) / (kAgeUpperBound - kAgeLowerBound) * (m_area.right - m_area.left);
    }

    // Odds beyond the axis are drawn at its end.
    double Y(double odds) const
    {
        const double clamped = std::clamp(odds, kTopOdds, kBottomOdds);
        return m_area.top + (RoundedLog(clamped) - m_logTop) / (m_logBottom - m_logTop) * (m_area.bottom - m_area.top);
    }

private:
    PlotArea m_area;
    double m_logTop;
    double m_logBottom;
};

double Odds(double age, RiskFormula formula)
{
    return OddsFromProbability(TermProbability(age, formula));
}

std::vector<PlotPoint> Series(const Scale &scale, RiskFormula formula)
{
    std::vector<PlotPoint> points;
    points.reserve(kSeriesSteps + 1);
    for (int i = 0; i <= kSeriesSteps; ++i) {
        // Exact in binary: every quarter year from 18 to 45.
        const double age = kAgeLowerBound + i * kAgeStep;
        points.push_back({scale.X(age), scale.Y(Odds(age, formula))});
    }
    return points;
}

} // namespace

RiskCurvePlot MakeRiskCurvePlot(const PlotArea &area, RiskFormula selected, const std::string &ageText)
{
    const Scale scale(area);
    RiskCurvePlot plot;
    plot.area = area;
    plot.cuckle = Series(scale, RiskFormula::Cuckle);
    plot.hecht = Series(scale, RiskFormula::Hecht);
    plot.selected = selected;

    for (int age : kAgeTicks)
        plot.ageTicks.push_back({scale.X(age), std::to_string(age)});
    for (int odds : kOddsTicks)
        plot.oddsTicks.push_back({scale.Y(odds), "1/" + std::to_string(odds)});
    plot.referenceY = scale.Y(kReferenceOdds);
    plot.referenceLabel = "1/250";

    plot.ageAxisTitle = "Âge de la mère (ans)";
    plot.oddsAxisTitle = "Risque à terme (1/N)";

    std::string description = std::string("Courbe du risque à terme selon l'âge de la mère, de 18 à 45 ans, ")
        + "formules Cuckle et Hecht (" + FormulaName(selected) + " en gras), "
        + "échelle logarithmique de 1/10 à 1/2000, seuil 1/250 ; ";

    // The age read exactly as the calculator reads it, and its odds printed
    // as the term field prints them ("%2.0f"), so the mark and the field agree.
    const double age = ParseDecimal(ageText);
    if (IsAcceptedAge(age)) {
        const double odds = Odds(age, selected);
        const std::string typed = Trimmed(ageText);
        const std::string oddsText = "1/" + FormatFixed(odds, 2, 0);
        plot.mark = PlotPoint{scale.X(age), scale.Y(odds)};
        plot.markLabel = typed + " ans : " + oddsText;
        description += "repère : " + typed + " ans, " + oddsText;
    } else {
        description += "aucun âge valide saisi";
    }
    plot.description = std::move(description);
    return plot;
}

} // namespace meravel
