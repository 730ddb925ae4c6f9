#include "restart_deletion.h"

#include <windows.h>

#include <vector>

#include "file_system.h"
#include "path_identity.h"
#include "win32/ansi_text.h"
#include "win32/handles.h"

namespace {

const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const wchar_t kPendingRenamesValue[] = L"PendingFileRenameOperations";

std::string SystemErrorText(DWORD error) { return "系统错误 " + std::to_string(error); }

// The pending-rename list: pairs of NT paths ("\??\C:\..."), the second empty for a deletion.
std::vector<std::wstring> PendingRenamePairs() {
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, kSessionManagerKey, KEY_QUERY_VALUE) != ERROR_SUCCESS) return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.Get(), kPendingRenamesValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_MULTI_SZ)
        return {};
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(key.Get(), kPendingRenamesValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return {};
    // Empty strings are part of the list (a deletion's target), so the size bounds it, not "\0\0".
    std::vector<std::wstring> strings;
    const size_t count = size / sizeof(wchar_t);
    for (size_t start = 0; start < count;) {
        size_t end = start;
        while (end < count && data[end] != L'\0') ++end;
        strings.emplace_back(data.data() + start, end - start);
        start = end + 1;
    }
    return strings;
}

std::string AnsiPath(const std::wstring& nt_path) {
    std::wstring path = nt_path;
    for (const wchar_t* prefix : {L"\\??\\", L"\\\\?\\"})
        if (path.compare(0, 4, prefix) == 0) path.erase(0, 4);
    return AnsiFromWide(path);
}

}  // namespace

bool ScheduleDeletionAtRestart(const std::string& path, std::string* failure) {
    // A read-only file is not deleted at start-up either.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) return true;
    if (failure) *failure = SystemErrorText(GetLastError());
    return false;
}

bool ScheduleTreeDeletionAtRestart(const std::string& folder, std::string* failure) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // already gone
    bool scheduled = true;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAA data;
        FindHandle search(JoinPath(folder, "*").c_str(), data);
        if (search.IsOpen()) {
            do {
                const std::string name = data.cFileName;
                if (name == "." || name == "..") continue;
                const std::string path = JoinPath(folder, name);
                const bool entry_scheduled = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                                                 ? ScheduleTreeDeletionAtRestart(path, failure)
                                                 : ScheduleDeletionAtRestart(path, failure);
                scheduled = entry_scheduled && scheduled;
            } while (search.Next(data));
        }
    }
    return ScheduleDeletionAtRestart(folder, failure) && scheduled;
}

bool IsPendingDeletionAtRestart(const std::string& path) {
    const std::vector<std::wstring> pairs = PendingRenamePairs();
    const std::string wanted = CanonicalPath(path);
    for (size_t i = 0; i + 1 < pairs.size(); i += 2)
        if (pairs[i + 1].empty() && CanonicalPath(AnsiPath(pairs[i])) == wanted) return true;
    return false;
}
