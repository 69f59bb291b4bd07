#pragma once

// The mother's age at the expected date of delivery (the DPA, from the
// dating scan), from her date of birth: the age the formulas want, worked out
// by calendar arithmetic rather than typed by hand as "36,5".

#include <optional>
#include <string>

namespace meravel {

struct CalendarDate
{
    int year;
    int month; // 1 to 12
    int day;   // 1 to the month's length

    bool operator==(const CalendarDate &) const = default;
    // Earlier in the calendar. (Written out: the window code's meta-object
    // compiler cannot read the standard library's <compare>.)
    bool operator<(const CalendarDate &other) const
    {
        if (year != other.year)
            return year < other.year;
        return month != other.month ? month < other.month : day < other.day;
    }
};

// A real day of the proleptic Gregorian calendar, years 1 to 9999.
bool IsValidDate(const CalendarDate &date);

// The day `days` after (or before, when negative) a real day.
CalendarDate AddDays(const CalendarDate &date, int days);

// The dates the window of the two dates opens with, from today's: a date of
// birth 30 years before (28 February for 29 February in a common year) and a
// delivery 20 weeks after, a pregnancy about half-way. Nothing is remembered
// from one opening to the next.
struct DeliveryAgeDates
{
    CalendarDate birth;
    CalendarDate delivery;
};
DeliveryAgeDates OpeningDates(const CalendarDate &today);

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
