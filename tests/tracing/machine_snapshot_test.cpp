#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "check.h"
#include "file_system.h"
#include "known_folders.h"
#include "machine_snapshot.h"
#include "registry_fixture.h"
#include "scratch_folder.h"
#include "service_control.h"
#include "shortcut_writer.h"
#include "snapshot_diff.h"
#include "text_rules.h"
#include "uninstall_registration.h"
#include "win32/handles.h"

namespace {

const std::string kId = std::to_string(GetCurrentProcessId());
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRecentDocsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RecentDocs";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Runs its clean-up when the test ends, also after a failed check.
class AtEnd {
public:
    explicit AtEnd(std::function<void()> clean_up) : clean_up_(std::move(clean_up)) {}
    ~AtEnd() { clean_up_(); }
    AtEnd(const AtEnd&) = delete;
    AtEnd& operator=(const AtEnd&) = delete;

private:
    std::function<void()> clean_up_;
};

void WriteFileText(const std::string& path, const std::string& text) {
    CONTEXT(path);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    CHECK(file != INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

// Creates root\path in the view and sets a string value there (when name is given).
void SetKeyString(HKEY root, const std::string& path, REGSAM view, const char* name, const std::string& text) {
    CONTEXT(path);
    HKEY key = nullptr;
    CHECK_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
             ERROR_SUCCESS);
    if (name)
        CHECK_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1)),
                 ERROR_SUCCESS);
    RegCloseKey(key);
}

// Removes parent\name with everything below it, parent opened in the view.
void DeleteKeyTree(HKEY root, const std::string& parent, REGSAM view, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, parent.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
    SHDeleteKeyA(key, name.c_str());
    RegCloseKey(key);
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> PathLines(const std::vector<TracedPath>& paths) {
    std::vector<std::string> lines;
    for (const TracedPath& path : paths) lines.push_back(path.path + (path.is_folder ? " <folder>" : ""));
    return lines;
}

std::vector<std::string> ValueLines(const std::vector<TracedValue>& values) {
    std::vector<std::string> lines;
    for (const TracedValue& value : values)
        lines.push_back(value.key + "|" + value.name + "|" + std::to_string(value.type) + "|" + value.data +
                        (value.changed ? "|changed" : "|new"));
    return lines;
}

std::vector<std::string> RegistrationLines(const std::vector<TracedRegistration>& registrations) {
    std::vector<std::string> lines;
    for (const TracedRegistration& r : registrations)
        lines.push_back(r.key + "|" + r.display_name + "|" + r.display_version + "|" + r.install_location + "|" +
                        r.uninstall_string + "|" + r.display_icon);
    return lines;
}

// Letter case aside: the lines spell paths as the file system gives them ("C:\windows\temp").
bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& listed) { return UpperCased(listed) == UpperCased(line); });
}

}  // namespace

TEST(TheDifferenceOfTwoSnapshotsIsWhatTheInstallerLeft) {
    CoInitialize(nullptr);
    const std::string windows = WithoutTrailingSeparators(ShellFolder(CSIDL_WINDOWS));
    const std::string program_files = ShellFolder(CSIDL_PROGRAM_FILES);
    const std::string app_data_file = ShellFolder(CSIDL_APPDATA) + "\\KestruneTrace-" + kId + ".ini";
    const std::string shortcut = ShellFolder(CSIDL_PROGRAMS) + "\\追踪测试-" + kId + ".lnk";
    const std::string temp_file = windows + "\\Temp\\KestruneTrace-" + kId + ".tmp";
    const std::string prefetch = windows + "\\Prefetch";
    const bool prefetch_existed = DirectoryExists(prefetch);
    const std::string prefetch_file = prefetch + "\\KESTRUNETRACE-" + kId + ".pf";
    const bool recent_docs_existed = KeyExists(HKEY_CURRENT_USER, kRecentDocsKey);
    const std::string name32 = "KestruneTrace32-" + kId, name64 = "KestruneTrace64-" + kId;
    const std::string service_name = "KestruneTrace-" + kId;
    const std::string run_value = "KestruneTrace-" + kId;

    // What was there before: a file and values the installer rewrites, and the keys a 32-bit
    // installer's registration goes below (Windows has them; a fresh prefix may not).
    ScratchFolder existing("C:\\", "trace-existing");
    WriteFileText(existing / "settings.ini", "a");
    ScopedTestKey user_key(HKEY_CURRENT_USER, "Software");
    CHECK_EQ(user_key.SetValue("", "Count", REG_DWORD, std::string("\x01\x00\x00\x00", 4)), ERROR_SUCCESS);
    SetKeyString(HKEY_CURRENT_USER, kRunKey, 0, nullptr, "");
    SetKeyString(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, nullptr, "");

    AtEnd clean_up([&] {
        DeleteFileA(app_data_file.c_str());
        DeleteFileA(shortcut.c_str());
        DeleteFileA(temp_file.c_str());
        DeleteFileA(prefetch_file.c_str());
        if (!prefetch_existed) RemoveDirectoryA(prefetch.c_str());
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_WOW64_32KEY, name32);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE", KEY_WOW64_64KEY, name64);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_32KEY, name32);
        DeleteValue(HKEY_CURRENT_USER, kRunKey, run_value);
        if (recent_docs_existed)
            DeleteValue(HKEY_CURRENT_USER, kRecentDocsKey, "KestruneTrace-" + kId);
        else
            DeleteKeyTree(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", 0, "RecentDocs");
        DeleteServiceNamed(service_name, nullptr);
    });

    const MachineSnapshot before = TakeMachineSnapshot();
    CHECK(before.FindFile(existing / "SETTINGS.INI") != nullptr);
    CHECK(before.services_failure.empty());

    // The installer: a program folder with a double-byte name (the trail byte of 俓 is "\"),
    // a file in the profile, a rewritten file, keys in both registry views, values, two
    // uninstall registrations, a driver service and a Start menu shortcut.
    ScratchFolder program(program_files, "追踪俓");
    program.MakeFolders({"子目录"});
    const std::string program_exe = program / "子目录\\程序.exe";
    WriteFileText(program_exe, "MZ");
    WriteFileText(app_data_file, "[trace]");
    WriteFileText(existing / "settings.ini", "rewritten");
    SetKeyString(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name32 + "\\Sub\\Deeper", KEY_WOW64_32KEY, "Path", program.Path());
    SetKeyString(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name64 + "\\Sub", KEY_WOW64_64KEY, "Path", program.Path());
    SetKeyString(HKEY_CURRENT_USER, kRunKey, 0, run_value.c_str(), program_exe);
    CHECK_EQ(user_key.SetValue("", "Count", REG_DWORD, std::string("\x02\x00\x00\x00", 4)), ERROR_SUCCESS);
    CHECK_EQ(user_key.SetValue("", "Paths", REG_MULTI_SZ, std::string("a\0b\0\0", 5)), ERROR_SUCCESS);
    CHECK_EQ(user_key.SetValue("", "Blob", REG_BINARY, std::string("\x01\xff", 2)), ERROR_SUCCESS);
    UninstallRegistration registration("KestruneTrace", "追踪测试程序");
    registration.Set("DisplayVersion", "1.2.3");
    registration.Set("InstallLocation", program.Path());
    registration.Set("UninstallString", "\"" + program_exe + "\" /uninstall");
    registration.Set("DisplayIcon", program_exe + ",0");
    SetKeyString(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\" + name32, KEY_WOW64_32KEY, "DisplayName",
                 "追踪测试 32");
    const std::string driver_path = program / "trace.sys";
    {
        ServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
        ServiceHandle service(CreateServiceA(manager.Get(), service_name.c_str(), "追踪测试驱动", SERVICE_ALL_ACCESS,
                                             SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                             driver_path.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr));
        CHECK(service.IsOpen());
    }
    CHECK(WriteShortcut(shortcut, program_exe, program / "子目录"));
    // Noise, and the tracer's own output.
    WriteFileText(temp_file, "temp");
    CreateDirectoryA(prefetch.c_str(), nullptr);
    WriteFileText(prefetch_file, "prefetch");
    SetKeyString(HKEY_CURRENT_USER, kRecentDocsKey, 0, ("KestruneTrace-" + kId).c_str(), "recent");
    WriteFileText(existing / "signature.txt", "output");

    const MachineSnapshot after = TakeMachineSnapshot();
    const TracedChanges changes = DiffSnapshots(before, after, {existing / "SIGNATURE.TXT"});

    CHECK_EQ(PathLines(changes.added_paths),
             (std::vector<std::string>{program.Path() + " <folder>", program / "子目录 <folder>", program / "子目录\\程序.exe",
                                       app_data_file, shortcut}));
    CHECK_EQ(changes.changed_files, std::vector<std::string>{existing / "settings.ini"});
    CHECK_EQ(changes.added_keys,
             (std::vector<std::string>{
                 "HKLM|SOFTWARE\\" + name64,
                 "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KestruneTrace-" + kId,
                 "HKLM|SOFTWARE\\Wow6432Node\\" + name32,
                 "HKLM|SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name32,
                 "HKLM|SYSTEM\\CurrentControlSet\\Services\\" + service_name,
             }));
    const std::string user_key_path = "HKCU|" + user_key.Path();
    CHECK_EQ(ValueLines(changes.values),
             (std::vector<std::string>{
                 user_key_path + "|Blob|3|01,ff|new",
                 user_key_path + "|Count|4|2|changed",
                 user_key_path + "|Paths|7|a\nb|new",
                 "HKCU|" + std::string(kRunKey) + "|" + run_value + "|1|" + program_exe + "|new",
             }));
    CHECK_EQ(changes.added_services.size(), 1u);
    if (changes.added_services.size() == 1) {
        const TracedService& service = changes.added_services[0];
        CHECK_EQ(service.name, service_name);
        CHECK_EQ(service.display_name, std::string("追踪测试驱动"));
        CHECK_EQ(service.image_path, driver_path);
        CHECK_EQ(service.service_type, static_cast<unsigned long>(SERVICE_KERNEL_DRIVER));
    }
    CHECK_EQ(changes.added_shortcuts.size(), 1u);
    if (changes.added_shortcuts.size() == 1) {
        CHECK_EQ(changes.added_shortcuts[0].path, shortcut);
        CHECK_EQ(changes.added_shortcuts[0].target, program_exe);
    }
    CHECK_EQ(RegistrationLines(changes.registrations),
             (std::vector<std::string>{
                 "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KestruneTrace-" + kId + "|追踪测试程序|1.2.3|" +
                     program.Path() + "|\"" + program_exe + "\" /uninstall|" + program_exe + ",0",
                 "HKLM|SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name32 + "|追踪测试 32||||",
             }));
    const std::string recent_docs = "recently used list: HKCU|" + std::string(kRecentDocsKey);
    for (const std::string& line :
         {"temporary files: " + temp_file, "prefetch: " + prefetch_file, "tracer's own file: " + existing / "signature.txt",
          recent_docs_existed ? recent_docs + "|KestruneTrace-" + kId : recent_docs}) {
        CONTEXT(line);
        CHECK(HasLine(changes.filtered, line));
    }
    CoUninitialize();
}
