// Calendar dates written month/day/year, as day numbers that subtract to whole days.
#pragma once

#include <optional>
#include <string>

namespace ombrix {

// Days since 1 January 1970 of a proleptic Gregorian date.
using DayNumber = long;

// The day number of month/day/year, or nothing when they make no valid date. The year is read
// as written, except that 0..29 mean 2000..2029 and 30..99 mean 1930..1999. Every part must be
// a whole number; the year must lie in 0..9999.
std::optional<DayNumber> dateFromParts(double month, double day, double year);

// The text "month/day/year" of the three parts as plain numbers, for messages.
std::string dateText(double month, double day, double year);

// Month, day and year of a day number.
struct CivilDate {
    int year;
    int month;
    int day;
};
CivilDate civilFromDays(DayNumber days);
DayNumber daysFromCivil(int year, int month, int day);

}  // namespace ombrix
