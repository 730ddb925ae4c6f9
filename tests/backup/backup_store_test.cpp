// A clean-up's backup folder under Wine: copies of files and folder trees with their bytes and
// attributes, registry exports, the manifest, the failures that must keep an item, and pruning.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "backup_store.h"
#include "check.h"

namespace {

const char kRoot[] = "C:\\kestrune-backup-store";

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A scratch tree: root\program\ with a file, a hidden file and a subfolder.
std::string FreshProgramFolder() {
    const std::string program = std::string(kRoot) + "-source";
    CreateDirectoryA(program.c_str(), nullptr);
    CreateDirectoryA((program + "\\sub").c_str(), nullptr);
    WriteBytes(program + "\\main.exe", "program bytes");
    WriteBytes(program + "\\sub\\settings.ini", "[x]\r\ny=1\r\n");
    WriteBytes(program + "\\hidden.dat", "hidden bytes");
    SetFileAttributesA((program + "\\hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    return program;
}

void RemoveTree(const std::string& path) {
    std::string from = path + '\0';
    SHFILEOPSTRUCTA operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

std::vector<std::string> FolderNames(const std::string& root) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((root + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != ".." && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

}  // namespace

TEST(files_folders_and_registry_items_are_copied_and_listed_in_the_manifest) {
    RemoveTree(kRoot);
    const std::string program = FreshProgramFolder();
    std::string failure;
    std::optional<BackupStore> store = BackupStore::Create(kRoot, "Quillmoss: 图片助手 億乗", &failure);
    CHECK(store.has_value());
    if (!store) return;
    const std::vector<std::string> folders = FolderNames(kRoot);
    CHECK_EQ(folders.size(), size_t(1));
    // "yyyy-mm-dd hh-mm-ss NAME", the name without the characters a folder cannot hold; a
    // double-byte character whose trail byte is "|" or "\" stays whole.
    if (!folders.empty()) CHECK_EQ(folders[0].substr(19), " Quillmoss_ 图片助手 億乗");

    CHECK_EQ(store->BackUpFile(program + "\\hidden.dat", &failure), 0);
    CHECK_EQ(FileBytes(store->Folder() + "0001.file"), "hidden bytes");
    CHECK(GetFileAttributesA((store->Folder() + "0001.file").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    CHECK_EQ(store->BackUpFolder(program, &failure), 1);
    CHECK_EQ(FileBytes(store->Folder() + "0002.folder\\sub\\settings.ini"), "[x]\r\ny=1\r\n");
    CHECK(GetFileAttributesA((store->Folder() + "0002.folder\\hidden.dat").c_str()) & FILE_ATTRIBUTE_HIDDEN);

    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\KestruneBackupStoreTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, "Skin", 0, REG_SZ, reinterpret_cast<const BYTE*>("blue"), 5);
    RegCloseKey(key);
    CHECK_EQ(store->BackUpRegistryKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\KestruneBackupStoreTest",
                                      RegistryView::kDefault, &failure),
             2);
    CHECK_EQ(store->BackUpRegistryValue(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\KestruneBackupStoreTest",
                                        "Skin", RegistryView::k64Bit, &failure),
             3);
    CHECK(FileBytes(store->Folder() + "0003.reg").compare(0, 2, "\xFF\xFE") == 0);
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\KestruneBackupStoreTest");

    store->NoteOutcome(0, "removed");
    store->NoteOutcome(1, "not removed: in use");
    CHECK(store->WriteManifest(&failure));
    CHECK_EQ(FileBytes(store->Folder() + "manifest.txt"),
             "file\tdefault\t0001.file\tremoved\t" + program + "\\hidden.dat\r\n"
             "folder\tdefault\t0002.folder\tnot removed: in use\t" + program + "\r\n"
             "key\tdefault\t0003.reg\tbacked up\tHKEY_CURRENT_USER\\Software\\KestruneBackupStoreTest\r\n"
             "value\t64-bit\t0004.reg\tbacked up\tHKEY_CURRENT_USER\\Software\\KestruneBackupStoreTest|Skin\r\n");
    RemoveTree(program);
}

TEST(an_item_whose_backup_fails_is_not_listed_and_the_reason_is_given) {
    RemoveTree(kRoot);
    std::string failure;
    std::optional<BackupStore> store = BackupStore::Create(kRoot, "program", &failure);
    CHECK(store.has_value());
    if (!store) return;
    const struct {
        const char* name;
        int index;
        const char* reason;
    } cases[] = {
        {"missing file", store->BackUpFile(std::string(kRoot) + "\\absent.exe", &failure), "cannot copy"},
        {"missing folder", store->BackUpFolder(std::string(kRoot) + "\\absent", &failure), "cannot"},
        {"missing key",
         store->BackUpRegistryKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\KestruneNoSuchKey",
                                  RegistryView::kDefault, &failure),
         "cannot read the key"},
    };
    for (const auto& row : cases) {
        CONTEXT(row.name);
        CHECK_EQ(row.index, -1);
    }
    CHECK(store->Entries().empty());
    CHECK(failure.find("cannot read the key") == 0);

    // A backup root that cannot hold folders (a file stands in its place): no store at all.
    WriteBytes(std::string(kRoot) + "\\blocked", "a file");
    CHECK(!BackupStore::Create(std::string(kRoot) + "\\blocked", "program", &failure).has_value());
    CHECK(failure.find("cannot create the backup folder") == 0);
}

TEST(pruning_keeps_the_newest_within_count_and_size) {
    RemoveTree(kRoot);
    CreateDirectoryA(kRoot, nullptr);
    const char* names[] = {"2026-01-01 10-00-00 a", "2026-02-01 10-00-00 b", "2026-03-01 10-00-00 c",
                           "2026-04-01 10-00-00 d"};
    for (const char* name : names) {
        const std::string folder = std::string(kRoot) + "\\" + name;
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteBytes(folder + "\\0001.file", std::string(1000, 'x'));
    }
    CHECK_EQ(PruneBackups(kRoot, 3, 1ull << 30).size(), size_t(1));
    CHECK_EQ(FolderNames(kRoot), (std::vector<std::string>{names[1], names[2], names[3]}));
    // 1,500 bytes allow the newest and nothing more; the newest stays even when it alone is larger.
    CHECK_EQ(PruneBackups(kRoot, 10, 1500).size(), size_t(2));
    CHECK_EQ(FolderNames(kRoot), std::vector<std::string>{names[3]});
    CHECK(PruneBackups(kRoot, 10, 10).empty());
    CHECK_EQ(FolderNames(kRoot), std::vector<std::string>{names[3]});
    RemoveTree(kRoot);
}
