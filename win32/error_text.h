// A failure's words with the system's error number after them: "cannot copy X (error 5)".
#pragma once

#include <windows.h>

#include <string>

inline std::string ErrorText(const std::string& what, unsigned long error) {
    return what + " (error " + std::to_string(error) + ")";
}

// With the calling thread's last error.
inline std::string ErrorText(const std::string& what) { return ErrorText(what, GetLastError()); }
