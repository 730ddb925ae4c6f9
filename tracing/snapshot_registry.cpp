// The registry part of a snapshot. HKLM is read in the 64-bit view, where the 32-bit programs'
// keys lie physically under Wow6432Node, so one walk spells every key as the machine keeps it.
// Registry links are never followed there: each one leads to a key the walk reaches under its
// own name. The exception is a user hive's Software\Classes, the link to the user's class hive,
// which is walked in its place so the user's classes read as HKCU|Software\Classes\....
#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <set>

#include "machine_views.h"
#include "path_order.h"
#include "registry_access.h"
#include "snapshot_walks.h"
#include "text_rules.h"
#include "win32/handles.h"

namespace {

constexpr char kClassesHiveSuffix[] = "_CLASSES";
constexpr char kUserClassesPath[] = "SOFTWARE\\CLASSES";

// The current user's security identifier ("S-1-5-21-...-1000"); empty when it cannot be read.
std::string CurrentUserSid() {
    HANDLE token_handle = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token_handle)) return std::string();
    KernelHandle token(token_handle);
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    char* text = nullptr;
    if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size) ||
        !ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text))
        return std::string();
    const std::string sid = text;
    LocalFree(text);
    return sid;
}

bool IsClassesHive(const std::string& name) {
    const std::string upper = UpperCased(name);
    const std::size_t suffix = sizeof kClassesHiveSuffix - 1;
    return upper.size() > suffix && upper.compare(upper.size() - suffix, suffix, kClassesHiveSuffix) == 0;
}

bool IsRegistryLink(HKEY key) {
    DWORD type = 0;
    return RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

class RegistryWalk {
public:
    RegistryWalk(MachineSnapshot& snapshot, REGSAM view) : snapshot_(snapshot), view_(view) {}

    // Opens root\path and walks it as spelled; false when it cannot be opened.
    bool WalkRoot(HKEY root, const char* path, const std::string& spelled, bool user_hive) {
        RegistryKey key;
        if (key.Open(root, path, KEY_READ | view_) != ERROR_SUCCESS) return false;
        user_hive_ = user_hive;
        followed_classes_ = false;
        root_length_ = spelled.size();
        std::string walked = spelled;
        Walk(key.Get(), walked);
        return true;
    }
    // Whether the last user hive walked led into its class hive through Software\Classes.
    bool FollowedClasses() const { return followed_classes_; }

private:
    // Records the key and its values, then every sub-key; spelled is the key's path and is left
    // as it was found.
    void Walk(HKEY key, std::string& spelled) {
        AddKey(key, spelled);
        for (const std::string& name : SubKeyNames(key)) {
            const std::size_t length = spelled.size();
            spelled += (length == root_length_ && spelled.find('|') == std::string::npos ? "|" : "\\") + name;
            WalkSubKey(key, name, spelled);
            spelled.resize(length);
        }
    }

    void WalkSubKey(HKEY parent, const std::string& name, std::string& spelled) {
        RegistryKey sub;
        if (OpenKey(sub, parent, name, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS) {
            // Seen but not readable: kept, so that it is not taken for new when it can be read later.
            AddKeyName(spelled);
            return;
        }
        if (!IsRegistryLink(sub.Get())) return Walk(sub.Get(), spelled);
        if (user_hive_ && UpperCased(spelled.substr(root_length_ + 1)) == kUserClassesPath &&
            OpenKey(sub, parent, name, 0) == ERROR_SUCCESS) {
            followed_classes_ = true;
            return Walk(sub.Get(), spelled);
        }
        AddKeyName(spelled);
    }

    LONG OpenKey(RegistryKey& key, HKEY parent, const std::string& name, DWORD options) {
        return key.Open(parent, name.c_str(), KEY_READ | view_, options);
    }

    std::vector<std::string> SubKeyNames(HKEY key) {
        std::vector<std::string> names;
        char name[1024];
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            const LONG status = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
            // A name too long for the buffer is passed over; any other failure ends the list.
            if (status == ERROR_SUCCESS) names.emplace_back(name, length);
            else if (status != ERROR_MORE_DATA) break;
        }
        return names;
    }

    void AddKeyName(const std::string& spelled) {
        SnapshotKey entry;
        entry.path = snapshot_.texts.Add(spelled);
        entry.first_value = static_cast<std::uint32_t>(snapshot_.values.size());
        snapshot_.keys.push_back(entry);
    }

    void AddKey(HKEY key, const std::string& spelled) {
        AddKeyName(spelled);
        DWORD count = 0;
        for (DWORD index = 0;; ++index) {
            SnapshotValue value;
            if (!ReadValue(key, index, value)) break;
            snapshot_.values.push_back(value);
            ++count;
        }
        snapshot_.keys.back().value_count = count;
    }

    // The value at index; false at the end of the values. A value that cannot be read is kept
    // with its name and no data.
    bool ReadValue(HKEY key, DWORD index, SnapshotValue& value) {
        for (int attempt = 0; attempt < 8; ++attempt) {
            DWORD name_length = static_cast<DWORD>(value_name_.size()), type = 0;
            DWORD data_length = static_cast<DWORD>(data_.size());
            const LONG status = RegEnumValueA(key, index, value_name_.data(), &name_length, nullptr, &type,
                                              reinterpret_cast<BYTE*>(data_.data()), &data_length);
            if (status == ERROR_NO_MORE_ITEMS) return false;
            if (status == ERROR_MORE_DATA) {
                data_.resize(std::max<std::size_t>(data_length, data_.size() * 2));
                continue;
            }
            if (status != ERROR_SUCCESS) break;
            value.name = snapshot_.texts.Add(std::string_view(value_name_.data(), name_length));
            value.type = type;
            value.data = snapshot_.texts.Add(std::string_view(data_.data(), std::min<std::size_t>(data_length, data_.size())));
            return true;
        }
        // Named with an empty data: the name is asked for alone.
        DWORD name_length = static_cast<DWORD>(value_name_.size());
        if (RegEnumValueA(key, index, value_name_.data(), &name_length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            return false;
        value.name = snapshot_.texts.Add(std::string_view(value_name_.data(), name_length));
        return true;
    }

    MachineSnapshot& snapshot_;
    REGSAM view_;
    bool user_hive_ = false, followed_classes_ = false;
    std::size_t root_length_ = 0;
    std::vector<char> value_name_ = std::vector<char>(32768);  // a value name is up to 16,383 characters
    std::vector<char> data_ = std::vector<char>(4096);
};

// HKEY_USERS' hives, each once: links among them (S-1-5-18 to .DEFAULT, for one) left out.
std::vector<std::string> LoadedHives(REGSAM view) {
    std::vector<std::string> hives;
    RegistryKey users;
    if (users.Open(HKEY_USERS, nullptr, KEY_READ | view) != ERROR_SUCCESS) return hives;
    char name[1024];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        const LONG status = RegEnumKeyExA(users.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        RegistryKey hive;
        if (hive.Open(users.Get(), name, KEY_READ | view, REG_OPTION_OPEN_LINK) != ERROR_SUCCESS) continue;
        const bool link = IsRegistryLink(hive.Get());
        if (!link) hives.emplace_back(name, length);
    }
    return hives;
}

}  // namespace

void AddRegistryKeys(MachineSnapshot& snapshot, SnapshotProgress progress) {
    const REGSAM view = ViewAccess(0, MachineView());
    RegistryWalk walk(snapshot, view);
    const auto walk_root = [&](HKEY root, const std::string& path, const std::string& spelled, bool user_hive) {
        if (progress) progress(spelled.c_str());
        walk.WalkRoot(root, path.c_str(), spelled, user_hive);
    };
    walk_root(HKEY_LOCAL_MACHINE, "SOFTWARE", "HKLM|SOFTWARE", false);
    walk_root(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Services", "HKLM|SYSTEM\\CurrentControlSet\\Services",
              false);

    const std::string current_sid = CurrentUserSid();
    const std::vector<std::string> hives = LoadedHives(view);
    // A class hive is walked on its own only when its user's hive did not lead into it.
    std::set<std::string> classes_reached;
    for (const std::string& hive : hives) {
        if (IsClassesHive(hive)) continue;
        walk_root(HKEY_USERS, hive, SamePath(hive, current_sid) ? "HKCU" : "HKU|" + hive, true);
        if (walk.FollowedClasses()) classes_reached.insert(UpperCased(hive) + kClassesHiveSuffix);
    }
    for (const std::string& hive : hives)
        if (IsClassesHive(hive) && !classes_reached.count(UpperCased(hive))) walk_root(HKEY_USERS, hive, "HKU|" + hive, true);
}
