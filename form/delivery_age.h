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
// delivery 20 weeks after, a pregnancy about half-way; and today, the day the
// window reckons the term for. Nothing is remembered from one opening to the
// next.
struct DeliveryAgeDates
{
    CalendarDate birth;
    CalendarDate delivery;
    CalendarDate today;
};
DeliveryAgeDates OpeningDates(const CalendarDate &today);

// The age in years at `date`: the whole years by birthday, then the days
// since the last birthday over the days from that birthday to the next (365
// or 366). In a year without 29 February, a birthday on 29 February falls on
// 28 February. Nothing when either date is not a real day or `date` is
// before `birth`.
std::optional<double> AgeAtDate(const CalendarDate &birth, const CalendarDate &date);

// The term reached on a day, in weeks of amenorrhoea (SA) and days, by the
// French convention: the expected date of delivery (DPA) is at 41 SA + 0 j,
// 287 days after the first day of the last period, so that on `today` the
// pregnancy is 287 - (delivery - today) days along.
struct AmenorrhoeaTerm
{
    std::string text;         // "12 SA + 3 j"; empty before the last period began, or for a date that is not a real day
    std::optional<int> weeks; // the whole weeks when from 1 to 42, the weeks field's range: OK writes them there
    std::string message; // French: why the weeks field is left as it is; empty when it is not, or for a date that is
                         // not a real day
};
AmenorrhoeaTerm TermOnDate(const CalendarDate &delivery, const CalendarDate &today);

// What the window of the two dates shows, and what OK writes into the
// calculator.
struct DeliveryAgeCheck
{
    bool accepted
        = false; // OK writes ageText into the age field, and the term's weeks, when there are, into the weeks field
    std::string ageText;  // "36.52": two decimals and '.', as the age field reads it; empty when refused
    std::string message;  // French, for the window; empty when accepted
    AmenorrhoeaTerm term; // today's term, whether the age is accepted or not
};

// Refuses a delivery date before the date of birth, and an age at the
// delivery date below 10 or above 60 years, with a message that says which;
// the term on `today` beside.
DeliveryAgeCheck CheckDeliveryAge(const CalendarDate &birth, const CalendarDate &delivery, const CalendarDate &today);

// What a screen reader is told when the dates change: each message that
// appeared or changed (why the dates are refused, why the weeks are not
// written), none when they are as they were.
std::string NewMessages(const DeliveryAgeCheck &before, const DeliveryAgeCheck &now);

} // namespace meravel
