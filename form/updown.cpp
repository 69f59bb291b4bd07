#include "form/updown.h"

#include <algorithm>
#include <charconv>

namespace meravel {

void UpDownState::SetRange(int lower, int upper)
{
    m_nLower = std::min(lower, upper);
    m_nUpper = std::max(lower, upper);
    m_nPos = std::clamp(m_nPos, m_nLower, m_nUpper);
}

void UpDownState::SetPos(int position)
{
    m_nPos = std::clamp(position, m_nLower, m_nUpper);
}

int UpDownState::GetPos(std::string_view buddyText)
{
    if (const auto typed = WholeNumberInRange(buddyText, m_nLower, m_nUpper))
        m_nPos = *typed;
    return m_nPos;
}

int UpDownState::PositionFor(std::string_view buddyText) const
{
    return WholeNumberInRange(buddyText, m_nLower, m_nUpper).value_or(m_nPos);
}

int UpDownState::Step(std::string_view buddyText, int delta)
{
    const long long next = static_cast<long long>(GetPos(buddyText)) + delta;
    m_nPos = static_cast<int>(std::clamp<long long>(next, m_nLower, m_nUpper));
    return m_nPos;
}

std::string UpDownState::PosText() const
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, m_nPos);
    return std::string(buffer, result.ptr);
}

std::optional<int> UpDownState::WholeNumberInRange(std::string_view text, int lower, int upper)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    // Leading zeros carry no value; what is left must be short enough to
    // compare without overflow.
    const auto firstNonZero = text.find_first_not_of('0');
    const std::string_view significant
        = firstNonZero == std::string_view::npos ? std::string_view("0") : text.substr(firstNonZero);
    if (significant.size() > 9)
        return std::nullopt;
    int value = 0;
    std::from_chars(significant.data(), significant.data() + significant.size(), value);
    if (value < lower || value > upper)
        return std::nullopt;
    return value;
}

} // namespace meravel
