// The clean-up's side of the backups: one backup folder per clean-up, a copy of every item just
// before it is deleted, each item's outcome in the manifest, and old backups pruned at the end.
#pragma once

#include <optional>
#include <string>

#include "backup_store.h"
#include "removal.h"

// The newest backups kept, and their size beyond the newest one.
constexpr size_t kBackupsKept = 20;
constexpr unsigned long long kBackupBytesKept = 2ull << 30;

class CleanupBackup : public RemovalBackup {
public:
    // Opens root\<date-time> <program>\; when it cannot, Failure() says why and every item is
    // refused a backup, so nothing is deleted.
    CleanupBackup(const std::string& root, const std::string& program);

    bool BackUpFile(const std::string& path, std::string* failure) override;
    bool BackUpFolder(const std::string& path, std::string* failure) override;
    bool BackUpRegistryItem(const std::string& item, RegistryView view, std::string* failure) override;

    // The line the log shows for the item just handled, kept in the manifest as its outcome.
    void NoteOutcome(const std::string& outcome);
    // Writes the manifest and prunes older backups; false with the reason when the manifest
    // cannot be written.
    bool Finish(std::string* failure);

    const std::string& Failure() const { return failure_; }
    std::string Folder() const { return store_ ? store_->Folder() : ""; }

private:
    bool Kept(int index, std::string* failure);

    std::string root_;
    std::optional<BackupStore> store_;
    std::string failure_;
    int last_index_ = -1;
};
