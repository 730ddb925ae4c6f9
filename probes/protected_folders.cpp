#include "protected_folders.h"

#include <shlobj.h>
#include <windows.h>

#include <algorithm>

#include "file_system.h"
#include "known_folders.h"
#include "machine_views.h"
#include "path_identity.h"
#include "registry_access.h"

namespace {

const char kProfileListPath[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// The shell folders every profile holds, relative to its root: the Vista and later layout and the
// XP one ("Application Data", "Local Settings" ...), since profiles of both kinds occur.
const char* const kProfileFolders[] = {
    "Desktop", "Documents", "My Documents", "Downloads", "Music", "Pictures", "Videos", "Favorites", "Links",
    "Contacts", "Searches", "Saved Games", "Templates", "Cookies", "NetHood", "PrintHood", "Recent", "SendTo",
    "Start Menu", "Start Menu\\Programs", "Start Menu\\Programs\\Startup", "AppData", "AppData\\Roaming",
    "AppData\\Local", "AppData\\LocalLow", "AppData\\Local\\Temp", "AppData\\Local\\Programs",
    "AppData\\Local\\Microsoft", "AppData\\Local\\Microsoft\\Windows", "AppData\\Roaming\\Microsoft",
    "AppData\\Roaming\\Microsoft\\Windows", "AppData\\Roaming\\Microsoft\\Windows\\Start Menu",
    "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
    "AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup", "AppData\\Roaming\\Microsoft\\Windows\\Templates",
    "AppData\\Roaming\\Microsoft\\Windows\\SendTo", "AppData\\Roaming\\Microsoft\\Windows\\Recent",
    "AppData\\Roaming\\Microsoft\\Internet Explorer", "AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch",
    "Application Data", "Application Data\\Microsoft", "Local Settings", "Local Settings\\Application Data",
    "Local Settings\\Temp", "Local Settings\\Temporary Internet Files", "Local Settings\\History",
    "My Documents\\My Music", "My Documents\\My Pictures", "My Documents\\My Videos",
    // ProgramData's own layout, for when it is walked as "All Users".
    "Microsoft", "Microsoft\\Windows", "Microsoft\\Windows\\Start Menu", "Microsoft\\Windows\\Start Menu\\Programs",
    "Microsoft\\Windows\\Start Menu\\Programs\\Startup", "Microsoft\\Windows\\Templates", "Package Cache",
};

// Folders of the Windows folder that Windows itself owns.
const char* const kWindowsFolders[] = {
    "System", "System32", "SysWOW64", "Sysnative", "System32\\drivers", "SysWOW64\\drivers",
    "System32\\drivers\\etc", "System32\\config", "System32\\spool", "System32\\wbem", "System32\\catroot",
    "System32\\catroot2", "System32\\DriverStore", "WinSxS", "Fonts", "inf", "Installer", "Temp", "Tasks",
    "Help", "Media", "Resources", "Globalization", "Microsoft.NET", "assembly", "servicing", "Prefetch",
    "security", "Boot", "Logs", "Cursors", "ShellNew", "twain_32", "Web", "PolicyDefinitions", "Registration",
    "SystemApps", "SystemResources", "Downloaded Program Files", "Offline Web Pages", "debug", "Panther",
};

// The CSIDL folders of the current user and of all users.
const int kShellFolderIds[] = {
    CSIDL_WINDOWS, CSIDL_SYSTEM, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON, 0x002a /* PROGRAM_FILESX86 */,
    0x002c /* PROGRAM_FILES_COMMONX86 */, CSIDL_COMMON_APPDATA, CSIDL_PROFILE, CSIDL_DESKTOPDIRECTORY,
    CSIDL_PERSONAL, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA, CSIDL_STARTMENU, CSIDL_PROGRAMS, CSIDL_STARTUP,
    CSIDL_TEMPLATES, CSIDL_FAVORITES, CSIDL_SENDTO, CSIDL_RECENT, CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO,
    CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_DOCUMENTS, CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS,
    CSIDL_COMMON_STARTUP, CSIDL_COMMON_TEMPLATES, CSIDL_COMMON_FAVORITES, CSIDL_COMMON_MUSIC,
    CSIDL_COMMON_PICTURES, CSIDL_COMMON_VIDEO, CSIDL_FONTS, CSIDL_INTERNET_CACHE, CSIDL_COOKIES, CSIDL_HISTORY,
    CSIDL_ADMINTOOLS, CSIDL_COMMON_ADMINTOOLS, CSIDL_CDBURN_AREA, CSIDL_RESOURCES,
};

// Environment variables that name such folders (the 64-bit Program Files among them, which a
// 32-bit process sees only here).
const char* const kFolderVariables[] = {
    "SystemRoot", "windir", "ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "CommonProgramFiles",
    "CommonProgramFiles(x86)", "CommonProgramW6432", "ProgramData", "ALLUSERSPROFILE", "PUBLIC", "USERPROFILE",
    "APPDATA", "LOCALAPPDATA", "TEMP", "TMP",
};

// Only folders that exist need protecting, and only theirs have a long form at the first try:
// the table names far more than any one machine has. A folder is looked for where this process
// reaches it and kept under the machine's name (System32\config, which a 32-bit process finds
// only through Sysnative), the name the guard judges by.
void AddCanonical(StringList& folders, const std::string& path) {
    if (path.empty() || !DirectoryExists(AccessPathOf(path))) return;
    const std::string canonical = CanonicalPath(MachinePathOf(path));
    // Canonical forms are upper-cased already: a plain comparison finds a repeat.
    if (!canonical.empty() && std::find(folders.begin(), folders.end(), canonical) == folders.end())
        folders.push_back(canonical);
}

// The profiles' parent folder and every profile's root, from the profile list.
void AddProfileRoots(StringList& roots) {
    RegistryKey list;
    if (list.Open(HKEY_LOCAL_MACHINE, kProfileListPath, KEY_READ) != ERROR_SUCCESS) return;
    for (const char* name : {"ProfilesDirectory", "AllUsersProfile", "DefaultUserProfile", "Default", "Public"}) {
        std::string value;
        if (!ReadValueText(list, name, value) || value.empty()) continue;
        // AllUsersProfile and DefaultUserProfile are bare names below ProfilesDirectory on XP.
        if (value.find('\\') == std::string::npos && value.find('%') == std::string::npos) {
            std::string parent;
            if (ReadValueText(list, "ProfilesDirectory", parent)) value = IncludeTrailingSeparator(parent) + value;
        }
        roots.push_back(ExpandedText(value));
    }
    for (const std::string& root : UserProfileRoots()) roots.push_back(root);
}

}  // namespace

std::string CanonicalWindowsFolder() { return CanonicalPath(MachineWindowsFolder()); }

StringList ReadSystemFileFolders() {
    StringList folders;
    const std::string windows = MachineWindowsFolder();
    AddCanonical(folders, windows);
    for (const char* name : {"System", "System32", "SysWOW64", "System32\\drivers", "SysWOW64\\drivers"})
        AddCanonical(folders, JoinPath(windows, name));
    AddCanonical(folders, ShellFolder(CSIDL_SYSTEM));
    AddCanonical(folders, SystemWow64Folder());
    return folders;
}

StringList ReadProtectedFolders() {
    StringList folders;
    const std::string windows = MachineWindowsFolder();
    AddCanonical(folders, windows);
    for (const char* name : kWindowsFolders) AddCanonical(folders, JoinPath(windows, name));
    AddCanonical(folders, SystemWow64Folder());
    for (int id : kShellFolderIds) AddCanonical(folders, ShellFolder(id));
    for (const char* name : kFolderVariables) AddCanonical(folders, EnvironmentVariable(name));

    // Every profile, the Users root, and the shared profiles beside them.
    StringList roots;
    AddProfileRoots(roots);
    roots.push_back(ShellFolder(CSIDL_PROFILE));
    roots.push_back(ShellFolder(CSIDL_COMMON_APPDATA));
    const std::string drive = windows.substr(0, 3);
    for (const char* parent : {"Users", "Documents and Settings"}) {
        const std::string users = drive + parent;
        roots.push_back(users);
        for (const char* shared : {"All Users", "Public", "Default", "Default User", "LocalService", "NetworkService"})
            roots.push_back(JoinPath(users, shared));
    }
    for (const std::string& root : roots) {
        if (root.empty() || !DirectoryExists(root)) continue;
        AddCanonical(folders, root);
        for (const char* folder : kProfileFolders) AddCanonical(folders, JoinPath(root, folder));
    }

    // The uninstaller's own folder.
    char own[MAX_PATH + 1] = {};
    if (GetModuleFileNameA(nullptr, own, MAX_PATH)) {
        std::string folder = own;
        const std::size_t cut = LastSeparator(folder);
        if (cut != std::string::npos) AddCanonical(folders, folder.substr(0, cut));
    }
    return folders;
}
