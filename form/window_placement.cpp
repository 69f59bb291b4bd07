#include "form/window_placement.h"

#include <algorithm>

namespace meravel {

namespace {

long long Overlap(int firstStart, int firstEnd, int secondStart, int secondEnd)
{
    return std::max(0, std::min(firstEnd, secondEnd) - std::max(firstStart, secondStart));
}

} // namespace

ScreenRect PlaceBeside(const ScreenRect &owner, int width, int height, const ScreenRect &work)
{
    const struct
    {
        int x, y;
    } places[] = {
        {owner.right, owner.top},
        {owner.left - width, owner.top},
        {owner.left, owner.bottom},
        {owner.left, owner.top - height},
    };
    ScreenRect best{};
    long long leastHidden = -1;
    for (const auto &place : places) {
        const int x = std::clamp(place.x, work.left, std::max(work.left, work.right - width));
        const int y = std::clamp(place.y, work.top, std::max(work.top, work.bottom - height));
        const ScreenRect rect{x, y, x + width, y + height};
        const long long hidden = Overlap(rect.left, rect.right, owner.left, owner.right)
            * Overlap(rect.top, rect.bottom, owner.top, owner.bottom);
        if (leastHidden < 0 || hidden < leastHidden) {
            leastHidden = hidden;
            best = rect;
        }
    }
    return best;
}

} // namespace meravel
