#pragma once

// The risk curve's geometry and texts: the odds at term against the mother's
// age, 18 to 45 years, for both formulas, on a logarithmic scale of N from
// 1/10 at the top to 1/2000 at the bottom, with the reference line 1/250 and
// the current age marked. Computed here with the figures' own arithmetic, and
// laid out here too, down to the last label, from the front end's measure of
// its font: the front ends paint the items this returns, one after the other,
// and decide nothing of their own.

#include "form/plot_colours.h"
#include "risk/term_risk.h"

#include <optional>
#include <string>
#include <variant>
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

// A rectangle in the plot widget's pixels. Coordinates run continuously: the
// pixel (x, y) is the square from x to x + 1 and y to y + 1.
struct PlotRect
{
    double left;
    double top;
    double right;
    double bottom;
};

struct RiskCurvePlot
{
    PlotRect area;                 // the frame's lines run along its edges
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
    std::string caption;             // the same in short, under the plot: "Cuckle, 37 ans : 1/214 ; seuil 1/250"
};

// The plot in `area` for the calculator's current state: the selected
// formula and the age field's text, read as the calculator reads it.
RiskCurvePlot MakeRiskCurvePlot(const PlotRect &area, RiskFormula selected, const std::string &ageText);

// The plot's one-line description, for screen readers, and its caption.
std::string RiskCurveDescription(const RiskCurveState &state);
std::string RiskCurveCaption(const RiskCurveState &state);

// The front end's font, as much of it as the layout needs.
class TextMeasure
{
public:
    virtual ~TextMeasure() = default;
    // The width of a one-line text (UTF-8) in the normal or the bold face.
    virtual double Width(const std::string &text, bool bold) const = 0;
    virtual double LineHeight() const = 0;
    virtual double AverageCharWidth() const = 0;
    // Whether the font can be turned a quarter turn (not a bitmap font).
    virtual bool CanRotate() const = 0;
};

// What the front ends paint. A line of odd width lies on pixels' centres and
// one of even width between pixels, so that both toolkits light whole pixels.
struct FillItem
{
    PlotRect rect;
    ColourRole colour;
};

struct LineItem
{
    std::vector<PlotPoint> points; // a polyline
    ColourRole colour;
    double width;       // whole pixels
    double dash = 0;    // the length of each dash and of each gap; 0: solid
    bool round = false; // round ends and joins (the curves); otherwise ends cut flat at the points
};

enum class TextAlign { Left, Centre, Right };

// One line of text, centred vertically in its box and aligned across it.
// Upright, it is turned a quarter turn anticlockwise, reading upwards, and
// centred in the box, which is then one line wide.
struct TextItem
{
    PlotRect box;
    std::string text; // UTF-8
    ColourRole colour;
    TextAlign align = TextAlign::Left;
    bool bold = false;
    bool upright = false;
};

struct DotItem
{
    PlotPoint centre;
    double radius;
    ColourRole fill;
    ColourRole outline;
    double outlineWidth;
};

using PlotItem = std::variant<FillItem, LineItem, TextItem, DotItem>;

// The whole picture of the curve in a widget.
struct RiskCurvePicture
{
    RiskCurvePlot plot;                // the positions and texts, in the area left by the margins
    PlotRect legend;                   // which curve is which
    PlotRect referenceLabel;           // the box of "1/250"
    std::optional<PlotRect> markLabel; // the box of the mark's label, when there is a mark
    std::vector<PlotItem> items;       // in painting order
};

// The picture for the calculator's state in a widget of these bounds, laid
// out for the widget's font. Margins fit the measured labels; the odds
// title stands upright along the left edge when the font can turn, otherwise
// above the plot on the left; the legend sits in the plot's top left corner,
// which the curves never reach; the mark's label goes beside its dot (see
// the .cpp).
RiskCurvePicture LayOutRiskCurve(const PlotRect &bounds, const TextMeasure &measure, const RiskCurveState &state);

} // namespace meravel
