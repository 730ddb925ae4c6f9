#include "cleanup_backup.h"

#include "registry_access.h"
#include "registry_item.h"

namespace {

// Whether the key, or the value of it, is there to be copied.
bool RegistryItemPresent(const RegistryItem& item, RegistryView view) {
    RegistryKey key;
    if (key.Open(item.root, item.key_path.c_str(), QueryAccessMask(view)) != ERROR_SUCCESS) return false;
    return !item.names_value || HasValue(key, item.value_name);
}

}  // namespace

CleanupBackup::CleanupBackup(const std::string& root, const std::string& program) : root_(root) {
    store_ = BackupStore::Create(root, program, &failure_);
}

bool CleanupBackup::Kept(int index, std::string* failure) {
    last_index_ = index;
    return index >= 0 || (failure && failure->empty() && (*failure = "no copy was made", false));
}

bool CleanupBackup::BackUpFile(const std::string& path, std::string* failure) {
    if (!store_) return failure && (*failure = failure_, false);
    return Kept(store_->BackUpFile(path, failure), failure);
}

bool CleanupBackup::BackUpFolder(const std::string& path, std::string* failure) {
    if (!store_) return failure && (*failure = failure_, false);
    return Kept(store_->BackUpFolder(path, failure), failure);
}

bool CleanupBackup::BackUpRegistryItem(const std::string& text, RegistryView view, std::string* failure) {
    RegistryItem item;
    if (!ParseRegistryItem(text, item) || !RegistryItemPresent(item, view)) return true;  // nothing to copy
    if (!store_) return failure && (*failure = failure_, false);
    const RegistryRoot* root = FindRegistryRoot(item.root_text);
    if (!root) return true;
    const int index = item.names_value ? store_->BackUpRegistryValue(item.root, root->editor_name, item.key_path,
                                                                      item.value_name, view, failure)
                                       : store_->BackUpRegistryKey(item.root, root->editor_name, item.key_path, view,
                                                                   failure);
    return Kept(index, failure);
}

void CleanupBackup::NoteOutcome(const std::string& outcome) {
    if (store_ && last_index_ >= 0) store_->NoteOutcome(last_index_, outcome);
    last_index_ = -1;
}

bool CleanupBackup::Finish(std::string* failure) {
    if (!store_) return true;
    const bool written = store_->WriteManifest(failure);
    PruneBackups(root_, kBackupsKept, kBackupBytesKept);
    return written;
}
