// Restoring a clean-up's backup under Wine, with real files and keys: a folder tree, a lone file,
// a key with every value type and a value of another key are backed up and removed in a
// clean-up's order, then put back byte for byte, last removed first. What is there again is left
// as it is, a dry run writes nothing, damaged manifest lines and copies are named, the backup
// itself never changes, and each registry view gets back its own keys only.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "backup_restore.h"
#include "backup_store.h"
#include "check.h"
#include "file_system.h"
#include "item_snapshots.h"
#include "registry_access.h"
#include "registry_export.h"

namespace {

const char kScratch[] = "C:\\kestrune-restore-test";
const char kBackupRoot[] = "C:\\kestrune-restore-backups";
const std::wstring kKey = L"Software\\KestruneRestoreTest";
const std::wstring kOtherKey = L"Software\\KestruneRestoreOther";
const std::string kKeyLocation = "HKEY_CURRENT_USER\\Software\\KestruneRestoreTest";
const std::string kOtherKeyLocation = "HKEY_CURRENT_USER\\Software\\KestruneRestoreOther";

std::string Path(const std::string& sub_path) { return std::string(kScratch) + "\\" + sub_path; }
const std::string kInner = Path("app\\data\\inner.txt"), kApp = Path("app"), kLone = Path("lone.bin");

struct Value {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> Sequence(size_t count) {
    std::vector<BYTE> bytes;
    for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<BYTE>(i * 7));
    return bytes;
}

// Every type regedit has a form for, names and data that need escaping, and data that only the
// hex forms can hold (a string with a zero inside or of odd length, a dword of three bytes).
const std::vector<Value>& KeyValues() {
    static const std::vector<Value> values = {
        {L"", REG_SZ, Utf16(L"默认值")},
        {L"Path \"quoted\" \\ back", REG_SZ, Utf16(L"C:\\Program Files\\\"x\"\\")},
        {L"中文名", REG_SZ, Utf16(L"值")},
        {L"Count", REG_DWORD, {0xcd, 0xab, 0x34, 0x12}},
        {L"Three bytes", REG_DWORD, {1, 2, 3}},
        {L"Blob", REG_BINARY, Sequence(100)},
        {L"Empty", REG_BINARY, {}},
        {L"Expand", REG_EXPAND_SZ, Utf16(L"%SystemRoot%\\x")},
        {L"Multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {L"Big", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {L"None", REG_NONE, {9, 8}},
        {L"Zero inside", REG_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0}},
        {L"Odd size", REG_SZ, {'a', 0, 'b'}},
        {L"Big endian", REG_DWORD_BIG_ENDIAN, {1, 2, 3, 4}},
        {L"Own type", 0x20, {7}},
    };
    return values;
}

void RemoveEverything() {
    DeleteFolderTree(kScratch);
    DeleteFolderTree(kBackupRoot);
    DeleteKeyTree(HKEY_CURRENT_USER, kKey, 0);
    DeleteKeyTree(HKEY_CURRENT_USER, kOtherKey, 0);
}

void PlantEverything() {
    RemoveEverything();
    for (const char* folder : {"app\\sub", "app\\中文目录", "app\\data"}) CreateDirectories(Path(folder));
    WriteBytes(Path("app\\readme.txt"), "read me\r\n");
    WriteBytes(Path("app\\hidden.dat"), std::string("\0\1\2hidden", 9));
    WriteBytes(Path("app\\sub\\设置.ini"), "[选项]\r\n皮肤=蓝\r\n");
    WriteBytes(Path("app\\中文目录\\说明.txt"), "说明");
    WriteBytes(kInner, "removed before its folder");
    WriteBytes(kLone, std::string("\xff\0\x7f lone", 8));
    SetFileAttributesA(Path("app\\readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(Path("app\\hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(kLone.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    for (const Value& value : KeyValues()) SetValue(HKEY_CURRENT_USER, kKey, 0, value.name, value.type, value.data);
    SetValue(HKEY_CURRENT_USER, kKey + L"\\子键", 0, L"n", REG_DWORD, {1, 0, 0, 0});
    SetValue(HKEY_CURRENT_USER, kKey + L"\\子键\\Deeper", 0, L"", REG_SZ, Utf16(L"deep"));
    CreateKey(HKEY_CURRENT_USER, kKey + L"\\Empty child", 0);
    SetValue(HKEY_CURRENT_USER, kKey, 0, L"Late value", REG_SZ, Utf16(L"removed before its key"));
    SetValue(HKEY_CURRENT_USER, kOtherKey, 0, L"Stays", REG_SZ, Utf16(L"stays"));
    SetValue(HKEY_CURRENT_USER, kOtherKey, 0, L"Lone value", REG_BINARY, {1, 2, 3});
}

// Everything a restore must put back, as the tests compare it.
std::vector<std::string> World() {
    std::vector<std::string> lines = DiskSnapshot(kScratch);
    for (const std::string& line : KeySnapshot(HKEY_CURRENT_USER, kKey, 0)) lines.push_back("key " + line);
    for (const std::string& line : KeySnapshot(HKEY_CURRENT_USER, kOtherKey, 0)) lines.push_back("other " + line);
    return lines;
}

// The world without the lines that start with one of the prefixes.
std::vector<std::string> Without(const std::vector<std::string>& lines, const std::vector<std::string>& prefixes) {
    std::vector<std::string> kept;
    for (const std::string& line : lines) {
        bool drop = false;
        for (const std::string& prefix : prefixes) drop = drop || line.compare(0, prefix.size(), prefix) == 0;
        if (!drop) kept.push_back(line);
    }
    return kept;
}

// Backs up and removes what PlantEverything made, in a clean-up's order: the file before its
// folder, the value before its key. Returns the backup's folder; copies are 0001.file (inner),
// 0002.folder (app), 0003.file (lone), 0004.reg (late value), 0005.reg (key), 0006.reg (lone value).
std::string CleanUpEverything() {
    std::string failure;
    std::optional<BackupStore> store = BackupStore::Create(kBackupRoot, "恢复测试", &failure);
    CHECK(store.has_value());
    if (!store) return "";
    const auto removed = [&](int index, bool gone, const std::string& item) {
        CHECK(index >= 0 && gone);
        store->NoteOutcome(index, "清理: " + item);
    };
    int index = store->BackUpFile(kInner, &failure);
    removed(index, DeleteFileAlways(kInner), kInner);
    index = store->BackUpFolder(kApp, &failure);
    removed(index, DeleteFolderTree(kApp), kApp);
    index = store->BackUpFile(kLone, &failure);
    removed(index, DeleteFileAlways(kLone), kLone);
    index = store->BackUpRegistryValue(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\KestruneRestoreTest",
                                       "Late value", RegistryView::kDefault, &failure);
    DeleteValue(HKEY_CURRENT_USER, kKey, 0, L"Late value");
    removed(index, true, "late value");
    index = store->BackUpRegistryKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\KestruneRestoreTest",
                                     RegistryView::kDefault, &failure);
    DeleteKeyTree(HKEY_CURRENT_USER, kKey, 0);
    removed(index, KeySnapshot(HKEY_CURRENT_USER, kKey, 0).empty(), "key");
    index = store->BackUpRegistryValue(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\KestruneRestoreOther",
                                       "Lone value", RegistryView::kDefault, &failure);
    DeleteValue(HKEY_CURRENT_USER, kOtherKey, 0, L"Lone value");
    removed(index, true, "lone value");
    CHECK(store->WriteManifest(&failure));
    return store->Folder();
}

struct Restore {
    std::vector<std::string> lines;
    RestoreCounts counts;
};

Restore RunRestore(const std::string& folder, bool dry_run) {
    Restore restore;
    restore.counts = RestoreBackup(folder, dry_run, [&](const std::string& line) { restore.lines.push_back(line); });
    return restore;
}

void CheckCounts(const RestoreCounts& counts, int restored, int not_restored) {
    CHECK_EQ(counts.restored, restored);
    CHECK_EQ(counts.not_restored, not_restored);
}

}  // namespace

TEST(everything_removed_comes_back_byte_for_byte_and_a_second_restore_writes_over_nothing) {
    PlantEverything();
    const std::vector<std::string> before = World();
    const std::string backup = CleanUpEverything();
    CHECK_EQ(DiskSnapshot(kScratch), std::vector<std::string>{".|16|"});  // the scratch folder, empty
    CHECK(KeySnapshot(HKEY_CURRENT_USER, kKey, 0).empty());
    CHECK_EQ(KeySnapshot(HKEY_CURRENT_USER, kOtherKey, 0).size(), size_t(2));  // the key and Stays
    const std::vector<std::string> backup_before = DiskSnapshot(backup);

    // Last removed first: the key before the value taken from it earlier, the folder before its file.
    const Restore first = RunRestore(backup, false);
    CHECK_EQ(first.lines, (std::vector<std::string>{
                              "已恢复注册表: " + kOtherKeyLocation + "|Lone value",
                              "已恢复注册表: " + kKeyLocation,
                              "已恢复注册表: " + kKeyLocation + "|Late value",
                              "已恢复文件: " + kLone,
                              "已恢复目录: " + kApp,
                              "已恢复文件: " + kInner,
                              "恢复完成: 已恢复 6 项, 未恢复 0 项",
                          }));
    CheckCounts(first.counts, 6, 0);
    CHECK_EQ(World(), before);
    // The comparison above holds the attributes; these say they were there to compare.
    CHECK(GetFileAttributesA(Path("app\\readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    CHECK(GetFileAttributesA(Path("app\\hidden.dat").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    CHECK(GetFileAttributesA(kLone.c_str()) & FILE_ATTRIBUTE_SYSTEM);

    const Restore second = RunRestore(backup, false);
    CHECK_EQ(second.lines, (std::vector<std::string>{
                               "已存在, 未覆盖: " + kOtherKeyLocation + "|Lone value",
                               "已存在, 未覆盖: " + kKeyLocation,
                               "已存在, 未覆盖: " + kKeyLocation + "|Late value",
                               "已存在, 未覆盖: " + kLone,
                               "已存在, 未覆盖: " + kApp,
                               "已存在, 未覆盖: " + kInner,
                               "恢复完成: 已恢复 0 项, 未恢复 6 项",
                           }));
    CheckCounts(second.counts, 0, 6);
    CHECK_EQ(World(), before);
    CHECK_EQ(DiskSnapshot(backup), backup_before);
    RemoveEverything();
}

TEST(what_is_there_again_is_left_as_it_is_and_a_dry_run_changes_nothing) {
    PlantEverything();
    const std::vector<std::string> before = World();
    const std::string backup = CleanUpEverything();
    // Made again since the clean-up: the lone file, the key, and the folder with one of its files.
    WriteBytes(kLone, "new");
    SetValue(HKEY_CURRENT_USER, kKey, 0, L"New", REG_SZ, Utf16(L"new"));
    CreateDirectories(kApp);
    WriteBytes(Path("app\\readme.txt"), "new readme");
    const std::vector<std::string> again = World();

    const Restore dry_run = RunRestore(backup, true);
    CHECK_EQ(dry_run.lines, (std::vector<std::string>{
                                "将恢复: " + kOtherKeyLocation + "|Lone value",
                                "已存在, 将不覆盖: " + kKeyLocation,
                                "将恢复: " + kKeyLocation + "|Late value",
                                "已存在, 将不覆盖: " + kLone,
                                "将恢复: " + kApp,
                                "已存在, 将不覆盖: " + Path("app\\readme.txt"),
                                "将恢复: " + kInner,
                                "预演完成: 将恢复 4 项, 将不覆盖 2 项",
                            }));
    CheckCounts(dry_run.counts, 4, 2);
    CHECK_EQ(World(), again);

    const Restore restore = RunRestore(backup, false);
    CHECK_EQ(restore.lines, (std::vector<std::string>{
                                "已恢复注册表: " + kOtherKeyLocation + "|Lone value",
                                "已存在, 未覆盖: " + kKeyLocation,
                                "已恢复注册表: " + kKeyLocation + "|Late value",
                                "已存在, 未覆盖: " + kLone,
                                "已恢复目录: " + kApp,
                                "已存在, 未覆盖: " + Path("app\\readme.txt"),
                                "已恢复文件: " + kInner,
                                "恢复完成: 已恢复 4 项, 未恢复 2 项",
                            }));
    CheckCounts(restore.counts, 4, 2);
    CHECK_EQ(FileBytes(kLone), "new");
    CHECK_EQ(FileBytes(Path("app\\readme.txt")), "new readme");
    // The key made again keeps its one value and gets back only the value removed on its own.
    const std::vector<std::string> key = KeySnapshot(HKEY_CURRENT_USER, kKey, 0);
    CHECK_EQ(key.size(), size_t(3));
    CHECK(key.size() == 3 && key[1].compare(0, 13, ".|Late value|") == 0 && key[2].compare(0, 6, ".|New|") == 0);
    // Everything else is as it was before the clean-up.
    const std::vector<std::string> kept_apart = {".\\lone.bin", ".\\app\\readme.txt", "key "};
    CHECK_EQ(Without(World(), kept_apart), Without(before, kept_apart));
    RemoveEverything();
}

TEST(damaged_manifest_lines_and_copies_are_named_and_the_rest_comes_back) {
    PlantEverything();
    const std::vector<std::string> before = World();
    const std::string backup = CleanUpEverything();
    std::string failure;
    // The key's copy damaged on its sixth line, the lone value's copy naming another value, the
    // lone file's copy gone, and two damaged lines after the six good ones.
    DeleteFileAlways(backup + "0005.reg");
    CHECK(WriteRegFile(backup + "0005.reg", RegistryView::kDefault,
                       L"[HKEY_CURRENT_USER\\Software\\KestruneRestoreTest]\r\n\"Count\"=dword:xyz\r\n", &failure));
    DeleteFileAlways(backup + "0006.reg");
    CHECK(WriteRegFile(backup + "0006.reg", RegistryView::kDefault,
                       L"[HKEY_CURRENT_USER\\Software\\KestruneRestoreOther]\r\n\"Elsewhere\"=dword:1\r\n", &failure));
    DeleteFileAlways(backup + "0003.file");
    std::string manifest = FileBytes(backup + "manifest.txt");
    WriteBytes(backup + "manifest.txt",
               manifest + "file\tdefault\t0001.file\tremoved\r\nfile\tdefault\t..\\0001.file\tremoved\t" + kLone + "\r\n");
    manifest = FileBytes(backup + "manifest.txt");

    const Restore restore = RunRestore(backup, false);
    CHECK_EQ(restore.lines,
             (std::vector<std::string>{
                 "未能恢复: manifest.txt 第 8 行 (\"..\\0001.file\" is not the name of a file's copy)",
                 "未能恢复: manifest.txt 第 7 行 (4 fields, not KIND, VIEW, STORED, OUTCOME and LOCATION)",
                 "未能恢复: " + kOtherKeyLocation + "|Lone value (0006.reg: the copy holds " + kOtherKeyLocation +
                     "|Elsewhere, not " + kOtherKeyLocation + "|Lone value)",
                 "未能恢复: " + kKeyLocation + " (0005.reg: line 6: dword: needs one to eight hex digits)",
                 "已恢复注册表: " + kKeyLocation + "|Late value",
                 "未能恢复: " + kLone + " (the backup has no 0003.file)",
                 "已恢复目录: " + kApp,
                 "已恢复文件: " + kInner,
                 "恢复完成: 已恢复 3 项, 未恢复 5 项",
             }));
    CheckCounts(restore.counts, 3, 5);
    // Nothing of a damaged copy is written: the key holds only the value restored on its own.
    const std::vector<std::string> key = KeySnapshot(HKEY_CURRENT_USER, kKey, 0);
    CHECK(key.size() == 2 && key[1].compare(0, 13, ".|Late value|") == 0);
    CHECK_EQ(KeySnapshot(HKEY_CURRENT_USER, kOtherKey, 0).size(), size_t(2));  // the key and Stays
    CHECK_EQ(Without(World(), {".\\lone.bin", "key ", "other "}), Without(before, {".\\lone.bin", "key ", "other "}));
    CHECK_EQ(FileBytes(backup + "manifest.txt"), manifest);

    // A backup without a readable manifest restores nothing and says why.
    const Restore empty = RunRestore(std::string(kBackupRoot) + "\\no such backup", false);
    CHECK_EQ(empty.lines.size(), size_t(2));
    CHECK(empty.lines[0].find("未能恢复: " + std::string(kBackupRoot) + "\\no such backup (cannot read ") == 0);
    CHECK_EQ(empty.lines[1], "恢复完成: 已恢复 0 项, 未恢复 1 项");
    RemoveEverything();
}

namespace {

// The view Windows keeps apart from the one a backup's view opens, under HKLM\SOFTWARE. A 64-bit
// program sees the 64-bit view in both, apart from the 32-bit one; a 32-bit program on 64-bit
// Windows has one in each. 0 on 32-bit Windows, which has one view.
REGSAM SeparateViewFlag(RegistryView view) {
#ifdef _WIN64
    (void)view;
    return KEY_WOW64_32KEY;
#else
    BOOL wow64 = FALSE;
    if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) return 0;
    return view == RegistryView::k64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
#endif
}

}  // namespace

TEST(registry_items_come_back_in_their_own_view_only) {
    const std::wstring key = L"SOFTWARE\\KestruneRestoreViews";
    const std::string location = "HKEY_LOCAL_MACHINE\\SOFTWARE\\KestruneRestoreViews";
    for (const RegistryView view : {RegistryView::kDefault, RegistryView::k64Bit}) {
        CONTEXT(view == RegistryView::k64Bit ? "64-bit view" : "default view");
        const REGSAM own = ViewAccess(0, view), other = SeparateViewFlag(view);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, key, own);
        if (other) DeleteKeyTree(HKEY_LOCAL_MACHINE, key, other);
        SetValue(HKEY_LOCAL_MACHINE, key, own, L"Where", REG_SZ, Utf16(L"own view"));
        SetValue(HKEY_LOCAL_MACHINE, key + L"\\Child", own, L"n", REG_DWORD, {1, 0, 0, 0});
        SetValue(HKEY_LOCAL_MACHINE, key, own, L"Single", REG_BINARY, {5});
        // A key of the same name in the other view must neither hide that the own one is gone nor change.
        if (other) SetValue(HKEY_LOCAL_MACHINE, key, other, L"Where", REG_SZ, Utf16(L"other view"));
        const std::vector<std::string> own_before = KeySnapshot(HKEY_LOCAL_MACHINE, key, own);
        const std::vector<std::string> other_before = KeySnapshot(HKEY_LOCAL_MACHINE, key, other);

        DeleteFolderTree(kBackupRoot);
        std::string failure;
        std::optional<BackupStore> store = BackupStore::Create(kBackupRoot, "views", &failure);
        CHECK(store.has_value());
        if (!store) return;
        CHECK(store->BackUpRegistryValue(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "SOFTWARE\\KestruneRestoreViews",
                                         "Single", view, &failure) >= 0);
        DeleteValue(HKEY_LOCAL_MACHINE, key, own, L"Single");
        CHECK(store->BackUpRegistryKey(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "SOFTWARE\\KestruneRestoreViews", view,
                                       &failure) >= 0);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, key, own);
        CHECK(store->WriteManifest(&failure));
        CHECK(KeySnapshot(HKEY_LOCAL_MACHINE, key, own).empty());

        const Restore restore = RunRestore(store->Folder(), false);
        CHECK_EQ(restore.lines, (std::vector<std::string>{
                                    "已恢复注册表: " + location,
                                    "已恢复注册表: " + location + "|Single",
                                    "恢复完成: 已恢复 2 项, 未恢复 0 项",
                                }));
        CHECK_EQ(KeySnapshot(HKEY_LOCAL_MACHINE, key, own), own_before);
        if (other) CHECK_EQ(KeySnapshot(HKEY_LOCAL_MACHINE, key, other), other_before);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, key, own);
        if (other) DeleteKeyTree(HKEY_LOCAL_MACHINE, key, other);
    }
    DeleteFolderTree(kBackupRoot);
}
