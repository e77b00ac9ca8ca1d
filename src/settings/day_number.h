#pragma once
#include "platform/civil_date.h"

namespace vsr::settings {

// Day numbers count days since 30 December 1899 (day 0), the way dates are stored.
int dayNumberFromDate(const platform::CivilDate& date);
platform::CivilDate dateFromDayNumber(int dayNumber);

// The same day of the month the given number of months earlier, clamped to that
// month's length (31 March less one month is 28 or 29 February).
int monthsEarlier(int dayNumber, int months);

// Day numbers of 1 January 1 and 31 December 9999, the range a date picker can show.
inline constexpr int kFirstDayNumber = -693593;
inline constexpr int kLastDayNumber = 2958465;

}  // namespace vsr::settings
