// Whether a file belongs to the operating system, by the system's own word.
#pragma once

#include <string>

// SfcIsFileProtected says so (systems without Windows File Protection, Wine among them, protect
// nothing this way).
bool IsProtectedBySystem(const std::string& path);

// The file's version resource names the system's maker (CompanyName "Microsoft ..."), or the file
// is one of Wine's own modules (which stand in for the system's under Wine).
bool IsMadeBySystemMaker(const std::string& path);
