#include "console_backups.h"

#include "backup_catalogue.h"

void ListConsoleBackups(const std::string& root, const ConsolePrint& print) {
    const std::vector<BackupSummary> backups = ListBackups(root);
    if (backups.empty()) print("没有备份");
    for (const BackupSummary& backup : backups) {
        const std::string items = backup.item_count < 0 ? "?" : std::to_string(backup.item_count);
        print(backup.id + "\t" + items + "\t" + backup.program);
    }
}

bool RestoreConsoleBackup(const std::string& root, const std::string& id, bool dry_run, const ConsolePrint& print,
                          RestoreCounts& counts, std::string& error) {
    const std::string folder = FindBackupFolder(root, id, &error);
    if (folder.empty()) return false;
    counts = RestoreBackup(folder, dry_run, print);
    return true;
}
