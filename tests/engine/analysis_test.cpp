#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <algorithm>

#include "category_files.h"
#include "check.h"
#include "engine_fixture.h"
#include "scratch_folder.h"
#include "shared_location_keys.h"
#include "shortcut_writer.h"
#include "file_system.h"
#include "registry_fixture.h"
#include "system_folders.h"
#include "text_rules.h"

namespace {

std::string ThisProgramName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FileNameOf(path);
}

}  // namespace

TEST(AnalysisStepsReportTheTracesThatExist) {
    EngineFixture f;
    f.ConnectAllSlots();
    ScratchFolder drive("C:\\", "KestruneEngineAnalysis");
    const std::string program_folder = drive.Path() + "\\Vendor\\星澜Player";
    CreateDirectories(program_folder);
    ::WriteFile(program_folder + "\\core.dll", "x");
    const std::string driver = "kestrune-engine-" + std::to_string(GetCurrentProcessId()) + ".sys";
    // Reported as the machine names it; a 32-bit test on 64-bit Windows writes it through Sysnative.
    const std::string driver_path = WindowsFolder() + "\\System32\\drivers\\" + driver;
    const std::string driver_file = NativeSystemFolder() + "\\drivers\\" + driver;
    ::WriteFile(driver_file, "driver");
    ScopedTestKey key(HKEY_LOCAL_MACHINE, "SOFTWARE");
    key.SetString("Settings", "Path", "x");

    // The core file is recorded on another drive: the system drive's letter takes its place.
    const std::string core_record = "D" + program_folder.substr(1) + "\\core.dll";
    f.WriteProgram({
        {"PR", {" " + ThisProgramName(), "notrunning-kestrune.exe", "short-record-ignored|x"}},
        {"CF", {core_record, "C:\\nowhere-kestrune\\missing.dll"}},
        {"FL", {"星澜PLAYER"}},
        {"IS", {driver, "missing-kestrune.sys"}},
        {"RN", {"HKLM", "HKLM|" + key.Path(), "HKLM|" + key.Path() + "\\Settings|\"Path\"", "HKLM|" + key.Path() + "|Nope"}},
    });
    const std::string row_type = "SW";
    f.engine.AnalyzeProcessRun(0, row_type);
    f.engine.AnalyzeCoreFile(0, row_type);
    f.engine.AnalyzeRelatedDir(0, row_type);
    f.engine.AnalyzeSysFile(0, row_type);
    f.engine.AnalyzeAXCLSID(0, row_type, RegistryView::kDefault);
    f.engine.AnalyzeNewReg(0, row_type, RegistryView::kDefault);

    // Surrounding blanks still match; this program stands for the uninstaller, which never ends
    // itself, so it is reported marked.
    CHECK_EQ(Slots().texts["process"],
             StringList{SafetyGuard::Marked(SafetyVerdict::Refuse("本程序自身"), " " + ThisProgramName())});
    const TQXAnalysisScratch& scratch = f.engine.AnalysisScratch();
    CHECK_EQ(scratch.ProcessUpperList.size(), 3u);  // every process record, running or not
    if (scratch.ProcessUpperList.size() > 1)
        CHECK_EQ(scratch.ProcessUpperList[1], std::string("NOTRUNNING-KESTRUNE.EXE"));
    CHECK_EQ(Slots().texts["corefile"], StringList{program_folder + "\\core.dll"});
    CHECK_EQ(Slots().texts["dir"], StringList{program_folder});
    CHECK_EQ(scratch.DirUpperList, StringList{UpperCased(program_folder)});
    CHECK_EQ(f.engine.WorkLists().DirList, StringList{program_folder});  // what the shortcut step reads
    CHECK_EQ(Slots().texts["driver"], StringList{driver_path});
    CHECK(Slots().texts["com"].empty());  // no component records
    CHECK_EQ(Slots().texts["reg"], (StringList{"HKLM|" + key.Path(), "HKLM|" + key.Path() + "\\Settings|\"Path\""}));
    DeleteFileAlways(driver_file);
}

// A core file below a per-user folder is named once for every user: the current user's copy and
// another profile's are found, and a machine folder's once.
TEST(CoreFileRecordsWithVariablesFindEveryUsersCopy) {
    EngineFixture f;
    f.ConnectAllSlots();
    const std::string tag = "KestruneVars-" + std::to_string(GetCurrentProcessId());
    char own_app_data[MAX_PATH] = {}, program_files[MAX_PATH] = {};
    CHECK(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, own_app_data)));
    CHECK(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, program_files)));
    char own_profile[MAX_PATH] = {};
    CHECK(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, 0, own_profile)));
    const std::string below_profile = std::string(own_app_data).substr(std::string(own_profile).size());

    // Another user's profile, listed in the profile list as Windows lists it.
    ScratchFolder other_profile("C:\\users", tag);
    ScopedRegistryKey listed(HKEY_LOCAL_MACHINE,
                             "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-" + tag);
    CHECK_EQ(listed.SetString("ProfileImagePath", other_profile.Path()), ERROR_SUCCESS);
    const std::string mine = std::string(own_app_data) + "\\" + tag + "\\a.dat";
    const std::string theirs = other_profile.Path() + below_profile + "\\" + tag + "\\a.dat";
    ScratchFolder machine_folder(program_files, tag);
    const std::string machine = machine_folder.Path() + "\\b.dat";
    for (const std::string& file : {mine, theirs, machine}) {
        CreateDirectories(file.substr(0, file.find_last_of('\\')));
        ::WriteFile(file, "x");
    }

    f.WriteProgram({{"CF", {"%AppData%\\" + tag + "\\a.dat", "%PROGRAMFILES%\\" + FileNameOf(machine_folder.Path()) + "\\b.dat",
                            "%LOCALAPPDATA%\\" + tag + "\\missing.dat", "%NOSUCH%\\a.dat"}}});
    f.engine.AnalyzeCoreFile(0, "SW");
    CHECK_EQ(Slots().texts["corefile"], (StringList{mine, theirs, machine}));
    DeleteFolderTree(std::string(own_app_data) + "\\" + tag);
}

TEST(AnalysisStepsDoNothingWithoutTheirSlot) {
    EngineFixture f;
    f.ConnectAllSlots();
    f.WriteFile("SID_SW_LI.hdb", {"KA1|甲|Photo Tools|1|5.1|6.1|32位", "KB2|乙|Photo Tools|1|5.1|6.1|32位"});
    f.WriteFile("SID_SW_PR.hdb", {"KA1|a.exe", "KB2|b.exe"});
    f.WriteFile("SID_SW_MAPPED.hdb", {"KA1|SID_SW_PR.hdb", "KB2|SID_SW_PR.hdb"});
    CHECK(f.engine.ListSoftware("SW", kFilterAll, kFilterAll));
    f.engine.AnalyzeProcessRun(0, "SW");
    const StringList& upper_names = f.engine.AnalysisScratch().ProcessUpperList;
    CHECK_EQ(upper_names, StringList{"A.EXE"});
    // Without its slot the step reads nothing: row 1 would have left B.EXE.
    f.engine.OnProcessRun = nullptr;
    f.engine.AnalyzeProcessRun(1, "SW");
    CHECK_EQ(upper_names, StringList{"A.EXE"});
    f.ConnectAllSlots();
    f.engine.AnalyzeProcessRun(1, "NM");  // a type without a cache row
    CHECK_EQ(upper_names, StringList{"A.EXE"});
}

TEST(ShortcutStepMatchesPathTargetAndWorkingFolder) {
    CHECK(SUCCEEDED(CoInitialize(nullptr)));
    {
        EngineFixture f;
        f.ConnectAllSlots();
        ScratchFolder base("C:\\Users", "KestruneEngineLinks");
        const std::string program = base.Path() + "\\Foo", neighbour = base.Path() + "\\FooBar";
        const std::string links = base.Path() + "\\links", elsewhere = WindowsFolder() + "\\notepad.exe";
        for (const std::string& folder : {program, neighbour, links}) CreateDirectories(folder);
        ::WriteFile(program + "\\foo.exe", "x");
        ::WriteFile(neighbour + "\\bar.exe", "x");
        const struct {
            std::string path, target, working;
            bool reported;
        } cases[] = {
            {links + "\\by target.lnk", program + "\\foo.exe", neighbour, true},
            {links + "\\by working folder.lnk", elsewhere, program, true},
            // A target needs no separator after the folder, a working folder does.
            {links + "\\target in FooBar.lnk", neighbour + "\\bar.exe", links, true},
            {links + "\\working in FooBar.lnk", elsewhere, neighbour, false},
            {links + "\\UPPER.LNK", elsewhere, UpperCased(program), true},
        };
        for (const auto& c : cases) CHECK(WriteShortcut(c.path, c.target, c.working));
        // A shortcut inside the folder is reported by its own path, even one that cannot be read.
        ::WriteFile(program + "\\inside.lnk", "not a shortcut");
        // The all-users Start menu lies outside the users' folders (ProgramData).
        char common_start_menu[MAX_PATH] = {};
        CHECK(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_COMMON_STARTMENU, nullptr, SHGFP_TYPE_CURRENT, common_start_menu)));
        const std::string all_users = std::string(common_start_menu) + "\\KestruneEngineLinks-" +
                                      std::to_string(GetCurrentProcessId()) + ".lnk";
        CHECK(WriteShortcut(all_users, program + "\\foo.exe", program));

        f.engine.AnalyzeShellLink();  // DirList empty: nothing at all
        CHECK(Slots().texts["shortcut"].empty());

        // The folder step leaves the folder for the shortcut step, as the walk spells it.
        f.WriteProgram({{"FL", {"Foo"}}});
        f.engine.AnalyzeRelatedDir(0, "SW");
        CHECK_EQ(f.engine.WorkLists().DirList.size(), 1u);
        f.engine.AnalyzeShellLink();
        const StringList& reported = Slots().texts["shortcut"];
        for (const auto& c : cases) {
            CONTEXT(c.path);
            bool found = false;
            for (const std::string& path : reported) found = found || path == c.path;
            CHECK_EQ(found, c.reported);
        }
        bool inside = false;
        for (const std::string& path : reported) inside = inside || path == program + "\\inside.lnk";
        CHECK(inside);
        CHECK(std::find(reported.begin(), reported.end(), all_users) != reported.end());
        CHECK_EQ(reported.size(), 6u);  // each shortcut once
        DeleteFileA(all_users.c_str());
    }
    CoUninitialize();
}
