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

// A window of width by height (its frame included) beside `owner` (the
// calculator's frame), inside `work` (the screen less its task bars): on its
// right, on its left, below or above, each moved into the work area, the one
// that hides the least of the calculator; on a tie, the first. A window larger
// than the work area keeps its top left corner in it.
ScreenRect PlaceBeside(const ScreenRect &owner, int width, int height, const ScreenRect &work);

} // namespace meravel
