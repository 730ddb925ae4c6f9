#include "update_dates.h"

#include <cmath>
#include <vector>

namespace update {

namespace {

constexpr double kSecondsPerDay = 86400.0;

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Two or three fields of one to four digits separated by separator, with blanks around the
// whole text allowed; false for anything else.
bool SplitFields(const std::string& text, char separator, size_t least, std::vector<std::string>& fields) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return false;
    const std::string trimmed = text.substr(first, text.find_last_not_of(' ') - first + 1);
    fields.assign(1, "");
    for (const char c : trimmed) {
        if (c == separator)
            fields.emplace_back();
        else if (c >= '0' && c <= '9')
            fields.back() += c;
        else
            return false;
    }
    for (const std::string& field : fields)
        if (field.empty() || field.size() > 4) return false;
    return fields.size() >= least && fields.size() <= 3;
}

// A year of one or two digits is read in a fixed window, 00-49 as 2000-2049 and 50-99 as
// 1950-1999, so that a date reads the same whenever it is read.
int YearOf(const std::string& field) {
    const int year = std::stoi(field);
    if (field.size() > 2) return year;
    return year < 50 ? 2000 + year : 1900 + year;
}

}  // namespace

const UpdateTime kUnreadableDate = 29221.0;  // 1 January 1980

bool EncodeUpdateTime(int year, int month, int day, int hour, int minute, int second, UpdateTime& time) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
        hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    // Days from 1 January of year 1, then moved to the 30 December 1899 origin.
    const long y = year - 1;
    long days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    days += day - 1;
    constexpr long kOriginFromYearOne = 693593;  // 30 December 1899
    time = static_cast<double>(days - kOriginFromYearOne) + (hour * 3600 + minute * 60 + second) / kSecondsPerDay;
    return true;
}

bool DecodeUpdateDate(UpdateTime time, int& year, int& month, int& day) {
    // Civil date from a day count since 1 March of year 0, in 400-year eras of 146,097 days.
    constexpr double kFirstDay = -693593, kLastDay = 2958465;  // 1 January 1, 31 December 9999
    const double whole = std::floor(time);
    if (!(whole >= kFirstDay && whole <= kLastDay)) return false;
    const long days = static_cast<long>(whole) + 693899;
    const long era = days / 146097;
    const long day_of_era = days - era * 146097;
    const long year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const long shifted_month = (5 * day_of_year + 2) / 153;  // March is 0
    day = static_cast<int>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
    month = static_cast<int>(shifted_month < 10 ? shifted_month + 3 : shifted_month - 9);
    year = static_cast<int>(year_of_era + era * 400 + (month <= 2 ? 1 : 0));
    return true;
}

UpdateTime ControlFileTime(const std::string& date, const std::string& time) {
    std::vector<std::string> fields;
    UpdateTime result = kUnreadableDate;
    if (!SplitFields(date, '/', 3, fields) ||
        !EncodeUpdateTime(YearOf(fields[2]), std::stoi(fields[1]), std::stoi(fields[0]), 0, 0, 0, result))
        result = kUnreadableDate;
    UpdateTime day_part = 0;
    if (SplitFields(time, ':', 2, fields) &&
        EncodeUpdateTime(1899, 12, 30, std::stoi(fields[0]), std::stoi(fields[1]),
                         fields.size() > 2 ? std::stoi(fields[2]) : 0, day_part))
        result += day_part;
    return result;
}

// Times here are whole seconds; half a second absorbs the rounding of the day fractions.
bool IsEarlier(UpdateTime a, UpdateTime b) { return (b - a) * kSecondsPerDay >= 0.5; }

}  // namespace update
