// Dates and times of the control file: "dd/mm/yyyy" and "hh:nn[:ss]", held as a day count
// since 30 December 1899 with the time of day as its fraction.
#pragma once

#include <string>

namespace update {

using UpdateTime = double;

// 1 January 1980, the time of a date that cannot be read.
extern const UpdateTime kUnreadableDate;

// A calendar date and time as a day count; false for a date that does not exist.
bool EncodeUpdateTime(int year, int month, int day, int hour, int minute, int second, UpdateTime& time);
// The calendar date of a time; false outside the years 1 to 9999.
bool DecodeUpdateDate(UpdateTime time, int& year, int& month, int& day);
// The date "dd/mm/yyyy" (one-digit day and month too; a year of one or two digits is 1950-2049),
// or 1 January 1980 when it cannot be read; plus the time of day "hh:nn" or "hh:nn:ss" when
// that can be read.
UpdateTime ControlFileTime(const std::string& date, const std::string& time);
// Whether a is at least a second before b. Times are whole seconds, and their day fractions are
// not exact: a plain comparison could call two equal times different.
bool IsEarlier(UpdateTime a, UpdateTime b);

}  // namespace update
