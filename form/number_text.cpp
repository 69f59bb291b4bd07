#include "form/number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace meravel {

namespace {

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view text, std::size_t i)
{
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

// The decimal exponent, saturated far beyond any double's range so that a
// thousand-digit exponent cannot overflow an integer.
long long ReadExponent(std::string_view digits, bool negative)
{
    constexpr long long kSaturation = 1'000'000'000;
    long long value = 0;
    for (char c : digits) {
        value = std::min(kSaturation, value * 10 + (c - '0'));
    }
    return negative ? -value : value;
}

// Decides between overflow and underflow when the conversion reports a value
// out of range: the position of the first significant digit against the
// decimal point, moved by the exponent.
bool Overflows(std::string_view integerDigits, std::string_view fractionDigits, long long exponent)
{
    const auto firstSignificant = integerDigits.find_first_not_of('0');
    long long magnitude;
    if (firstSignificant != std::string_view::npos) {
        magnitude = static_cast<long long>(integerDigits.size() - firstSignificant);
    } else {
        const auto firstInFraction = fractionDigits.find_first_not_of('0');
        if (firstInFraction == std::string_view::npos)
            return false;
        magnitude = -static_cast<long long>(firstInFraction);
    }
    return magnitude + exponent > 0;
}

} // namespace

double ParseDecimal(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i]))
        ++i;

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    const std::size_t integerEnd = SkipDigits(text, i);
    const std::string_view integerDigits = text.substr(i, integerEnd - i);
    i = integerEnd;

    std::string_view fractionDigits;
    if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
        const std::size_t fractionEnd = SkipDigits(text, i + 1);
        fractionDigits = text.substr(i + 1, fractionEnd - i - 1);
        // A lone separator belongs to the number only when a digit stands
        // on one side of it.
        if (!integerDigits.empty() || !fractionDigits.empty())
            i = fractionEnd;
    }
    if (integerDigits.empty() && fractionDigits.empty())
        return 0.0;

    long long exponent = 0;
    std::string_view exponentText;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool exponentNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponentNegative = text[j] == '-';
            ++j;
        }
        const std::size_t exponentEnd = SkipDigits(text, j);
        // Without a digit the 'e' ends the number: "3e" reads as 3.
        if (exponentEnd > j) {
            exponent = ReadExponent(text.substr(j, exponentEnd - j), exponentNegative);
            exponentText = text.substr(i, exponentEnd - i);
        }
    }

    // The conversion proper, on the prefix rewritten with '.' as separator.
    std::string number;
    number.reserve(integerDigits.size() + fractionDigits.size() + exponentText.size() + 3);
    number += integerDigits.empty() ? std::string_view("0") : integerDigits;
    number += '.';
    number += fractionDigits;
    number += exponentText;

    double magnitude = 0.0;
    const auto [end, error]
        = std::from_chars(number.data(), number.data() + number.size(), magnitude, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        magnitude = Overflows(integerDigits, fractionDigits, exponent) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc() || end != number.data() + number.size()) {
        // Cannot happen for the text built above; never show a figure from it.
        return std::numeric_limits<double>::quiet_NaN();
    }
    return negative ? -magnitude : magnitude;
}

std::string FormatFixed(double value, int width, int precision)
{
    // Large enough for the longest fixed rendering of a double (309 integer
    // digits) with any precision the form uses.
    char buffer[512];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, precision);
    std::string text = error == std::errc() ? std::string(buffer, end) : std::string("?");
    if (static_cast<int>(text.size()) < width)
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

std::string ShortestDecimal(double value)
{
    // std::to_chars without a precision writes the fewest digits that read
    // back to the same double.
    char buffer[512];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return error == std::errc() ? std::string(buffer, end) : std::string("?");
}

std::string Trimmed(std::string_view text)
{
    constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
    const auto first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kWhiteSpace);
    return std::string(text.substr(first, last - first + 1));
}

} // namespace meravel
