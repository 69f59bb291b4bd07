#include "form/risk_curve.h"

#include "form/number_text.h"
#include "res/dialog_templates.h"
#include "risk/rounded_math.h"

#include <algorithm>
#include <cmath>
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
    explicit Scale(const PlotRect &area)
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
    PlotRect m_area;
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

// The lengths the picture is drawn with, all from the font, so that it scales
// with the dialog font like the rest of the window.
struct Lengths
{
    explicit Lengths(const TextMeasure &measure)
        : line(std::max(1.0, std::round(measure.LineHeight())))
        , pad(std::max(1.0, std::round(measure.AverageCharWidth())))
        , gap(std::max(2.0, std::round(measure.AverageCharWidth() / 2)))
        , tick(std::max(3.0, std::round(line / 3)))
        , thin(std::max(1.0, std::round(line / 14)))
        , thick(2 * thin)
        , radius(std::max(3.0, std::round(line / 3)))
        , dash(std::max(3.0, pad))
    {
    }

    double line;   // one line of text
    double pad;    // between the widget's edges and the texts, the plot's edges and the legend
    double gap;    // between a tick and its label, a label and a title; inside the legend
    double tick;   // a tick's length
    double thin;   // the other curve
    double thick;  // the selected curve and the reference line
    double radius; // the mark's dot
    double dash;   // the reference line's dashes and gaps
};

// Grid, ticks and frames: one pixel wide whatever the font.
constexpr double kHairline = 1;

// On pixels' centres for a line of odd width, between pixels for an even one.
double Snap(double position, double width)
{
    return std::lround(width) % 2 == 1 ? std::floor(position) + 0.5 : std::round(position);
}

bool Inside(const PlotRect &box, const PlotRect &within)
{
    return box.left >= within.left && box.top >= within.top && box.right <= within.right && box.bottom <= within.bottom;
}

bool Overlap(const PlotRect &a, const PlotRect &b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

LineItem Hairline(PlotPoint from, PlotPoint to, ColourRole colour)
{
    return {{from, to}, colour, kHairline};
}

// The outline of a box that covers whole pixels, on its outer pixels.
LineItem Outline(const PlotRect &box, ColourRole colour)
{
    const double l = box.left + 0.5, t = box.top + 0.5, r = box.right - 0.5, b = box.bottom - 0.5;
    return {{{l, t}, {r, t}, {r, b}, {l, b}, {l, t}}, colour, kHairline};
}

// The mark's label beside its dot, at the first of four corners around it
// whose box stays inside the plot and clear of the legend and the reference
// line's label: above on the left first (the curves rise to the right, so
// that corner is clear of them), then below on the right, above on the
// right, below on the left; when none is, the first, moved inside the plot.
PlotRect PlaceMarkLabel(const RiskCurvePicture &picture, double width, const Lengths &lengths)
{
    const PlotPoint dot = *picture.plot.mark;
    const PlotRect &area = picture.plot.area;
    const PlotRect inside{area.left + 0.5, area.top + 0.5, area.right - 0.5, area.bottom - 0.5};
    const double offset = lengths.radius + lengths.gap;
    const double left = std::round(dot.x - offset - width), right = std::round(dot.x + offset);
    const double above = std::round(dot.y - offset - lengths.line), below = std::round(dot.y + offset);
    const PlotPoint corners[] = {{left, above}, {right, below}, {right, above}, {left, below}};
    for (const PlotPoint &corner : corners) {
        const PlotRect box{corner.x, corner.y, corner.x + width, corner.y + lengths.line};
        if (Inside(box, inside) && !Overlap(box, picture.legend) && !Overlap(box, picture.referenceLabel))
            return box;
    }
    const double x = std::clamp(left, inside.left, std::max(inside.left, inside.right - width));
    const double y = std::clamp(above, inside.top, std::max(inside.top, inside.bottom - lengths.line));
    return {x, y, x + width, y + lengths.line};
}

} // namespace

RiskCurvePlot MakeRiskCurvePlot(const PlotRect &area, RiskFormula selected, const std::string &ageText)
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
    plot.caption = std::string(FormulaName(selected)) + ", "
        + (plot.mark ? plot.markLabel : std::string("aucun âge valide saisi")) + " ; seuil 1/250";
    plot.description = std::move(description);
    return plot;
}

std::string RiskCurveDescription(const RiskCurveState &state)
{
    return MakeRiskCurvePlot({0, 0, 1, 1}, state.formula, state.ageText).description;
}

std::string RiskCurveCaption(const RiskCurveState &state)
{
    return MakeRiskCurvePlot({0, 0, 1, 1}, state.formula, state.ageText).caption;
}

RiskCurvePicture LayOutRiskCurve(const PlotRect &bounds, const TextMeasure &measure, const RiskCurveState &state)
{
    const Lengths l(measure);
    const auto width = [&measure](const std::string &text, bool bold = false) { return measure.Width(text, bold); };
    const bool upright = measure.CanRotate();

    // The margins, from the labels, which do not depend on the area. Left:
    // the odds title when it stands upright, the odds labels, the ticks.
    // Above: the odds title when it cannot, half the top odds label. Below:
    // the ticks, the age labels, the age title. Right: half the last age
    // label. The area's edges lie on pixels' centres: the frame runs there.
    const RiskCurvePlot labels = MakeRiskCurvePlot({0, 0, 1, 1}, state.formula, state.ageText);
    double oddsLabelsWidth = 0;
    for (const PlotTick &tick : labels.oddsTicks)
        oddsLabelsWidth = std::max(oddsLabelsWidth, width(tick.label));
    const PlotPoint title{bounds.left + l.pad, bounds.top + l.pad};
    const double oddsLabelsLeft = title.x + (upright ? l.line + l.gap : 0);
    const double ageTitleTop = bounds.bottom - l.pad - l.line;
    const double ageLabelsTop = ageTitleTop - l.gap - l.line;
    const PlotRect area{
        std::ceil(oddsLabelsLeft + oddsLabelsWidth + l.gap + l.tick) + 0.5,
        std::ceil(title.y + (upright ? 0 : l.line + l.gap) + l.line / 2) + 0.5,
        std::floor(bounds.right - l.pad - width(labels.ageTicks.back().label) / 2) - 0.5,
        std::floor(ageLabelsTop - l.gap - l.tick) - 0.5,
    };

    RiskCurvePicture picture;
    picture.plot = MakeRiskCurvePlot(area, state.formula, state.ageText);
    const RiskCurvePlot &plot = picture.plot;
    std::vector<PlotItem> &items = picture.items;
    items.push_back(FillItem{bounds, ColourRole::Window});
    items.push_back(FillItem{{area.left - 0.5, area.top - 0.5, area.right + 0.5, area.bottom + 0.5}, //
        ColourRole::Background});

    // The grid, the reference line, then the curves: the other formula thin,
    // the selected one thick, over it.
    for (const PlotTick &tick : plot.oddsTicks) {
        const double y = Snap(tick.position, kHairline);
        items.push_back(Hairline({area.left, y}, {area.right, y}, ColourRole::Grid));
    }
    for (const PlotTick &tick : plot.ageTicks) {
        const double x = Snap(tick.position, kHairline);
        items.push_back(Hairline({x, area.top}, {x, area.bottom}, ColourRole::Grid));
    }
    const double referenceY = Snap(plot.referenceY, l.thick);
    items.push_back(
        LineItem{{{area.left, referenceY}, {area.right, referenceY}}, ColourRole::Reference, l.thick, l.dash});
    const bool cuckle = plot.selected == RiskFormula::Cuckle;
    items.push_back(LineItem{cuckle ? plot.hecht : plot.cuckle, ColourRole::OtherCurve, l.thin, 0, true});
    items.push_back(LineItem{cuckle ? plot.cuckle : plot.hecht, ColourRole::SelectedCurve, l.thick, 0, true});

    // The frame, the ticks and their labels: the odds on the left, the ages
    // below.
    items.push_back(Outline({area.left - 0.5, area.top - 0.5, area.right + 0.5, area.bottom + 0.5}, ColourRole::Frame));
    const double oddsLabelsRight = area.left - 0.5 - l.tick - l.gap;
    for (const PlotTick &tick : plot.oddsTicks) {
        const double y = Snap(tick.position, kHairline);
        items.push_back(Hairline({area.left - l.tick, y}, {area.left, y}, ColourRole::Frame));
        items.push_back(TextItem{{oddsLabelsLeft, y - l.line / 2, oddsLabelsRight, y + l.line / 2}, tick.label,
            ColourRole::Label, TextAlign::Right});
    }
    for (const PlotTick &tick : plot.ageTicks) {
        const double x = Snap(tick.position, kHairline);
        const double half = width(tick.label) / 2;
        items.push_back(Hairline({x, area.bottom}, {x, area.bottom + l.tick}, ColourRole::Frame));
        items.push_back(TextItem{{x - half, ageLabelsTop, x + half, ageLabelsTop + l.line}, tick.label,
            ColourRole::Label, TextAlign::Centre});
    }

    // The axis titles: the ages' centred under their labels; the odds' along
    // the plot's height, or above it on the left.
    items.push_back(TextItem{{area.left, ageTitleTop, area.right, ageTitleTop + l.line}, plot.ageAxisTitle,
        ColourRole::Label, TextAlign::Centre});
    if (upright)
        items.push_back(TextItem{{title.x, area.top, title.x + l.line, area.bottom}, plot.oddsAxisTitle,
            ColourRole::Label, TextAlign::Centre, false, true});
    else
        items.push_back(TextItem{{title.x, title.y, title.x + width(plot.oddsAxisTitle), title.y + l.line},
            plot.oddsAxisTitle, ColourRole::Label});

    // The reference line's label, above its left end, where the curves, far
    // below at young ages, leave room.
    const double referenceLabelBottom = std::floor(referenceY - l.thick / 2);
    picture.referenceLabel = {area.left + l.pad, referenceLabelBottom - l.line,
        area.left + l.pad + width(plot.referenceLabel), referenceLabelBottom};
    items.push_back(TextItem{picture.referenceLabel, plot.referenceLabel, ColourRole::Text});

    // Which curve is which, in the empty top left corner: a stroke of each
    // curve and the formula's name as the calculator's list shows it, the
    // selected one's in bold.
    double namesWidth = 0;
    for (const char *name : res::kFormulaEntries)
        namesWidth = std::max(namesWidth, width(name, true));
    const double sample = 2 * l.line;
    const PlotPoint corner{std::ceil(area.left + l.pad), std::ceil(area.top + l.pad)};
    picture.legend = {corner.x, corner.y, std::ceil(corner.x + l.gap + sample + l.gap + namesWidth + l.gap),
        corner.y + l.gap + static_cast<double>(res::kFormulaEntries.size()) * l.line + l.gap};
    items.push_back(FillItem{picture.legend, ColourRole::Background});
    items.push_back(Outline(picture.legend, ColourRole::Grid));
    for (std::size_t i = 0; i < res::kFormulaEntries.size(); ++i) {
        const bool selected = static_cast<int>(i) == static_cast<int>(plot.selected);
        const double top = corner.y + l.gap + static_cast<double>(i) * l.line;
        const double stroke = selected ? l.thick : l.thin;
        const double y = Snap(top + l.line / 2, stroke);
        const double x = corner.x + l.gap;
        items.push_back(
            LineItem{{{x, y}, {x + sample, y}}, selected ? ColourRole::SelectedCurve : ColourRole::OtherCurve, stroke});
        items.push_back(TextItem{{x + sample + l.gap, top, x + sample + l.gap + namesWidth, top + l.line},
            res::kFormulaEntries[i], ColourRole::Text, TextAlign::Left, selected});
    }

    // The calculator's age: a dot on the selected curve, and its label beside
    // it on the plot's ground.
    if (plot.mark) {
        items.push_back(DotItem{*plot.mark, l.radius, ColourRole::Mark, ColourRole::Background, l.thin});
        picture.markLabel = PlaceMarkLabel(picture, width(plot.markLabel) + 2 * l.gap, l);
        items.push_back(FillItem{*picture.markLabel, ColourRole::Background});
        items.push_back(TextItem{*picture.markLabel, plot.markLabel, ColourRole::Text, TextAlign::Centre});
    }
    return picture;
}

} // namespace meravel
