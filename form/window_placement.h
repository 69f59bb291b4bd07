#pragma once

// Where a tool window goes beside the calculator, decided once for both
// front ends, from rectangles of the screen in its pixels.

namespace meravel {

// A rectangle of the screen; right and bottom lie just outside it.
struct ScreenRect
{
    int left;
    int top;
    int right;
    int bottom;

    bool operator==(const ScreenRect &) const = default;
};

// Where the calculator and the tool window go.
struct BesidePlacement
{
    ScreenRect owner;
    ScreenRect window;

    bool operator==(const BesidePlacement &) const = default;
};

// A window of width by height (its frame included) beside `owner` (the
// calculator's frame), inside `work` (the screen less its task bars):
//   - on its right, on its left, below or above, each moved into the work
//     area, the first that hides nothing of the calculator;
//   - else the calculator moves too, as little as it can, for the two to lie
//     side by side in the work area (right, left, below, above; on a tie the
//     first): the figures stay in sight beside their curve;
//   - else (a work area too small for both) the calculator stays, and the
//     window goes to the place of the four that hides the least of it; on a
//     tie, the first. A window larger than the work area keeps its top left
//     corner in it.
BesidePlacement PlaceBeside(const ScreenRect &owner, int width, int height, const ScreenRect &work);

} // namespace meravel
