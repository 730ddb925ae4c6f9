// Run-time lookup of system functions that older Windows versions lack. Each module is loaded
// once per name and kept until the process ends, when every cached module is released.
#pragma once

#include <windows.h>

#include <string>

// The address of function in module: the first request for a module name loads it with
// LoadLibraryA, later requests reuse the handle. Null when the function is missing or the
// module cannot be loaded (a module that failed to load is tried again on the next request).
FARPROC GetModuleProc(const std::string& module, const std::string& function);

// An exported address as the function type it is known to have.
template <typename Function>
Function AsFunction(FARPROC address) {
    // Through the generic function pointer type, which converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}
