#include <windows.h>

#include "check.h"
#include "cleanup_selection.h"
#include "engine_fixture.h"
#include "file_system.h"
#include "pending_marks.h"
#include "registry_fixture.h"
#include "restart_deletion.h"
#include "scratch_folder.h"
#include "win32/handles.h"

namespace {

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string ReadWholeFileText(const std::string& path) {
    std::string contents;
    ReadWholeFile(path, contents);
    return contents;
}

// A file held open without delete sharing, so the system refuses to delete it.
KernelHandle LockFile(const std::string& path) {
    return KernelHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

}  // namespace

TEST(CleanupReportsWhatWasRemovedAndWhatWasNot) {
    EngineFixture f;
    f.ConnectAllSlots();
    ScratchFolder drive("C:\\", "KestruneEngineClean");
    const std::string read_only = drive.Path() + "\\readonly.dll", locked = drive.Path() + "\\locked.dll";
    const std::string clean_dir = drive.Path() + "\\Clean", busy_dir = drive.Path() + "\\Busy";
    for (const std::string& folder : {clean_dir + "\\sub", busy_dir + "\\sub"}) CreateDirectories(folder);
    for (const std::string& file : {read_only, locked, clean_dir + "\\sub\\ro.txt", busy_dir + "\\sub\\held.txt",
                                    busy_dir + "\\other.txt"})
        ::WriteFile(file, "x");
    SetFileAttributesA(read_only.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((clean_dir + "\\sub\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    KernelHandle held_core = LockFile(locked), held_in_dir = LockFile(busy_dir + "\\sub\\held.txt");
    CHECK(held_core.IsOpen() && held_in_dir.IsOpen());

    ScopedTestKey key(HKEY_LOCAL_MACHINE, "SOFTWARE");
    key.SetString("Doomed\\Deep", "v", "1");
    key.SetString("Kept", "gone", "1");
    key.SetString("Kept", "stays", "1");

    // A process to end: a copy of this test program would end the test, so a sleeper runs.
    const std::string sleeper = "kestrune_sleeper.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + ExeFolder() + sleeper + "\" 30000";
    CHECK(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    KernelHandle process_handle(process.hProcess), thread_handle(process.hThread);

    const std::string shortcut = drive.Path() + "\\gone.lnk";
    CleanupSelection selection;
    selection.processes = {sleeper, "not-running-kestrune.exe"};
    selection.core_files = {read_only, locked, drive.Path() + "\\never-there.dll"};
    selection.component_items = {"HKLM|" + key.Path() + "\\Doomed"};
    selection.registry_items = {"HKLM|" + key.Path() + "\\Kept|gone",
                                "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs|C:\\x.dll"};
    selection.related_dirs = {clean_dir, busy_dir, drive.Path() + "\\NeverThere"};
    selection.shortcuts = {shortcut};
    FillCleanupLists(f.engine, selection);
    f.engine.CleanProcessRun();
    f.engine.CleanCoreFile();
    f.engine.CleanAXCLSID(RegistryView::kDefault);
    f.engine.CleanNewReg(RegistryView::kDefault);
    f.engine.CleanRelatedDir();
    f.engine.CleanShellLink();

    CHECK_EQ(Slots().texts["clean"], (StringList{
                                         "结束运行中进程: " + sleeper,
                                         "结束运行中进程: not-running-kestrune.exe",
                                         "清理核心文件: " + read_only,
                                         "重启后删除: " + locked,
                                         "清理组件注册表: HKLM|" + key.Path() + "\\Doomed",
                                         "清理注册表: HKLM|" + key.Path() + "\\Kept|gone",
                                         "未能清理注册表: HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs|C:\\x.dll",
                                         "清理相关目录: " + clean_dir,
                                         "重启后删除: " + busy_dir,
                                         "清理快捷方式:" + shortcut,
                                     }));
    CHECK(WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0);
    CHECK(!FileExists(read_only) && FileExists(locked));
    CHECK(!key.KeyExists("Doomed") && key.KeyExists("Kept"));
    CHECK(!DirectoryExists(clean_dir));
    CHECK(FileExists(busy_dir + "\\sub\\held.txt") && !FileExists(busy_dir + "\\other.txt"));
    TerminateProcess(process.hProcess, 0);

    // What is held open goes at the next restart: the held file, and the busy folder with what
    // is left in it. An analysis then shows them as pending, and a clean-up passes them over.
    CHECK_EQ(f.engine.Tally.scheduled, 2);
    for (const std::string& path : {locked, busy_dir, busy_dir + "\\sub", busy_dir + "\\sub\\held.txt"}) {
        check::Context row(path);
        CHECK(IsPendingDeletionAtRestart(path));
    }
    CHECK(!IsPendingDeletionAtRestart(read_only));
    CHECK_EQ(ShownFileTrace(SafetyVerdict::Allow(), locked), "<重启后删除> " + locked);
    CHECK_EQ(ShownFileTrace(SafetyVerdict::Refuse("系统文件"), locked), "<系统文件> " + locked);
    Slots().texts["clean"].clear();
    CleanupSelection again;
    again.core_files = {ShownFileTrace(SafetyVerdict::Allow(), locked)};
    FillCleanupLists(f.engine, again);
    f.engine.Tally = TQX::CleanupTally();
    f.engine.CleanCoreFile();
    CHECK_EQ(Slots().texts["clean"], StringList{"已安排重启后删除: " + locked});
    CHECK_EQ(f.engine.Tally.scheduled, 1);
    CHECK_EQ(f.engine.Tally.not_removed, 0);
}

TEST(CleanupSelectionShapesTheWorkLists) {
    EngineFixture f;
    CleanupSelection selection;
    selection.related_dirs = {"C:\\Program Files\\Foo"};
    selection.install_paths = {"c:\\program files\\FOO", "C:\\Other", "C:\\Program Files\\Foo\\", "c:\\other\\."};
    selection.component_items = {"HKLM|SOFTWARE\\Classes\\CLSID\\{1}|foo.dll", "HKLM|SOFTWARE\\Classes\\Interface\\{2}",
                                 "HKLM", "HKLM|a|b|c"};
    selection.driver_files = {"C:\\windows\\system32\\drivers\\foo.sys"};
    selection.shortcuts = {"C:\\users\\x\\Desktop\\Foo.lnk"};
    CleanupSelection stale;
    stale.registry_items = {"stale"};
    FillCleanupLists(f.engine, stale);
    FillCleanupLists(f.engine, selection);
    const TQXWorkLists& lists = f.engine.WorkLists();
    CHECK_EQ(lists.DirList, (StringList{"C:\\Program Files\\Foo", "C:\\Other"}));
    CHECK_EQ(lists.AXCLSIDList,
             (StringList{"HKLM|SOFTWARE\\Classes\\CLSID\\{1}", "HKLM|SOFTWARE\\Classes\\Interface\\{2}"}));
    CHECK(lists.NewRegList.empty());
    CHECK_EQ(lists.SysFileList, selection.driver_files);
    CHECK_EQ(lists.ShellLinkList, selection.shortcuts);
}

// With a backup open, every item is copied just before it goes and the manifest records what
// became of it; without a place for the backup nothing is deleted and the log says why.
TEST(CleanupKeepsACopyOfEveryItemBeforeItGoes) {
    EngineFixture f;
    f.ConnectAllSlots();
    ScratchFolder drive("C:\\", "KestruneEngineBackup");
    const std::string core = drive.Path() + "\\core.dll", dir = drive.Path() + "\\Data";
    CreateDirectories(dir);
    ::WriteFile(core, "core bytes");
    ::WriteFile(dir + "\\settings.ini", "[x]");
    ScopedTestKey key(HKEY_CURRENT_USER, "Software");
    key.SetString("Doomed", "v", "1");
    CleanupSelection selection;
    selection.core_files = {core};
    selection.registry_items = {"HKCU|" + key.Path() + "\\Doomed"};
    selection.related_dirs = {dir};

    f.engine.BackupRoot = drive.Path() + "\\Backups";
    FillCleanupLists(f.engine, selection);
    f.engine.BeginBackup(-1, "SW");
    f.engine.CleanCoreFile();
    f.engine.CleanNewReg(RegistryView::kDefault);
    f.engine.CleanRelatedDir();
    f.engine.EndBackup();
    const std::string backup = f.engine.LastBackupFolder();
    CHECK(!backup.empty() && !FileExists(core) && !DirectoryExists(dir) && !key.KeyExists("Doomed"));
    CHECK_EQ(ReadWholeFileText(backup + "0001.file"), "core bytes");
    CHECK_EQ(ReadWholeFileText(backup + "0003.folder\\settings.ini"), "[x]");
    CHECK_EQ(ReadWholeFileText(backup + "manifest.txt"),
             "file\tdefault\t0001.file\t清理核心文件: " + core + "\t" + core + "\r\n" +
             "key\tdefault\t0002.reg\t清理注册表: HKCU|" + key.Path() + "\\Doomed\tHKEY_CURRENT_USER\\" + key.Path() +
             "\\Doomed\r\n" + "folder\tdefault\t0003.folder\t清理相关目录: " + dir + "\t" + dir + "\r\n");

    // A clean-up never takes Kestrune's own backups, whatever a record names.
    Slots().texts["clean"].clear();
    CleanupSelection backups;
    backups.related_dirs = {backup};
    FillCleanupLists(f.engine, backups);
    f.engine.CleanRelatedDir();
    CHECK_EQ(Slots().texts["clean"], StringList{"已跳过受保护项目: " + backup + " (Kestrune 的备份)"});
    CHECK(DirectoryExists(backup));

    // The backup's place is taken by a file: nothing can be copied, so nothing is deleted.
    ::WriteFile(core, "core bytes");
    ::WriteFile(drive.Path() + "\\NoRoom", "a file");
    f.engine.BackupRoot = drive.Path() + "\\NoRoom";
    Slots().texts["clean"].clear();
    FillCleanupLists(f.engine, selection);
    f.engine.BeginBackup(-1, "SW");
    f.engine.CleanCoreFile();
    f.engine.EndBackup();
    const StringList& lines = Slots().texts["clean"];
    CHECK_EQ(lines.size(), size_t(2));
    if (lines.size() == 2) {
        CHECK(lines[0].rfind("无法创建备份目录, 本次不删除任何文件或注册表项: cannot create the backup folder", 0) == 0);
        CHECK(lines[1].rfind("未能备份, 未清理: " + core + " (cannot create the backup folder", 0) == 0);
    }
    CHECK(FileExists(core));

    // The backup can no longer be written half-way (its drive gone, its folder taken): every item
    // stays, each line says why, and the missing manifest is reported too.
    f.engine.BackupRoot = drive.Path() + "\\Backups";
    Slots().texts["clean"].clear();
    f.engine.BeginBackup(-1, "SW");
    const std::string lost = WithoutTrailingSeparators(f.engine.LastBackupFolder());
    CHECK(DeleteFolderTree(lost));
    ::WriteFile(lost, "not a folder");
    f.engine.CleanCoreFile();
    f.engine.EndBackup();
    const StringList& lost_lines = Slots().texts["clean"];
    CHECK_EQ(lost_lines.size(), size_t(2));
    if (lost_lines.size() == 2) {
        CHECK(lost_lines[0].rfind("未能备份, 未清理: " + core + " (cannot copy " + core + " into the backup", 0) == 0);
        CHECK(lost_lines[1].rfind("未能写入备份清单: ", 0) == 0);
    }
    CHECK(FileExists(core));
}
