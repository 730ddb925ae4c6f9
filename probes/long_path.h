// The long form of a path (8.3 short names expanded), through GetLongPathNameA looked up at run
// time: systems without it give an empty text.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>

// The long form of path; empty when the conversion fails (a path that does not exist, for one).
// When GetLongPathNameA is not available: empty, with the last error set to 50
// (ERROR_NOT_SUPPORTED). The conversion gets a buffer of 260 characters; a long form that does
// not fit is converted again into a buffer of its own size, so it comes back whole.
std::string GetLongPath(const std::string& path);

// Long forms looked up once per path text: a walk that meets the same short path in many
// places walks the disk for it once. Keyed by the exact text (no folding); a failed conversion
// is remembered as the empty text too. Owned by one walk, so it never outgrows it.
class LongPathCache {
public:
    const std::string& LongFormOf(const std::string& path);
    // How many path texts have been converted.
    std::size_t Size() const { return long_forms_.size(); }

private:
    std::unordered_map<std::string, std::string> long_forms_;
};
