#include "machine_snapshot.h"

#include <algorithm>

#include "machine_views.h"
#include "path_order.h"
#include "snapshot_walks.h"

namespace {

// The first entry not before key, by path, in a sorted vector.
template <typename Entry, typename PathOf>
const Entry* FindSorted(const std::vector<Entry>& entries, std::string_view key, PathOf path_of) {
    const auto found = std::lower_bound(entries.begin(), entries.end(), key, [&](const Entry& entry, std::string_view k) {
        return ComparePaths(path_of(entry), k) < 0;
    });
    return found != entries.end() && SamePath(path_of(*found), key) ? &*found : nullptr;
}

void SortSnapshot(MachineSnapshot& snapshot) {
    const auto by_path = [&snapshot](const auto& a, const auto& b) {
        return ComparePaths(snapshot.Text(a.path), snapshot.Text(b.path)) < 0;
    };
    std::sort(snapshot.files.begin(), snapshot.files.end(), by_path);
    std::sort(snapshot.keys.begin(), snapshot.keys.end(), by_path);
    for (const SnapshotKey& key : snapshot.keys) {
        const auto first = snapshot.values.begin() + key.first_value;
        std::sort(first, first + key.value_count, [&snapshot](const SnapshotValue& a, const SnapshotValue& b) {
            return ComparePaths(snapshot.Text(a.name), snapshot.Text(b.name)) < 0;
        });
    }
    std::sort(snapshot.services.begin(), snapshot.services.end(),
              [](const ServiceEntry& a, const ServiceEntry& b) { return ComparePaths(a.name, b.name) < 0; });
}

}  // namespace

TextRef TextPool::Add(std::string_view text) {
    TextRef reference;
    reference.offset = static_cast<std::uint32_t>(bytes_.size());
    reference.length = static_cast<std::uint32_t>(text.size());
    bytes_.append(text.data(), text.size());
    return reference;
}

const SnapshotFile* MachineSnapshot::FindFile(std::string_view path) const {
    return FindSorted(files, path, [this](const SnapshotFile& file) { return Text(file.path); });
}

const SnapshotKey* MachineSnapshot::FindKey(std::string_view key) const {
    return FindSorted(keys, key, [this](const SnapshotKey& entry) { return Text(entry.path); });
}

const SnapshotValue* MachineSnapshot::FindValue(const SnapshotKey& key, std::string_view name) const {
    const auto first = values.begin() + key.first_value, last = first + key.value_count;
    const auto found = std::lower_bound(first, last, name, [this](const SnapshotValue& value, std::string_view n) {
        return ComparePaths(Text(value.name), n) < 0;
    });
    return found != last && SamePath(Text(found->name), name) ? &*found : nullptr;
}

const ServiceEntry* MachineSnapshot::FindService(std::string_view name) const {
    return FindSorted(services, name, [](const ServiceEntry& service) { return std::string_view(service.name); });
}

std::string MachineSnapshot::StringValue(const SnapshotKey& key, std::string_view name) const {
    const SnapshotValue* value = FindValue(key, name);
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::string();
    const std::string_view data = Text(value->data);
    return std::string(data.substr(0, data.find('\0')));
}

MachineSnapshot TakeMachineSnapshot(SnapshotProgress progress) {
    MachineSnapshot snapshot;
    snapshot.windows_folder = MachineWindowsFolder();
    // The Windows folder's drive only: under Wine every other drive may be the Linux file system.
    if (snapshot.windows_folder.size() >= 3 && snapshot.windows_folder[1] == ':')
        AddDriveFiles(snapshot, snapshot.windows_folder.substr(0, 3), progress);
    AddRegistryKeys(snapshot, progress);
    if (progress) progress("services");
    snapshot.services = ListServices(&snapshot.services_failure);
    SortSnapshot(snapshot);
    return snapshot;
}
