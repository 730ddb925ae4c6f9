// The entries of one folder through the quickest search the system has: FindFirstFileExA with
// the basic information level and large fetches (Windows 7 and later), FindFirstFileA where the
// system refuses those. The basic level leaves the short 8.3 name (cAlternateFileName) empty;
// every other field of an entry is what FindFirstFileA gives.
#pragma once

#include <windows.h>

#include <string>

#include "win32/handles.h"

enum class SearchMethod {
    kQuickest,  // basic information and large fetches where the system has them
    kPlain,     // FindFirstFileA, as on every system
};

class FolderSearch {
public:
    // Searches "<folder>*.*" (folder ends in "\"); when IsOpen, the first entry is in entry.
    // When not, GetLastError tells why (ERROR_FILE_NOT_FOUND: no entry at all).
    FolderSearch(const std::string& folder, WIN32_FIND_DATAA& entry, SearchMethod method);

    bool IsOpen() const { return search_.IsOpen(); }
    bool Next(WIN32_FIND_DATAA& entry) { return search_.Next(entry); }

private:
    FindHandle search_;
};

// "." and "..", which every search of a folder but a drive root gives and no walk wants.
bool IsDotEntry(const WIN32_FIND_DATAA& entry);
