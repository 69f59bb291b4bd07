#pragma once

// The colours a plot is drawn in, by role, made from the desktop's own few
// colours so that the plot follows the theme, light, dark or high contrast.
// Linux reads them from the widget's palette, Windows from the system
// colours; both then paint the same roles.

#include <array>
#include <cstddef>

namespace meravel {

struct Rgb
{
    int red;
    int green;
    int blue;

    bool operator==(const Rgb &) const = default;
};

// What every desktop theme sets.
struct DesktopColours
{
    Rgb window;     // a dialog's background: QPalette::Window, COLOR_BTNFACE
    Rgb windowText; // text on it: QPalette::WindowText, COLOR_BTNTEXT
    Rgb base;       // a field's background: QPalette::Base, COLOR_WINDOW
    Rgb text;       // text in a field: QPalette::Text, COLOR_WINDOWTEXT
    Rgb highlight;  // the selection, the theme's accent: QPalette::Highlight, COLOR_HIGHLIGHT
};

enum class ColourRole {
    Window,        // around the plot
    Label,         // texts around the plot
    Background,    // the plot's ground
    Text,          // texts on the plot
    Grid,          // the ticks' lines across the plot, faint
    Frame,         // the plot's border, the ticks, the legend's box
    OtherCurve,    // the formula not selected
    SelectedCurve, // the formula selected
    Reference,     // the line of 1/250
    Mark,          // the dot of the calculator's age
};
constexpr std::size_t kColourRoles = 10;

// The plot's colour for each role. The lines that carry meaning (the other
// curve, the reference line, the mark) stand out from the plot's ground by at
// least 3:1, the contrast asked of graphics that must be seen.
class PlotColours
{
public:
    explicit PlotColours(const DesktopColours &desktop);

    Rgb operator[](ColourRole role) const { return m_colours[static_cast<std::size_t>(role)]; }

private:
    std::array<Rgb, kColourRoles> m_colours{};
};

// The contrast of two colours as the accessibility guidelines (WCAG 2) reckon
// it, from 1 (the same luminance) to 21 (black on white).
double ContrastRatio(const Rgb &a, const Rgb &b);

} // namespace meravel
