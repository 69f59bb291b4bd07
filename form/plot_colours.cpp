#include "form/plot_colours.h"

#include "risk/rounded_math.h"

#include <cmath>

namespace meravel {

namespace {

// The contrast asked of the lines that carry meaning.
constexpr double kVisibleContrast = 3.0;
// Steps from a colour to the text colour while looking for that contrast.
constexpr int kSteps = 20;

// `weight` of `a`, the rest of `b`. Taken between the text and the ground, it
// gives a grey that reads the same way in a light and a dark theme.
Rgb Mix(const Rgb &a, const Rgb &b, double weight)
{
    const auto channel
        = [weight](int x, int y) { return static_cast<int>(std::lround(x * weight + y * (1.0 - weight))); };
    return {channel(a.red, b.red), channel(a.green, b.green), channel(a.blue, b.blue)};
}

// The colour itself when it stands out from the ground by 3:1; otherwise the
// first of its mixes with `toward` (the text colour) that does, so that a
// dark accent on a dark ground keeps its hue as far as it can.
Rgb Visible(const Rgb &colour, const Rgb &ground, const Rgb &toward)
{
    for (int step = 0; step <= kSteps; ++step) {
        const Rgb mixed = Mix(toward, colour, static_cast<double>(step) / kSteps);
        if (ContrastRatio(mixed, ground) >= kVisibleContrast)
            return mixed;
    }
    return toward;
}

// sRGB's channel to its linear light, with the correctly rounded power so
// that both platforms choose the same colours.
double Linear(int channel)
{
    const double value = channel / 255.0;
    return value <= 0.04045 ? value / 12.92 : RoundedPow((value + 0.055) / 1.055, 2.4);
}

double Luminance(const Rgb &colour)
{
    return 0.2126 * Linear(colour.red) + 0.7152 * Linear(colour.green) + 0.0722 * Linear(colour.blue);
}

} // namespace

double ContrastRatio(const Rgb &a, const Rgb &b)
{
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

PlotColours::PlotColours(const DesktopColours &desktop)
{
    const Rgb &ground = desktop.base;
    const Rgb &ink = desktop.text;
    const auto set = [this](ColourRole role, const Rgb &colour) { m_colours[static_cast<std::size_t>(role)] = colour; };
    set(ColourRole::Window, desktop.window);
    set(ColourRole::Label, desktop.windowText);
    set(ColourRole::Background, ground);
    set(ColourRole::Text, ink);
    set(ColourRole::Grid, Mix(ink, ground, 0.15));
    set(ColourRole::Frame, Mix(ink, ground, 0.55));
    set(ColourRole::OtherCurve, Visible(Mix(ink, ground, 0.5), ground, ink));
    set(ColourRole::SelectedCurve, ink);
    // The accent, for what the eye looks for: the threshold and the mark.
    const Rgb accent = Visible(desktop.highlight, ground, ink);
    set(ColourRole::Reference, accent);
    set(ColourRole::Mark, accent);
}

} // namespace meravel
