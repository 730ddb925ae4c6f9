#include <windows.h>

#include "file_system.h"
#include "win32/handles.h"

namespace {

DWORD AttributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// Only "not found" means gone: a delete-pending file answers "access denied" until its last
// handle closes.
bool IsGone(DWORD attributes) {
    if (attributes != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Deletes what the folder holds; the search handle is closed before the folder itself goes.
void DeleteFolderEntries(const std::string& folder) {
    WIN32_FIND_DATAA data;
    FindHandle find(JoinPath(folder, "*").c_str(), data);
    for (bool more = find.IsOpen(); more; more = find.Next(data)) {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        const std::string child = JoinPath(folder, name);
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileAlways(child);
        } else {
            // A junction or directory link is removed as a link, never followed.
            DeleteFolderTree(child);
        }
    }
}

}  // namespace

bool FileExists(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CreateDirectories(const std::string& path) {
    if (path.empty()) return false;
    if (DirectoryExists(path)) return true;
    const std::string folder = WithoutTrailingSeparators(path);
    const std::size_t cut = LastSeparator(folder);
    if (cut != std::string::npos && cut > 0 && folder[cut - 1] != ':') CreateDirectories(folder.substr(0, cut));
    return CreateDirectoryA(folder.c_str(), nullptr) || DirectoryExists(folder);
}

bool DeleteFileAlways(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    if (IsGone(attributes)) return true;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    // DeleteFileA succeeds for a file that stays, delete-pending, while another handle is open.
    if (IsGone(AttributesOf(path))) return true;
    SetFileAttributesA(path.c_str(), attributes);
    return false;
}

bool DeleteFolderTree(const std::string& path) {
    // A drive root keeps its separator.
    std::string folder = WithoutTrailingSeparators(path);
    if (folder.size() < 3) folder = path.substr(0, 3);
    const DWORD attributes = AttributesOf(folder);
    if (IsGone(attributes)) return true;
    // A folder that is itself a junction or link goes as a link; what it leads to stays.
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) DeleteFolderEntries(folder);
    SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(folder.c_str());
    if (IsGone(AttributesOf(folder))) return true;
    SetFileAttributesA(folder.c_str(), attributes);
    return false;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}
