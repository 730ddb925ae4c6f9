#include "folder_search.h"

#include <atomic>
#include <cstring>

namespace {

// Windows 7's additions, by value: the build targets Windows XP, whose headers may lack them.
const FINDEX_INFO_LEVELS kBasicInformation = static_cast<FINDEX_INFO_LEVELS>(1);  // FindExInfoBasic
const DWORD kLargeFetch = 2;                                                       // FIND_FIRST_EX_LARGE_FETCH

// Set once the system has refused the quick search of a folder that the plain search opened:
// older systems answer ERROR_INVALID_PARAMETER to the basic level and the large fetch.
std::atomic<bool> quick_search_refused{false};

HANDLE OpenSearch(const std::string& folder, WIN32_FIND_DATAA& entry, SearchMethod method) {
    const std::string pattern = folder + "*.*";
    if (method == SearchMethod::kQuickest && !quick_search_refused.load(std::memory_order_relaxed)) {
        const HANDLE search = FindFirstFileExA(pattern.c_str(), kBasicInformation, &entry, FindExSearchNameMatch,
                                               nullptr, kLargeFetch);
        if (search != INVALID_HANDLE_VALUE || GetLastError() != ERROR_INVALID_PARAMETER) return search;
        // Only a pattern the plain search accepts shows that the system, not the pattern, refused.
        const HANDLE plain = FindFirstFileA(pattern.c_str(), &entry);
        if (plain != INVALID_HANDLE_VALUE) quick_search_refused = true;
        return plain;
    }
    return FindFirstFileA(pattern.c_str(), &entry);
}

}  // namespace

FolderSearch::FolderSearch(const std::string& folder, WIN32_FIND_DATAA& entry, SearchMethod method)
    : search_(OpenSearch(folder, entry, method)) {}

bool IsDotEntry(const WIN32_FIND_DATAA& entry) {
    return std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0;
}
