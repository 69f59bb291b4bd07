#include "form/window_placement.h"

#include <algorithm>
#include <cstdlib>

namespace meravel {

namespace {

long long Overlap(int firstStart, int firstEnd, int secondStart, int secondEnd)
{
    return std::max(0, std::min(firstEnd, secondEnd) - std::max(firstStart, secondStart));
}

ScreenRect Moved(const ScreenRect &rect, int dx, int dy)
{
    return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

// How far a span from start to end moves to lie within [low, high), or
// nothing when it is longer.
bool ShiftInto(int start, int end, int low, int high, int *shift)
{
    if (end - start > high - low)
        return false;
    *shift = start < low ? low - start : std::min(0, high - end);
    return true;
}

} // namespace

BesidePlacement PlaceBeside(const ScreenRect &owner, int width, int height, const ScreenRect &work)
{
    // The window's top left corner on the calculator's right, left, bottom
    // and top.
    const struct
    {
        int x, y;
    } places[] = {
        {owner.right, owner.top},
        {owner.left - width, owner.top},
        {owner.left, owner.bottom},
        {owner.left, owner.top - height},
    };

    BesidePlacement leastHiding{};
    long long leastHidden = -1;
    for (const auto &place : places) {
        const int x = std::clamp(place.x, work.left, std::max(work.left, work.right - width));
        const int y = std::clamp(place.y, work.top, std::max(work.top, work.bottom - height));
        const ScreenRect rect{x, y, x + width, y + height};
        const long long hidden = Overlap(rect.left, rect.right, owner.left, owner.right)
            * Overlap(rect.top, rect.bottom, owner.top, owner.bottom);
        if (hidden == 0)
            return {owner, rect};
        if (leastHidden < 0 || hidden < leastHidden) {
            leastHidden = hidden;
            leastHiding = {owner, rect};
        }
    }

    // The two side by side as one block, moved into the work area.
    bool found = false;
    BesidePlacement leastMoving{};
    int leastMove = 0;
    for (const auto &place : places) {
        const ScreenRect window{place.x, place.y, place.x + width, place.y + height};
        int dx = 0, dy = 0;
        if (!ShiftInto(
                std::min(owner.left, window.left), std::max(owner.right, window.right), work.left, work.right, &dx)
            || !ShiftInto(
                std::min(owner.top, window.top), std::max(owner.bottom, window.bottom), work.top, work.bottom, &dy))
            continue;
        const int move = std::abs(dx) + std::abs(dy);
        if (!found || move < leastMove) {
            found = true;
            leastMove = move;
            leastMoving = {Moved(owner, dx, dy), Moved(window, dx, dy)};
        }
    }
    return found ? leastMoving : leastHiding;
}

} // namespace meravel
