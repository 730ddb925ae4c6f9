// Four-part versions a.b.c.d as the update compares them: a high word a*65536+b and a low word
// c*65536+d, compared as signed 32-bit numbers.
#pragma once

#include <cstdint>
#include <string>

namespace update {

struct FileVersion {
    int32_t high = 0;
    int32_t low = 0;
    bool valid = false;
};

// Up to four numbers of 0-65535 separated by "." (by "," when the text holds a comma), blanks
// ignored; missing trailing numbers are 0, and so is an empty second or third part. Invalid: an
// empty or non-numeric first or fourth part, any other part that is not such a number, and more
// than four parts.
FileVersion ParseVersionText(const std::string& text);
// The high words compared first, then the low words, both as signed 32-bit numbers (so 32768.0
// and above in the first part count as lower than 1.0).
bool IsNewerVersion(const FileVersion& candidate, const FileVersion& installed);
// "a.b.c.d"
std::string VersionText(const FileVersion& version);

}  // namespace update
