#include "folder_lookup_win.h"

#include <windows.h>
#include <shlobj.h>

#include <stdexcept>

#include "win32/handles.h"

namespace update {

namespace {

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

std::string ProgramFilesFolder() {
    RegistryKey key;
    if (key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return "";
    char value[MAX_PATH] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(key.Get(), "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return "";
    return value;
}

std::string FromSystem(UINT (WINAPI* get)(LPSTR, UINT)) {
    char path[MAX_PATH] = {};
    const UINT length = get(path, MAX_PATH);
    return length && length < MAX_PATH ? path : "";
}

}  // namespace

std::string TemporaryFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof path, path);
    return length && length <= MAX_PATH ? path : "";
}

std::string DocumentsFolder() {
    const std::string folder = ShellFolder(CSIDL_PERSONAL);
    return folder.empty() || folder.back() == '\\' ? folder : folder + '\\';
}

FolderLookup WindowsFolderLookup(const std::string& program_folder) {
    return [program_folder](const std::string& name) -> std::string {
        if (name == "WIN") return FromSystem(GetWindowsDirectoryA);
        if (name == "SYS") return FromSystem(GetSystemDirectoryA);
        if (name == "APP") return program_folder;
        if (name == "TMP") return TemporaryFolder();
        if (name == "DOC") return DocumentsFolder();
        if (name == "PF") return ProgramFilesFolder();
        if (name == "LAD") {
            const std::string folder = ShellFolder(CSIDL_LOCAL_APPDATA);
            if (folder.empty()) throw std::runtime_error("Could not find Local Application Data folder location.");
            return folder;
        }
        return "";
    };
}

}  // namespace update
