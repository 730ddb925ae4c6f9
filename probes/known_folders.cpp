#include "known_folders.h"

#include <shlobj.h>
#include <windows.h>

#include "file_system.h"
#include "machine_views.h"
#include "matching.h"
#include "path_identity.h"
#include "record_path_variables.h"
#include "registry_access.h"

namespace {

const char kProfileListPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// The 64-bit folder's variable first: a 32-bit process on 64-bit Windows sees the (x86) folder
// through its CSIDL.
std::string FolderOf(const char* native_variable, int csidl) {
    const std::string native = EnvironmentVariable(native_variable);
    return native.empty() ? ShellFolder(csidl) : native;
}

std::string MachineFolder(const std::string& name) {
    if (name == "PROGRAMDATA") return ShellFolder(CSIDL_COMMON_APPDATA);
    if (name == "PROGRAMFILES") return FolderOf("ProgramW6432", CSIDL_PROGRAM_FILES);
    if (name == "COMMONPROGRAMFILES") return FolderOf("CommonProgramW6432", CSIDL_PROGRAM_FILES_COMMON);
    return MachineWindowsFolder();  // WINDIR, SYSTEMROOT
}

int UserFolderId(const std::string& name) {
    if (name == "APPDATA") return CSIDL_APPDATA;
    if (name == "LOCALAPPDATA") return CSIDL_LOCAL_APPDATA;
    return CSIDL_PROFILE;
}

// The per-user folder in every profile: where it lies below the current user's profile, it lies
// there below every profile; otherwise only the current user's is known.
StringList UserFolders(const std::string& name) {
    const std::string own = ShellFolder(UserFolderId(name)), own_profile = ShellFolder(CSIDL_PROFILE);
    if (own.empty()) return {};
    const std::string canonical_own = CanonicalPath(own), canonical_profile = CanonicalPath(own_profile);
    if (canonical_own != canonical_profile && !IsStrictlyInside(canonical_own, canonical_profile)) return {own};
    const std::string below = own.substr(WithoutTrailingSeparators(own_profile).size());
    StringList folders{own}, seen{canonical_own};
    for (const std::string& root : UserProfileRoots()) {
        const std::string folder = WithoutTrailingSeparators(root) + below;
        if (DirectoryExists(folder) && AddOnce(seen, CanonicalPath(folder))) folders.push_back(folder);
    }
    return folders;
}

}  // namespace

std::string ShellFolder(int csidl) {
    char path[MAX_PATH + 1] = {};
    return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? std::string(path) : std::string();
}

std::string EnvironmentVariable(const char* name) {
    char value[MAX_PATH + 1] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? std::string(value, length) : std::string();
}

std::string ExpandedText(const std::string& text) {
    char value[MAX_PATH + 1] = {};
    const DWORD length = ExpandEnvironmentStringsA(text.c_str(), value, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? std::string(value) : text;
}

StringList UserProfileRoots() {
    StringList roots;
    RegistryKey list;
    if (list.Open(HKEY_LOCAL_MACHINE, kProfileListPath, KEY_READ) != ERROR_SUCCESS) return roots;
    for (DWORD index = 0, count = CountSubKeys(list); index < count; ++index) {
        RegistryKey profile;
        if (profile.Open(list.Get(), SubKeyNameAt(list, index).c_str(), KEY_READ) != ERROR_SUCCESS) continue;
        std::string image;
        if (ReadValueText(profile, "ProfileImagePath", image) && !image.empty()) roots.push_back(ExpandedText(image));
    }
    return roots;
}

StringList ExpandRecordPath(const std::string& path) {
    RecordPath parsed;
    std::string fault;
    if (!ParseRecordPath(path, parsed, fault)) return {};
    if (!parsed.variable) return {path};
    const std::string name = parsed.variable->name;
    const StringList folders =
        parsed.variable->scope == PathVariableScope::kPerUser ? UserFolders(name) : StringList{MachineFolder(name)};
    StringList paths;
    for (const std::string& folder : folders)
        if (!folder.empty()) paths.push_back(WithoutTrailingSeparators(folder) + parsed.rest);
    return paths;
}
