#include "snapshot_diff.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>

#include "path_order.h"
#include "shell_link.h"
#include "text_rules.h"
#include "trace_noise_filter.h"

namespace {

constexpr char kIgnoredReason[] = "tracer's own file";
constexpr char kUninstallKeyName[] = "MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL";

// COM for the shell-link reader, for the diff's duration, unless the thread has it already.
class ComForThisThread {
public:
    ComForThisThread() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComForThisThread() {
        if (initialised_) CoUninitialize();
    }
    ComForThisThread(const ComForThisThread&) = delete;
    ComForThisThread& operator=(const ComForThisThread&) = delete;

private:
    bool initialised_;
};

std::string Text(std::string_view text) { return std::string(text); }

std::string ParentOf(std::string_view path) {
    const std::size_t separator = LastPathSeparator(path);
    return separator == std::string_view::npos ? std::string() : std::string(path.substr(0, separator));
}

bool EndsWithName(std::string_view path, const char* extension) {
    const std::string tail = UpperCased(Text(path.substr(path.size() > 4 ? path.size() - 4 : 0)));
    return tail == extension;
}

std::uint64_t LittleEndian(const std::string& data) {
    std::uint64_t number = 0;
    for (std::size_t i = data.size(); i-- > 0;) number = (number << 8) | static_cast<unsigned char>(data[i]);
    return number;
}

// A key directly below an Uninstall key, "...\Microsoft\Windows\CurrentVersion\Uninstall\NAME",
// in HKLM's SOFTWARE (either half) or a user hive's Software.
bool IsUninstallRegistration(const std::string& key) {
    const std::string parent = UpperCased(ParentOf(key));
    const std::size_t name_length = sizeof kUninstallKeyName - 1;
    if (parent.size() <= name_length || parent.compare(parent.size() - name_length, name_length, kUninstallKeyName) != 0)
        return false;
    const std::string software = parent.substr(0, parent.size() - name_length - 1);
    if (software == "HKLM|SOFTWARE" || software == "HKLM|SOFTWARE\\WOW6432NODE" || software == "HKCU|SOFTWARE")
        return true;
    // "HKU|SID\SOFTWARE"
    const std::size_t hive_end = software.find('\\');
    return software.compare(0, 4, "HKU|") == 0 && hive_end != std::string::npos && hive_end > 4 &&
           software.compare(hive_end, std::string::npos, "\\SOFTWARE") == 0;
}

class Differ {
public:
    Differ(const MachineSnapshot& before, const MachineSnapshot& after, const std::vector<std::string>& ignored_paths)
        : before_(before), after_(after), ignored_(ignored_paths), filter_(after.windows_folder) {}

    TracedChanges Run() {
        DiffFiles();
        DiffKeys();
        DiffServices();
        ReadShortcuts();
        return std::move(changes_);
    }

private:
    std::string PathReason(std::string_view path) const {
        for (const std::string& ignored : ignored_)
            if (IsSameOrBelow(path, ignored)) return kIgnoredReason;
        return filter_.PathReason(Text(path));
    }

    void Filtered(const std::string& reason, const std::string& item) { changes_.filtered.push_back(reason + ": " + item); }

    void DiffFiles() {
        for (const SnapshotFile& file : after_.files) {
            const std::string_view path = after_.Text(file.path);
            const SnapshotFile* old = before_.FindFile(path);
            const bool added = !old || old->is_folder != file.is_folder;
            const bool changed = !added && !file.is_folder && (old->size != file.size || old->write_time != file.write_time);
            if (!added && !changed) continue;
            const std::string reason = PathReason(path);
            if (!reason.empty()) {
                Filtered(reason, Text(path));
            } else if (added) {
                changes_.added_paths.push_back({Text(path), file.is_folder});
            } else {
                changes_.changed_files.push_back(Text(path));
            }
        }
    }

    void DiffKeys() {
        for (const SnapshotKey& key : after_.keys) {
            const std::string path = Text(after_.Text(key.path));
            const SnapshotKey* old = before_.FindKey(path);
            if (old) {
                DiffValues(*old, key, path);
                continue;
            }
            // Below a new key, the outermost one stands for it; registrations are read from all.
            // A key whose parent is no key of the walk (a user hive) counts as outermost.
            const std::string parent = ParentOf(path);
            const bool outermost = before_.FindKey(parent) || !after_.FindKey(parent);
            const std::string reason = filter_.KeyReason(path);
            if (!reason.empty()) {
                if (outermost) Filtered(reason, path);
                continue;
            }
            if (outermost) changes_.added_keys.push_back(path);
            if (IsUninstallRegistration(path)) AddRegistration(key, path);
        }
    }

    void DiffValues(const SnapshotKey& old_key, const SnapshotKey& key, const std::string& path) {
        for (std::uint32_t i = 0; i < key.value_count; ++i) {
            const SnapshotValue& value = after_.values[key.first_value + i];
            const std::string_view name = after_.Text(value.name), data = after_.Text(value.data);
            const SnapshotValue* old = before_.FindValue(old_key, name);
            if (old && old->type == value.type && before_.Text(old->data) == data) continue;
            const std::string reason = filter_.ValueReason(path, Text(name));
            if (!reason.empty()) {
                Filtered(reason, path + "|" + Text(name));
                continue;
            }
            TracedValue traced;
            traced.key = path;
            traced.name = Text(name);
            traced.type = value.type;
            traced.data = RegistryDataText(value.type, Text(data));
            traced.changed = old != nullptr;
            changes_.values.push_back(std::move(traced));
        }
    }

    void AddRegistration(const SnapshotKey& key, const std::string& path) {
        TracedRegistration registration;
        registration.key = path;
        registration.display_name = after_.StringValue(key, "DisplayName");
        registration.display_version = after_.StringValue(key, "DisplayVersion");
        registration.install_location = after_.StringValue(key, "InstallLocation");
        registration.uninstall_string = after_.StringValue(key, "UninstallString");
        registration.display_icon = after_.StringValue(key, "DisplayIcon");
        changes_.registrations.push_back(std::move(registration));
    }

    void DiffServices() {
        for (const ServiceEntry& service : after_.services) {
            if (before_.FindService(service.name)) continue;
            changes_.added_services.push_back({service.name, service.display_name, service.image_path, service.type});
        }
    }

    void ReadShortcuts() {
        ComForThisThread com;
        for (const TracedPath& added : changes_.added_paths) {
            if (added.is_folder || !EndsWithName(added.path, ".LNK")) continue;
            std::string working_directory, target;
            ResolveShellLink(added.path, working_directory, target);
            changes_.added_shortcuts.push_back({added.path, target});
        }
    }

    const MachineSnapshot& before_;
    const MachineSnapshot& after_;
    const std::vector<std::string>& ignored_;
    TraceNoiseFilter filter_;
    TracedChanges changes_;
};

}  // namespace

std::string RegistryDataText(unsigned long type, const std::string& data) {
    switch (type) {
        case REG_SZ:
        case REG_EXPAND_SZ:
            return data.substr(0, data.find('\0'));
        case REG_MULTI_SZ: {
            std::string text;
            for (std::size_t start = 0; start < data.size();) {
                const std::size_t end = std::min(data.find('\0', start), data.size());
                if (end == start) break;  // the empty string that ends the list
                text += (text.empty() ? "" : "\n") + data.substr(start, end - start);
                start = end + 1;
            }
            return text;
        }
        case REG_DWORD:
            if (data.size() == 4) return std::to_string(LittleEndian(data));
            break;
        case REG_DWORD_BIG_ENDIAN:
            if (data.size() == 4) return std::to_string(LittleEndian(std::string(data.rbegin(), data.rend())));
            break;
        case REG_QWORD:
            if (data.size() == 8) return std::to_string(LittleEndian(data));
            break;
        default:
            break;
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char byte : data) {
        const unsigned char c = static_cast<unsigned char>(byte);
        if (!hex.empty()) hex += ',';
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

TracedChanges DiffSnapshots(const MachineSnapshot& before, const MachineSnapshot& after,
                            const std::vector<std::string>& ignored_paths) {
    return Differ(before, after, ignored_paths).Run();
}
