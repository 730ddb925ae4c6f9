// The catalogue of backups under Wine: the listing, newest first, with what each folder's name
// and manifest say; IDs that could lead out of the backups folder; and manifest lines, each
// damaged one named by its number and none dropped.
#include <windows.h>

#include <string>
#include <vector>

#include "backup_catalogue.h"
#include "check.h"
#include "file_system.h"
#include "item_snapshots.h"

namespace {

const char kRoot[] = "C:\\kestrune-backup-catalogue";

std::string Plant(const std::string& name, const char* manifest) {
    const std::string folder = std::string(kRoot) + "\\" + name;
    CreateDirectories(folder);
    if (manifest) WriteBytes(folder + "\\manifest.txt", manifest);
    return folder;
}

}  // namespace

TEST(backups_are_listed_newest_first_with_their_name_items_and_size) {
    DeleteFolderTree(kRoot);
    const std::string line = "file\tdefault\t0001.file\tremoved\tC:\\x\r\n";
    Plant("2026-01-01 10-00-00 Alpha", (line + line).c_str());
    WriteBytes(std::string(kRoot) + "\\2026-01-01 10-00-00 Alpha\\0001.file", "0123456789");
    Plant("2026-03-01 09-30-00 图片助手", line.c_str());
    Plant("2026-03-01 09-30-00 图片助手 (2)", nullptr);
    Plant("not a backup", line.c_str());
    Plant("2026-03-01 09-30-00x", line.c_str());
    WriteBytes(std::string(kRoot) + "\\2026-05-05 10-00-00 a file", "x");

    const std::vector<BackupSummary> backups = ListBackups(kRoot);
    CHECK_EQ(backups.size(), size_t(3));
    if (backups.size() != 3) return;
    const struct {
        const char* id;
        const char* date_time;
        const char* program;
        int items;
        unsigned long long bytes;
    } expected[] = {
        {"2026-03-01 09-30-00 图片助手 (2)", "2026-03-01 09:30:00", "图片助手 (2)", -1, 0},
        {"2026-03-01 09-30-00 图片助手", "2026-03-01 09:30:00", "图片助手", 1, line.size()},
        {"2026-01-01 10-00-00 Alpha", "2026-01-01 10:00:00", "Alpha", 2, 2 * line.size() + 10},
    };
    for (size_t i = 0; i < 3; ++i) {
        CONTEXT(expected[i].id);
        CHECK_EQ(backups[i].id, expected[i].id);
        CHECK_EQ(backups[i].date_time, expected[i].date_time);
        CHECK_EQ(backups[i].program, expected[i].program);
        CHECK_EQ(backups[i].item_count, expected[i].items);
        CHECK_EQ(backups[i].total_bytes, expected[i].bytes);
    }
    CHECK(ListBackups(std::string(kRoot) + "\\absent").empty());
}

TEST(an_id_is_a_folder_name_below_the_root_and_nothing_else) {
    DeleteFolderTree(kRoot);
    Plant("2026-01-01 10-00-00 Alpha", "");
    Plant("inner", "");
    WriteBytes(std::string(kRoot) + "\\a file", "x");
    std::string failure;
    CHECK_EQ(FindBackupFolder(kRoot, "2026-01-01 10-00-00 Alpha", &failure),
             std::string(kRoot) + "\\2026-01-01 10-00-00 Alpha\\");
    const struct {
        const char* id;
        const char* failure;
    } refused[] = {
        {"", "\"\" is not a backup ID"},
        {"..", "\"..\" is not a backup ID"},
        {"..\\kestrune-backup-catalogue", "is not a backup ID"},
        {"inner\\..\\inner", "is not a backup ID"},
        {"inner/x", "is not a backup ID"},
        {"C:inner", "is not a backup ID"},
        {"C:\\kestrune-backup-catalogue\\inner", "is not a backup ID"},
        {"2026-01-01 10-00-00 Beta", "no backup 2026-01-01 10-00-00 Beta in C:\\kestrune-backup-catalogue"},
        {"a file", "no backup a file in"},
    };
    for (const auto& row : refused) {
        CONTEXT(row.id);
        failure.clear();
        CHECK_EQ(FindBackupFolder(kRoot, row.id, &failure), "");
        CHECK(failure.find(row.failure) != std::string::npos);
    }
    DeleteFolderTree(kRoot);
}

TEST(a_manifest_line_is_read_or_its_fault_is_named) {
    BackupEntry entry;
    std::string fault;
    CHECK(ParseManifestLine("key\t64-bit\t0012.reg\t清理注册表: x\tHKEY_LOCAL_MACHINE\\SOFTWARE\\X", entry, &fault));
    CHECK_EQ(entry.kind, BackupKind::kRegistryKey);
    CHECK_EQ(entry.view, RegistryView::k64Bit);
    CHECK_EQ(entry.stored, "0012.reg");
    CHECK_EQ(entry.outcome, "清理注册表: x");
    CHECK_EQ(entry.location, "HKEY_LOCAL_MACHINE\\SOFTWARE\\X");
    // The default value has an empty name after the bar.
    CHECK(ParseManifestLine("value\tdefault\t0001.reg\t\tHKEY_CURRENT_USER\\Software\\X|", entry, &fault));
    CHECK_EQ(entry.location, "HKEY_CURRENT_USER\\Software\\X|");

    const struct {
        std::string line;
        const char* fault;
    } damaged[] = {
        {"", "1 fields, not KIND, VIEW, STORED, OUTCOME and LOCATION"},
        {"file\tdefault\t0001.file\tremoved", "4 fields, not KIND, VIEW, STORED, OUTCOME and LOCATION"},
        {"disk\tdefault\t0001.file\tremoved\tC:\\x", "unknown kind \"disk\""},
        {"key\t16-bit\t0001.reg\tremoved\tHKEY_CURRENT_USER\\X", "unknown view \"16-bit\""},
        {"file\tdefault\t0001.reg\tremoved\tC:\\x", "\"0001.reg\" is not the name of a file's copy"},
        {"folder\tdefault\t..\\0001.folder\tremoved\tC:\\x", "\"..\\0001.folder\" is not the name of a folder's copy"},
        {"file\tdefault\t.file\tremoved\tC:\\x", "\".file\" is not the name of a file's copy"},
        {"folder\tdefault\t0001.folder\tremoved\tapp\\sub", "\"app\\sub\" is not a full path"},
        {"file\tdefault\t0001.file\tremoved\t", "\"\" is not a full path"},
        {"key\tdefault\t0001.reg\tremoved\tHKEY_CURRENT_USER", "\"HKEY_CURRENT_USER\" is not ROOT\\key"},
        {"value\tdefault\t0001.reg\tremoved\tHKEY_CURRENT_USER\\X", "the value's location \"HKEY_CURRENT_USER\\X\" has no"},
        // The bar inside a double-byte character (lead 0x81, trail 0x7C) is no separator.
        {"value\tdefault\t0001.reg\tremoved\tHKEY_CURRENT_USER\\X\x81|", "the value's location"},
    };
    for (const auto& row : damaged) {
        CONTEXT(row.line);
        fault.clear();
        CHECK(!ParseManifestLine(row.line, entry, &fault));
        CHECK_EQ(fault.substr(0, std::string(row.fault).size()), std::string(row.fault));
    }
}

TEST(every_manifest_line_is_kept_in_order_with_its_number) {
    DeleteFolderTree(kRoot);
    const std::string folder =
        Plant("2026-01-01 10-00-00 Alpha",
              "file\tdefault\t0001.file\tremoved\tC:\\a\r\n\r\nfile\tdefault\t0002.file\tremoved\tC:\\b\nbroken");
    std::vector<ManifestLine> lines;
    std::string failure;
    CHECK(ReadManifest(folder, lines, &failure));
    CHECK_EQ(lines.size(), size_t(4));
    if (lines.size() != 4) return;
    for (int i = 0; i < 4; ++i) CHECK_EQ(lines[i].number, i + 1);
    CHECK(lines[0].fault.empty() && lines[0].entry.location == "C:\\a");
    CHECK(!lines[1].fault.empty());
    CHECK(lines[2].fault.empty() && lines[2].entry.location == "C:\\b");
    CHECK_EQ(lines[3].fault, "1 fields, not KIND, VIEW, STORED, OUTCOME and LOCATION");

    CHECK(!ReadManifest(std::string(kRoot) + "\\absent", lines, &failure));
    CHECK(failure.find("cannot read " + std::string(kRoot) + "\\absent\\manifest.txt (error ") == 0);
    DeleteFolderTree(kRoot);
}
