#include "form/delivery_age.h"

#include "form/number_text.h"

#include <string>

namespace meravel {

namespace {

constexpr double kYoungestAge = 10.0;
constexpr double kOldestAge = 60.0;

constexpr int kOpeningYearsOfAge = 30;
constexpr int kOpeningDaysToDelivery = 20 * 7;

// The French convention: the DPA at 41 SA + 0 j.
constexpr int kDaysToDelivery = 41 * 7;
// The calculator's weeks field holds 1 to 42 weeks.
constexpr int kFewestWeeks = 1;
constexpr int kMostWeeks = 42;

constexpr const char *kInvalidDate = "Date invalide.";
constexpr const char *kDeliveryBeforeBirth = "La date prévue d'accouchement précède la date de naissance.";
constexpr const char *kAgeOutOfRange = "L'âge à la date prévue d'accouchement doit être compris entre 10 et 60 ans.";
constexpr const char *kTooFewWeeks = "Moins de 1 SA : le champ SA reste inchangé.";
constexpr const char *kTooManyWeeks = "Plus de 42 SA + 6 j : le champ SA reste inchangé.";

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1 January 1970 of a proleptic Gregorian date (any year, valid
// month and day), in integers only: Howard Hinnant's days_from_civil.
long long DayNumber(int year, int month, int day)
{
    const long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;                                            // 0 to 399
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1; // from 1 March
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The date of a day number (days since 1 January 1970), the inverse of
// DayNumber: Howard Hinnant's civil_from_days.
CalendarDate DateOfDayNumber(long long dayNumber)
{
    const long long z = dayNumber + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long dayOfEra = z - era * 146097; // 0 to 146096
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365; // 0 to 399
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100); // from 1 March
    const long long monthFromMarch = (5 * dayOfYear + 2) / 153;                                 // 0 to 11
    const int day = static_cast<int>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
    const int month = static_cast<int>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

// The day of the birthday in `year`. Someone born on 29 February has, in a
// year without that day, the birthday on 28 February: the age turns on the
// last day of February, never in March.
long long BirthdayIn(const CalendarDate &birth, int year)
{
    const int day = birth.month == 2 && birth.day == 29 && !IsLeapYear(year) ? 28 : birth.day;
    return DayNumber(year, birth.month, day);
}

} // namespace

bool IsValidDate(const CalendarDate &date)
{
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1
        && date.day <= DaysInMonth(date.year, date.month);
}

CalendarDate AddDays(const CalendarDate &date, int days)
{
    return DateOfDayNumber(DayNumber(date.year, date.month, date.day) + days);
}

DeliveryAgeDates OpeningDates(const CalendarDate &today)
{
    const CalendarDate birth = DateOfDayNumber(BirthdayIn(today, today.year - kOpeningYearsOfAge));
    return {birth, AddDays(today, kOpeningDaysToDelivery), today};
}

std::optional<double> AgeAtDate(const CalendarDate &birth, const CalendarDate &date)
{
    if (!IsValidDate(birth) || !IsValidDate(date) || date < birth)
        return std::nullopt;

    // The last birthday on or before `date` (the birth itself for the first
    // year), then the next one, a year later.
    int years = date.year - birth.year;
    const long long day = DayNumber(date.year, date.month, date.day);
    if (BirthdayIn(birth, date.year) > day)
        --years;
    const long long lastBirthday = BirthdayIn(birth, birth.year + years);
    const long long nextBirthday = BirthdayIn(birth, birth.year + years + 1);

    // Whole numbers until here; one rounding, in the division.
    const long long yearLength = nextBirthday - lastBirthday; // 365 or 366
    const long long daysInto = day - lastBirthday;            // 0 to yearLength - 1
    return static_cast<double>(years * yearLength + daysInto) / static_cast<double>(yearLength);
}

AmenorrhoeaTerm TermOnDate(const CalendarDate &delivery, const CalendarDate &today)
{
    AmenorrhoeaTerm term;
    if (!IsValidDate(delivery) || !IsValidDate(today))
        return term;
    const long long days = kDaysToDelivery
        - (DayNumber(delivery.year, delivery.month, delivery.day) - DayNumber(today.year, today.month, today.day));
    // Before the first day of the last period there is no term to show.
    if (days < 0) {
        term.message = kTooFewWeeks;
        return term;
    }
    const long long weeks = days / 7;
    term.text = std::to_string(weeks) + " SA + " + std::to_string(days % 7) + " j";
    if (weeks < kFewestWeeks)
        term.message = kTooFewWeeks;
    else if (weeks > kMostWeeks)
        term.message = kTooManyWeeks;
    else
        term.weeks = static_cast<int>(weeks);
    return term;
}

DeliveryAgeCheck CheckDeliveryAge(const CalendarDate &birth, const CalendarDate &delivery, const CalendarDate &today)
{
    DeliveryAgeCheck check;
    check.term = TermOnDate(delivery, today);
    if (!IsValidDate(birth) || !IsValidDate(delivery)) {
        check.message = kInvalidDate;
        return check;
    }
    if (delivery < birth) {
        check.message = kDeliveryBeforeBirth;
        return check;
    }
    const double age = *AgeAtDate(birth, delivery);
    if (age < kYoungestAge || age > kOldestAge) {
        check.message = kAgeOutOfRange;
        return check;
    }
    // Rounded to the nearest hundredth. No age lies exactly halfway between
    // two hundredths (days / 365 or days / 366 is never an odd number of
    // two-hundredths, and the double is far closer to the exact quotient than
    // any half), so the tie rule of FormatFixed (to even) never comes into
    // play: a half would round to the even hundredth.
    check.ageText = FormatFixed(age, 0, 2);
    check.accepted = true;
    return check;
}

std::string NewMessages(const DeliveryAgeCheck &before, const DeliveryAgeCheck &now)
{
    std::string told;
    for (const auto &[was, is] :
        {std::pair(&before.message, &now.message), std::pair(&before.term.message, &now.term.message)}) {
        if (is->empty() || *is == *was)
            continue;
        told += (told.empty() ? "" : " ") + *is;
    }
    return told;
}

} // namespace meravel
