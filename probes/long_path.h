// The long form of a path (8.3 short names expanded), through GetLongPathNameA looked up at run
// time: systems without it give an empty text.
#pragma once

#include <string>

// The long form of path; empty when the conversion fails (a path that does not exist, for one).
// When GetLongPathNameA is not available: empty, with the last error set to 50
// (ERROR_NOT_SUPPORTED). The conversion gets a buffer of 260 characters; a long form that does
// not fit is converted again into a buffer of its own size, so it comes back whole.
std::string GetLongPath(const std::string& path);
