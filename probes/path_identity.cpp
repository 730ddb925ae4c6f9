#include "path_identity.h"

#include <windows.h>

#include <vector>

#include "file_system.h"
#include "long_path.h"
#include "text_rules.h"

namespace {

std::string FullPathOf(const std::string& path) {
    std::vector<char> buffer(MAX_PATH + 1);
    for (int attempt = 0; attempt < 3; ++attempt) {
        char* file_part = nullptr;
        const DWORD length =
            GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), &file_part);
        if (length == 0) return std::string();
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.assign(length + 1, '\0');
    }
    return std::string();
}

// The long form of the longest existing head of path, with the rest as written.
std::string LongFormOf(const std::string& full) {
    std::string head = full;
    std::string tail;
    while (!head.empty()) {
        const std::string long_head = GetLongPath(head);
        if (!long_head.empty()) return tail.empty() ? long_head : IncludeTrailingSeparator(long_head) + tail;
        const std::size_t cut = LastSeparator(WithoutTrailingSeparators(head));
        if (cut == std::string::npos) break;
        const std::string name = WithoutTrailingSeparators(head).substr(cut + 1);
        tail = tail.empty() ? name : name + "\\" + tail;
        head = head.substr(0, cut + 1);
    }
    return full;
}

std::size_t RootLength(const std::string& canonical) {
    if (canonical.size() >= 3 && canonical[1] == ':' && canonical[2] == '\\') return 3;
    if (canonical.compare(0, 2, "\\\\") == 0) {
        // \\SERVER\SHARE: the root ends after the share's name.
        const std::size_t server_end = canonical.find('\\', 2);
        if (server_end == std::string::npos) return canonical.size();
        const std::size_t share_end = canonical.find('\\', server_end + 1);
        return share_end == std::string::npos ? canonical.size() : share_end;
    }
    return 0;
}

}  // namespace

std::string CanonicalPath(const std::string& path) {
    const std::string trimmed = Trimmed(path);
    if (trimmed.empty()) return std::string();
    std::string full = FullPathOf(trimmed);
    if (full.empty()) return std::string();
    // Only a name with "~" can be a short one; the long-form look-up walks the disk.
    if (full.find('~') != std::string::npos) full = LongFormOf(full);
    std::string canonical = WithoutTrailingSeparators(full);
    if (canonical.size() == 2 && canonical[1] == ':') canonical += '\\';
    return UpperCased(canonical);
}

bool IsStrictlyInside(const std::string& canonical, const std::string& folder) {
    if (folder.empty() || canonical.size() <= folder.size()) return false;
    if (canonical.compare(0, folder.size(), folder) != 0) return false;
    // A drive root already ends in its separator.
    return EndsWithSeparator(folder) || canonical[folder.size()] == '\\';
}

bool IsVolumeRoot(const std::string& canonical) {
    const std::size_t root = RootLength(canonical);
    return root != 0 && root >= canonical.size();
}
