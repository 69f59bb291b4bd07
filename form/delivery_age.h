#pragma once

// The mother's age at the expected date of delivery (the DPA, from the
// dating scan), from her date of birth: the age the formulas want, worked out
// by calendar arithmetic rather than typed by hand as "36,5".

#include <compare>
#include <optional>
#include <string>

namespace meravel {

struct CalendarDate
{
    int year;
    int month; // 1 to 12
    int day;   // 1 to the month's length

    auto operator<=>(const CalendarDate &) const = default;
};

// A real day of the proleptic Gregorian calendar, years 1 to 9999.
bool IsValidDate(const CalendarDate &date);

// The age in years at `date`: the whole years by birthday, then the days
// since the last birthday over the days from that birthday to the next (365
// or 366). In a year without 29 February, a birthday on 29 February falls on
// 28 February. Nothing when either date is not a real day or `date` is
// before `birth`.
std::optional<double> AgeAtDate(const CalendarDate &birth, const CalendarDate &date);

// What the window of the two dates shows, and whether OK may write the age
// into the calculator's age field.
struct DeliveryAgeCheck
{
    bool accepted = false; // OK writes ageText into the age field
    std::string ageText;   // "36.52": two decimals and '.', as the age field reads it; empty when refused
    std::string message;   // French, for the window; empty when accepted
};

// Refuses a delivery date before the date of birth, and an age at the
// delivery date below 10 or above 60 years, with a message that says which.
DeliveryAgeCheck CheckDeliveryAge(const CalendarDate &birth, const CalendarDate &delivery);

} // namespace meravel
