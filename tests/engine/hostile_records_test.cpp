// Hostile or mistaken records and sloppy registrations against the real prefix: whatever the
// database or the registry says, the analysis reports what the safety rules refuse marked, the
// clean-up leaves it, and the machine is checked afterwards.
#include <objbase.h>
#include <windows.h>

#include <cstdio>

#include "check.h"
#include "cleanup_selection.h"
#include "engine_fixture.h"
#include "file_system.h"
#include "process_probes.h"
#include "registry_access.h"
#include "safety_guard.h"
#include "scratch_folder.h"
#include "shortcut_writer.h"
#include "system_folders.h"
#include "uninstall_registration.h"
#include "win32/handles.h"

namespace {

DWORD SubKeyCount(HKEY root, const char* path) {
    RegistryKey key;
    return key.Open(root, path, KEY_READ) == ERROR_SUCCESS ? CountSubKeys(key) : 0;
}

bool KeyExists(HKEY root, const std::string& path) {
    RegistryKey key;
    return key.Open(root, path.c_str(), KEY_READ) == ERROR_SUCCESS;
}

void SelectProgram(EngineFixture& f) {
    f.engine.SoftwareType = "SW";
    f.engine.SelectedIndex = 0;
    f.engine.PrepareSafety(0, "SW");
}

// The analysis as the worker runs it but for the shortcuts, then a clean-up of everything found,
// as qxcli hands it over.
void AnalyseAndCleanEverything(EngineFixture& f) {
    CHECK(SUCCEEDED(CoInitialize(nullptr)));  // shortcuts are read through COM
    f.engine.AnalyzeProcessRun(0, "SW");
    f.engine.AnalyzeCoreFile(0, "SW");
    f.engine.AnalyzeRelatedDir(0, "SW");
    f.engine.AnalyzeSysFile(0, "SW");
    f.engine.AnalyzeAXCLSID(0, "SW", RegistryView::kDefault);
    f.engine.AnalyzeNewReg(0, "SW", RegistryView::kDefault);
    f.engine.AnalyzeShellLink();
    CleanupSelection selection;
    selection.processes = Slots().texts["process"];
    selection.core_files = Slots().texts["corefile"];
    selection.related_dirs = Slots().texts["dir"];
    selection.driver_files = Slots().texts["driver"];
    selection.component_items = Slots().texts["com"];
    selection.registry_items = Slots().texts["reg"];
    selection.shortcuts = Slots().texts["shortcut"];
    FillCleanupLists(f.engine, selection);
    f.engine.Tally = TQX::CleanupTally();
    f.engine.CleanProcessRun();
    f.engine.CleanSysFile();
    f.engine.CleanCoreFile();
    f.engine.CleanAXCLSID(RegistryView::kDefault);
    f.engine.CleanNewReg(RegistryView::kDefault);
    f.engine.CleanRelatedDir();
    f.engine.CleanShellLink();
}

void CheckAllMarked(const char* slot) {
    for (const std::string& text : Slots().texts[slot]) {
        CONTEXT(std::string(slot) + ": " + text);
        CHECK(SafetyGuard::IsMarked(text));
    }
}

}  // namespace

TEST(HostileRecordsAreShownMarkedAndTheSystemStaysWhole) {
    EngineFixture f;
    f.ConnectAllSlots();
    const std::string windows = WindowsFolder(), system = SystemFolder(), profile = ProfileFolder();
    const DWORD classes_before = SubKeyCount(HKEY_CLASSES_ROOT, "CLSID");
    const bool services_ran = IsProcessRunning("services.exe");
    f.WriteProgram({
        {"CF", {system + "\\kernel32.dll", windows + "\\win.ini", windows + "\\system32\\ole32.dll"}},
        {"FL", {"users", "Program Files", "Desktop"}},
        {"PR", {"services.exe", "explorer.exe"}},
        {"RAXC", {"ole32.dll", "shell32.dll"}},
        {"RN", {"HKCR|CLSID", "HKCU|Software", "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                "HKLM|SYSTEM\\CurrentControlSet", "HKLM|SOFTWARE\\Classes\\CLSID", "HKLM|SOFTWARE"}},
    });
    SelectProgram(f);
    AnalyseAndCleanEverything(f);

    for (const char* slot : {"process", "corefile", "dir", "reg"}) CheckAllMarked(slot);
    CHECK(!Slots().texts["corefile"].empty());
    CHECK(!Slots().texts["dir"].empty());
    CHECK(!Slots().texts["reg"].empty());
    // Classes served by Windows' own modules are never reported.
    CHECK_EQ(Slots().texts["com"], StringList{});
    CHECK_EQ(f.engine.Tally.removed, 0);
    CHECK(f.engine.Tally.not_removed > 0);

    for (const std::string& file : {system + "\\kernel32.dll", windows + "\\win.ini", system + "\\ole32.dll"}) {
        CONTEXT(file);
        CHECK(FileExists(file));
    }
    for (const std::string& folder : {std::string("C:\\users"), std::string("C:\\Program Files"), profile + "\\Desktop"}) {
        CONTEXT(folder);
        CHECK(DirectoryExists(folder));
    }
    CHECK_EQ(SubKeyCount(HKEY_CLASSES_ROOT, "CLSID"), classes_before);
    CHECK(KeyExists(HKEY_CURRENT_USER, "Software\\Wine"));
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"));
    CHECK(KeyExists(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services"));
    CHECK_EQ(IsProcessRunning("services.exe"), services_ran);
}

TEST(SloppyInstallLocationsAreProposedMarkedAndNeverCleaned) {
    EngineFixture f;
    f.ConnectAllSlots();
    f.WriteProgram({{"IDN", {"星澜影音播放器"}}});
    SelectProgram(f);
    UninstallRegistration sloppy("KestruneSloppy", "影音");
    for (const char* location : {"C:\\users", "C:\\.", "C:\\\\", "C:\\/", "C:\\Program Files\\..", "C:\\Windows",
                                 "C:\\Program Files", "C:\\PROGRA~1\\"}) {
        CONTEXT(location);
        sloppy.Set("InstallLocation", location);
        Slots().texts["path"].clear();
        Slots().texts["clean"].clear();
        f.engine.ListInstallPaths(0, "SW", RegistryView::kDefault);
        CheckAllMarked("path");
        CleanupSelection selection;
        selection.install_paths = Slots().texts["path"];
        FillCleanupLists(f.engine, selection);
        f.engine.Tally = TQX::CleanupTally();
        f.engine.CleanRelatedDir();
        CHECK_EQ(f.engine.Tally.removed, 0);
    }
    CHECK(DirectoryExists("C:\\users"));
    CHECK(DirectoryExists("C:\\Program Files"));
    CHECK(FileExists(SystemFolder() + "\\kernel32.dll"));
}

TEST(TwoProgramsSharingAnExecutableNameKeepEachOthersFolders) {
    EngineFixture f;
    f.ConnectAllSlots();
    ScratchFolder mine("C:\\Program Files", "KestruneMine");
    ScratchFolder other("C:\\Program Files", "KestruneOther");
    const std::string executable = "kestrune-shared-" + std::to_string(GetCurrentProcessId()) + ".exe";
    mine.MakeFiles({executable});
    other.MakeFiles({executable, "data.dat"});
    UninstallRegistration registration("KestruneOther", "Other Player");
    registration.Set("InstallLocation", other.Path());
    CHECK(SUCCEEDED(CoInitialize(nullptr)));
    const std::string shortcut = ProfileFolder() + "\\Desktop\\KestruneOther-" + std::to_string(GetCurrentProcessId()) + ".lnk";
    CHECK(WriteShortcut(shortcut, other / executable, other.Path()));

    f.WriteProgram({{"IDN", {"Kestrune Mine"}}, {"PR", {executable}}});
    SelectProgram(f);
    AnalyseAndCleanEverything(f);

    CHECK(!DirectoryExists(mine.Path()));
    CHECK(FileExists(other / "data.dat"));
    CHECK(FileExists(shortcut));
    StringList refused;
    for (const std::string& dir : Slots().texts["dir"])
        if (SafetyGuard::IsMarked(dir)) refused.push_back(dir);
    CHECK_EQ(refused, StringList{"<属于其他已安装程序: Other Player> " + other.Path()});
    DeleteFileAlways(shortcut);
}
