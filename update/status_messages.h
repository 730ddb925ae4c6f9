// The update's numbered status messages and the line a status takes in the log file.
#pragma once

#include <string>

namespace update {

// The message of the number with its "%s" filled by argument; "" for a number not in the table.
std::string StatusText(int number, const std::string& argument);

struct LogTime {
    int day, month, year, hour, minute, second;
};
// "dd/mm/yyyy hh:nn:ss : [N] text (Status:S) (Error:E)", "/" and ":" being the given separators.
std::string FormatLogLine(const LogTime& time, char date_separator, char time_separator, int number,
                          const std::string& text, int status_code, int error_code);

}  // namespace update
