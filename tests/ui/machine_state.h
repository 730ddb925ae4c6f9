// What the tests read back from the machine after a clean-up, straight from the system:
// registry items in the notation the analysis reports, files and folders, running processes.
#pragma once

#include <string>

// "ROOT|key" or "ROOT|key|value" with ROOT one of HKLM, HKCU, HKU, HKCR. A value name may be
// quoted; "" is the default value. A component row's third field (the server file it matched)
// is not a value: with is_component the item is its key.
bool RegistryItemExists(const std::string& item, bool is_component);
bool PathExists(const std::string& path);
bool ProcessRuns(const std::string& exe_name);
// Deletes a value in the "ROOT|key|value" notation; true when it is gone.
bool DeleteRegistryValue(const std::string& item);
// The service control manager knows a service of that name (marked for deletion or not).
bool ServiceExists(const std::string& name);
// Runs a program of the test's own folder with the arguments and returns its exit code, or -1
// when it cannot be started or does not end within timeout_ms.
int RunSiblingProgram(const std::string& exe_name, const std::string& arguments, unsigned long timeout_ms);
