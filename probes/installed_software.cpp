#include "installed_software.h"

#include "command_path.h"
#include "file_system.h"
#include "long_path.h"
#include "matching.h"
#include "path_identity.h"
#include "protected_folders.h"
#include "registry_access.h"
#include "user_sids.h"

namespace {

const char kInstallerUserDataPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\";
const char kUninstallPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Shorter locations are a bare drive root ("C:\") or nothing: never proposed as a program's folder.
constexpr std::size_t kLongestDriveRootLength = 3;

// Where a registration's folder is read from.
enum class LocationSource {
    kInstallLocation,        // InstallLocation only
    kOrUninstallerFolder,    // InstallLocation, else the folder of UninstallString or DisplayIcon
};

// The folders an uninstaller's folder may not be, read once per scan when the first registration
// needs them: reading them costs dozens of shell-folder and path lookups.
class UninstallerFolderRules {
public:
    const std::string& Windows() { return Read().windows_; }
    const StringList& ProtectedFolders() { return Read().protected_folders_; }

private:
    UninstallerFolderRules& Read() {
        if (!read_) {
            windows_ = CanonicalWindowsFolder();
            protected_folders_ = ReadProtectedFolders();
            read_ = true;
        }
        return *this;
    }
    bool read_ = false;
    std::string windows_;
    StringList protected_folders_;
};

// Display names and install locations of the registrations found, entry i of one belonging to
// entry i of the other.
struct Registrations {
    StringList& display_names;
    StringList& install_locations;
    UninstallerFolderRules rules;  // for the registrations without a location
};

// The folder of the program a command names (an uninstaller, an icon), when it is a drive path
// that may be proposed: never a protected folder or one above it, nor anything in the Windows
// folder (Windows Installer keeps its cached packages and icons there).
std::string UninstallerFolder(const std::string& command, UninstallerFolderRules& rules) {
    const std::string file = CommandFilePath(command);
    if (!ContainsExact(file, ":\\")) return "";
    const std::size_t separator = LastSeparator(file);
    if (separator == std::string::npos) return "";
    const std::string folder = CanonicalPath(file.substr(0, separator));
    const std::string& windows = rules.Windows();
    if (folder.empty() || IsVolumeRoot(folder) || folder == windows || IsStrictlyInside(folder, windows)) return "";
    for (const std::string& protected_folder : rules.ProtectedFolders())
        if (folder == protected_folder || IsStrictlyInside(protected_folder, folder)) return "";
    return GetLongPath(file.substr(0, separator));
}

// Appends the registration held by key when both its display name and its install location are
// non-empty. A location that names a drive path (":\") is given in its long form, which is empty
// when the folder no longer exists; any other location (a network path, a relative text) is kept
// as written.
void ReadRegistration(const RegistryKey& key, LocationSource source, Registrations& found) {
    std::string display_name;
    std::string install_location;
    ReadValueText(key, "DisplayName", display_name);
    ReadValueText(key, "InstallLocation", install_location);
    const std::string name = Trimmed(display_name);
    const std::string written = Trimmed(install_location);
    // A folder that no longer exists still counts as a registration, with an empty location.
    std::string location = ContainsExact(written, ":\\") ? GetLongPath(written) : written;
    if (written.empty() && source == LocationSource::kOrUninstallerFolder) {
        for (const char* value : {"UninstallString", "DisplayIcon"}) {
            std::string command;
            if (ReadValueText(key, value, command) && !(location = UninstallerFolder(command, found.rules)).empty()) break;
        }
    }
    if (name.empty() || (written.empty() && location.empty())) return;

    found.display_names.push_back(name);
    found.install_locations.push_back(location);
}

// Reads the registration in base\sub_path, when that key opens.
void ReadRegistrationBelow(const RegistryKey& base, const std::string& sub_path, RegistryView view,
                           Registrations& found, LocationSource source = LocationSource::kInstallLocation) {
    RegistryKey registration;
    if (registration.Open(base.Get(), sub_path.c_str(), FullAccessMask(view)) != ERROR_SUCCESS) return;
    ReadRegistration(registration, source, found);
}

// The registrations under rootase_path's Uninstall key.
void ScanUninstallKeysBelow(HKEY root, const std::string& base_path, RegistryView view, LocationSource source,
                            Registrations& found) {
    WalkSubKeyNames(root, base_path + kUninstallPath, view,
                    [&](const RegistryKey& uninstall, const std::string& registration) {
                        // A name of blanks only would trim to the Uninstall key itself.
                        const std::string name = Trimmed(registration);
                        if (!name.empty()) ReadRegistrationBelow(uninstall, name, view, found, source);
                    });
}

// Adds, for each record, the location of the first display name that the record's name text
// (field 1) contains. A bare drive root or an empty location proposes nothing, and no later
// display name is tried for that record. Records without a name text are passed over.
void ProposeMatches(const StringList& records, const Registrations& candidates, StringList& output) {
    StringList fields;
    for (const std::string& record : records) {
        SplitByBar(record, fields);
        if (fields.size() < 2) continue;
        const std::string& name_text = fields[1];
        for (std::size_t i = 0; i < candidates.display_names.size(); ++i) {
            if (!TextContains(name_text, candidates.display_names[i])) continue;
            const std::string& location = candidates.install_locations[i];
            if (location.size() > kLongestDriveRootLength) AddOnce(output, location);
            break;
        }
    }
}

}  // namespace

void FindInstallPaths(const StringList& records, StringList& output, RegistryView view) {
    StringList user_sids;
    EnumUserSids(user_sids, view);

    // Both registry walks are made once; every record is then matched against what they found.
    StringList display_names;
    StringList install_locations;
    Registrations candidates{display_names, install_locations, {}};

    ScanInstallerUserData(user_sids, display_names, install_locations, view);
    ProposeMatches(records, candidates, output);

    display_names.clear();
    install_locations.clear();
    ScanUninstallKeys(display_names, install_locations, view);
    ProposeMatches(records, candidates, output);

    // Then what only a per-user install or a registration without InstallLocation tells.
    display_names.clear();
    install_locations.clear();
    ScanUserUninstallKeys(user_sids, display_names, install_locations, view);
    ProposeMatches(records, candidates, output);

    display_names.clear();
    install_locations.clear();
    ScanUninstallKeysBelow(HKEY_LOCAL_MACHINE, "", view, LocationSource::kOrUninstallerFolder, candidates);
    ProposeMatches(records, candidates, output);
}

void ScanInstallerUserData(const StringList& user_sids, StringList& display_names, StringList& install_locations,
                           RegistryView view) {
    Registrations found{display_names, install_locations, {}};
    for (const std::string& sid : user_sids) {
        const std::string products_path = kInstallerUserDataPath + sid + "\\Products\\";
        WalkSubKeyNames(HKEY_LOCAL_MACHINE, products_path, view,
                        [&](const RegistryKey& products, const std::string& product_code) {
                            ReadRegistrationBelow(products, Trimmed(product_code) + "\\InstallProperties\\",
                                                  view, found);
                        });
    }
}

void ScanUninstallKeys(StringList& display_names, StringList& install_locations, RegistryView view) {
    Registrations found{display_names, install_locations, {}};
    ScanUninstallKeysBelow(HKEY_LOCAL_MACHINE, "", view, LocationSource::kInstallLocation, found);
}

void ScanUserUninstallKeys(const StringList& user_sids, StringList& display_names, StringList& install_locations,
                           RegistryView view) {
    Registrations found{display_names, install_locations, {}};
    for (const std::string& sid : user_sids)
        ScanUninstallKeysBelow(HKEY_USERS, sid + "\\", view, LocationSource::kOrUninstallerFolder, found);
}
