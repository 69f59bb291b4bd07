#pragma once

// The state of an up-down (spin) control tied to a digits-only buddy field,
// kept apart from any widget so that the window and the tests share one rule.
// The buddy's text is the user's: it may hold "0", "50" or nothing. Asking for
// the position first takes up that text when it is a whole decimal number
// within the range; otherwise the position stays as it last stood. A step
// starts from that position and stays within the range, without wrapping.

#include <optional>
#include <string>
#include <string_view>

namespace meravel {

class UpDownState
{
public:
    // Keeps the position within the new range.
    void SetRange(int lower, int upper);
    // Clamped to the range.
    void SetPos(int position);

    int Lower() const { return m_nLower; }
    int Upper() const { return m_nUpper; }
    // The position as it last stood, without looking at the buddy's text.
    int Pos() const { return m_nPos; }

    // The position after taking up the buddy's text.
    int GetPos(std::string_view buddyText);
    // The same without taking it up: where a step would start from.
    int PositionFor(std::string_view buddyText) const;
    // One step by delta from GetPos; returns the new position.
    int Step(std::string_view buddyText, int delta);
    // The text the buddy shows for the position, in decimal digits.
    std::string PosText() const;

    // The whole number the text holds, written in decimal digits only (leading
    // zeros allowed), when it lies within [lower, upper].
    static std::optional<int> WholeNumberInRange(std::string_view text, int lower, int upper);

private:
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};

} // namespace meravel
