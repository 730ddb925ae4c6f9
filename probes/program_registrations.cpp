#include "program_registrations.h"

#include <windows.h>

#include "command_path.h"
#include "file_system.h"
#include "matching.h"
#include "path_identity.h"
#include "registry_access.h"

namespace {

const char kUninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kInstallerUserDataPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData";

void AddFolder(ProgramRegistration& registration, const std::string& path) {
    if (Trimmed(path).empty()) return;
    const std::string canonical = CanonicalPath(path);
    if (!canonical.empty() && !IsVolumeRoot(canonical)) AddOnce(registration.folders, canonical);
}

void ReadRegistration(HKEY parent, const std::string& name, REGSAM view, std::vector<ProgramRegistration>& found) {
    RegistryKey key;
    if (key.Open(parent, name.c_str(), KEY_READ | view) != ERROR_SUCCESS) return;
    ProgramRegistration registration;
    std::string text;
    if (ReadValueText(key, "DisplayName", text)) registration.display_name = Trimmed(text);
    if (registration.display_name.empty()) return;
    if (ReadValueText(key, "InstallLocation", text) && ContainsExact(text, ":\\")) AddFolder(registration, text);
    for (const char* command : {"UninstallString", "DisplayIcon"})
        if (ReadValueText(key, command, text)) AddFolder(registration, ExecutableFolderOf(text));
    if (!registration.folders.empty()) found.push_back(registration);
}

// Every sub-key of root\path is one registration.
void ReadRegistrationsBelow(HKEY root, const std::string& path, REGSAM view,
                            std::vector<ProgramRegistration>& found) {
    RegistryKey list;
    if (list.Open(root, path.c_str(), KEY_READ | view) != ERROR_SUCCESS) return;
    for (DWORD index = 0, count = CountSubKeys(list); index < count; ++index) {
        const std::string name = SubKeyNameAt(list, index);
        if (!Trimmed(name).empty()) ReadRegistration(list.Get(), name, view, found);
    }
}

StringList SubKeyNames(HKEY root, const std::string& path, REGSAM view) {
    StringList names;
    RegistryKey key;
    if (key.Open(root, path.c_str(), KEY_READ | view) != ERROR_SUCCESS) return names;
    for (DWORD index = 0, count = CountSubKeys(key); index < count; ++index) {
        const std::string name = SubKeyNameAt(key, index);
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

}  // namespace

std::string ExecutableFolderOf(const std::string& command) {
    const std::string path = CommandFilePath(command);
    if (!ContainsExact(path, ":\\")) return std::string();
    const std::size_t cut = LastSeparator(path);
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::vector<ProgramRegistration> ReadProgramRegistrations() {
    std::vector<ProgramRegistration> found;
    // Both views: on 32-bit Windows the flags are ignored and the second pass repeats the first.
    for (const REGSAM view : {REGSAM{KEY_WOW64_64KEY}, REGSAM{KEY_WOW64_32KEY}}) {
        ReadRegistrationsBelow(HKEY_LOCAL_MACHINE, kUninstallPath, view, found);
        for (const std::string& sid : SubKeyNames(HKEY_LOCAL_MACHINE, kInstallerUserDataPath, view))
            for (const std::string& product :
                 SubKeyNames(HKEY_LOCAL_MACHINE, std::string(kInstallerUserDataPath) + "\\" + sid + "\\Products", view)) {
                const std::string path = std::string(kInstallerUserDataPath) + "\\" + sid + "\\Products\\" + product;
                RegistryKey products;
                if (products.Open(HKEY_LOCAL_MACHINE, path.c_str(), KEY_READ | view) == ERROR_SUCCESS)
                    ReadRegistration(products.Get(), "InstallProperties", view, found);
            }
    }
    ReadRegistrationsBelow(HKEY_CURRENT_USER, kUninstallPath, 0, found);
    for (const std::string& hive : SubKeyNames(HKEY_USERS, "", 0))
        ReadRegistrationsBelow(HKEY_USERS, hive + "\\" + kUninstallPath, 0, found);
    return found;
}
