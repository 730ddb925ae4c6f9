#include "scratch_folder.h"

#include <windows.h>

#include "check.h"
#include "file_system.h"
#include "module_cache.h"
#include "win32/handles.h"

namespace {

bool IsDirectoryLink(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & link) == link;
}

// Windows makes a directory link with CreateSymbolicLinkA (Vista and later, with the privilege).
bool MakeWindowsLink(const std::string& link, const std::string& target) {
    using CreateSymbolicLinkFunction = BOOLEAN(WINAPI*)(LPCSTR link, LPCSTR target, DWORD flags);
    const auto create = AsFunction<CreateSymbolicLinkFunction>(GetModuleProc("kernel32.dll", "CreateSymbolicLinkA"));
    return create && create(link.c_str(), target.c_str(), 1 /* SYMBOLIC_LINK_FLAG_DIRECTORY */) &&
           IsDirectoryLink(link);
}

// Wine 8 has only a stub for CreateSymbolicLinkA (it answers true and makes nothing) and no
// junctions, but it shows a Unix symbolic link as a directory reparse point and it runs Unix
// programs: there the link is made with ln and removed with rm.
std::wstring UnixPathOf(const std::string& path) {
    using UnixFileNameFunction = char*(CDECL*)(LPCWSTR dos_path);
    const auto to_unix = AsFunction<UnixFileNameFunction>(GetModuleProc("kernel32.dll", "wine_get_unix_file_name"));
    WCHAR wide[MAX_PATH];
    if (!to_unix || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH)) return std::wstring();
    char* unix_path = to_unix(wide);  // UTF-8, from the process heap
    if (!unix_path) return std::wstring();
    WCHAR converted[4 * MAX_PATH] = {};
    MultiByteToWideChar(CP_UTF8, 0, unix_path, -1, converted, 4 * MAX_PATH - 1);
    HeapFree(GetProcessHeap(), 0, unix_path);
    return converted;
}

// Runs a Unix command through Wine; its outcome is judged by the caller from the file system.
void RunUnixCommand(const std::wstring& command) {
    std::wstring command_line = command;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command_line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    KernelHandle process_handle(process.hProcess), thread_handle(process.hThread);
    WaitForSingleObject(process.hProcess, 5000);
}

// Waits a little for a Unix command's effect to show.
bool WaitUntil(bool (*condition)(const std::string&), const std::string& path) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (condition(path)) return true;
        Sleep(100);
    }
    return false;
}

bool IsGone(const std::string& path) { return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; }

}  // namespace

ScratchFolder::ScratchFolder(const std::string& parent, const std::string& name)
    : path_(JoinPath(parent, name + "-" + std::to_string(GetCurrentProcessId()))) {
    DeleteFolderTree(path_);  // a leftover of an earlier run with the same id
    CreateDirectories(path_);
    CHECK(DirectoryExists(path_));
}

ScratchFolder::~ScratchFolder() {
    // Wine cannot remove a Unix link itself; everything else goes with the tree.
    for (const std::string& link : unix_links_) {
        RunUnixCommand(L"/bin/rm -f \"" + UnixPathOf(link) + L"\"");
        WaitUntil(IsGone, link);
    }
    DeleteFolderTree(path_);
}

void ScratchFolder::MakeFolders(const StringList& sub_paths) const {
    for (const std::string& sub_path : sub_paths) {
        CONTEXT(sub_path);
        CreateDirectories(*this / sub_path);
        CHECK(DirectoryExists(*this / sub_path));
    }
}

void ScratchFolder::MakeFiles(const StringList& sub_paths) const {
    for (const std::string& sub_path : sub_paths) {
        CONTEXT(sub_path);
        KernelHandle file(CreateFileA((*this / sub_path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        CHECK(file.IsOpen());
    }
}

bool ScratchFolder::Remove(const std::string& sub_path) const {
    DeleteFolderTree(*this / sub_path);
    return IsGone(*this / sub_path);
}

bool ScratchFolder::MakeDirectoryLink(const std::string& sub_path, const std::string& target) {
    const std::string link = *this / sub_path;
    if (MakeWindowsLink(link, target)) return true;
    const std::wstring unix_link = UnixPathOf(link), unix_target = UnixPathOf(target);
    if (unix_link.empty() || unix_target.empty()) return false;
    RunUnixCommand(L"/bin/ln -s \"" + unix_target + L"\" \"" + unix_link + L"\"");
    if (!WaitUntil(IsDirectoryLink, link)) return false;
    unix_links_.push_back(link);
    return true;
}
