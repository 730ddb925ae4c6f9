// qvsetup.exe's log: lines appended to the file that QVUPDATE.INI names, when the program asked
// for a log; nothing otherwise.
#pragma once

#include <string>

namespace update {

class ReplacementLog {
public:
    explicit ReplacementLog(bool enabled);
    void Line(const std::string& text) const;

private:
    std::string path_;  // "" when there is no log
};

}  // namespace update
