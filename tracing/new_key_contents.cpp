#include "new_key_contents.h"

#include "command_path.h"
#include "path_order.h"
#include "protected_names.h"
#include "record_spelling.h"
#include "snapshot_diff.h"
#include "text_rules.h"
#include "trace_noise_filter.h"

namespace {

// "...\CLSID\{guid}\InprocServer32" or LocalServer32: the class key, and its CLSID.
bool IsClassServerKey(const std::string& key, std::string& class_key, std::string& clsid) {
    const std::string server = UpperCased(LastPathName(key));
    if (server != "INPROCSERVER32" && server != "LOCALSERVER32") return false;
    class_key = ParentPath(key);
    clsid = LastPathName(class_key);
    return clsid.size() > 2 && clsid.front() == '{' && clsid.back() == '}' &&
           UpperCased(LastPathName(ParentPath(class_key))) == "CLSID";
}

bool InAddedKey(const std::string& key, const TracedChanges& changes) {
    for (const std::string& added : changes.added_keys)
        if (IsSameOrBelow(key, added)) return true;
    return false;
}

bool IsProtectedKey(const std::string& traced_key) {
    const std::string key = RegistryRecordKey(traced_key);
    const std::size_t bar = key.find('|');
    return bar != std::string::npos && IsProtectedRegistryKey(key.substr(0, bar), key.substr(bar + 1));
}

// The position of a key in the snapshot's sorted list; the list's size when it is not there.
std::size_t KeyIndex(const MachineSnapshot& snapshot, const std::string& key) {
    const SnapshotKey* found = snapshot.FindKey(key);
    return found ? static_cast<std::size_t>(found - snapshot.keys.data()) : snapshot.keys.size();
}

class ProtectedKeyOpener {
public:
    ProtectedKeyOpener(const MachineSnapshot& after, TracedChanges& changes)
        : after_(after), changes_(changes), filter_(after.windows_folder) {}

    // The key's place in the added keys goes to its contents.
    void Open(const std::string& key, std::vector<std::string>& keys) {
        const std::size_t at = KeyIndex(after_, key);
        if (at == after_.keys.size()) return;
        const SnapshotKey& snapshot_key = after_.keys[at];
        for (std::uint32_t i = 0; i < snapshot_key.value_count; ++i) {
            const SnapshotValue& value = after_.values[snapshot_key.first_value + i];
            const std::string name(after_.Text(value.name));
            const std::string reason = filter_.ValueReason(key, name);
            if (!reason.empty()) {
                changes_.filtered.push_back(reason + ": " + key + "|" + name);
                continue;
            }
            changes_.values.push_back(
                {key, name, value.type, RegistryDataText(value.type, std::string(after_.Text(value.data))), false});
        }
        for (std::size_t i = at + 1; i < after_.keys.size(); ++i) {
            const std::string child(after_.Text(after_.keys[i].path));
            if (!IsSameOrBelow(child, key)) break;
            if (LastPathSeparator(child) != key.size()) continue;  // deeper: goes with its parent
            const std::string reason = filter_.KeyReason(child);
            if (!reason.empty())
                changes_.filtered.push_back(reason + ": " + child);
            else if (IsProtectedKey(child))
                Open(child, keys);
            else
                keys.push_back(child);
        }
    }

private:
    const MachineSnapshot& after_;
    TracedChanges& changes_;
    TraceNoiseFilter filter_;
};

}  // namespace

std::vector<TracedComClass> TracedComClasses(const MachineSnapshot& after, const TracedChanges& changes) {
    std::vector<TracedComClass> classes;
    std::string class_key, clsid;
    for (const SnapshotKey& key : after.keys) {
        const std::string path(after.Text(key.path));
        if (!IsClassServerKey(path, class_key, clsid) || !InAddedKey(path, changes)) continue;
        const std::string module = CommandFilePath(after.StringValue(key, ""));
        if (!module.empty()) classes.push_back({clsid, class_key, module, false});
    }
    for (const TracedValue& value : changes.values) {
        if (!value.name.empty() || !IsClassServerKey(value.key, class_key, clsid)) continue;
        const std::string module = CommandFilePath(value.data);
        if (!module.empty()) classes.push_back({clsid, class_key, module, true});
    }
    return classes;
}

void OpenUpProtectedKeys(const MachineSnapshot& after, TracedChanges& changes) {
    ProtectedKeyOpener opener(after, changes);
    std::vector<std::string> keys;
    for (const std::string& key : changes.added_keys) {
        if (IsProtectedKey(key))
            opener.Open(key, keys);
        else
            keys.push_back(key);
    }
    changes.added_keys = keys;
}
