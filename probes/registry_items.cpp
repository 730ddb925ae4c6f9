#include "registry_items.h"

#include "matching.h"
#include "protected_names.h"
#include "registry_access.h"
#include "registry_delete_functions.h"
#include "registry_item.h"
#include "user_sids.h"

namespace {

// The shared-DLL reference counts: removing one breaks every program that shares the DLL.
const char kProtectedKey[] = "CurrentVersion\\SharedDlls";
const char kInstallerFoldersPath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";

bool IsProtected(const std::string& key_path) { return TextContains(key_path, kProtectedKey); }

std::string JoinedByBackslash(const StringList& names);

// A key above the reference counts (SOFTWARE, SOFTWARE\Microsoft ...) would take them with it.
bool HoldsProtectedKey(const RegistryItem& item) {
    if (item.names_value || item.root != HKEY_LOCAL_MACHINE) return false;
    StringList names;
    SplitByBackslash(item.key_path, names);
    const std::string path = UpperCased(JoinedByBackslash(names)) + "\\";
    for (const char* holder : {"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS\\",
                               "SOFTWARE\\WOW6432NODE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\SHAREDDLLS\\"})
        if (std::string(holder).compare(0, path.size(), path) == 0) return true;
    return false;
}

// A key path made of separators only would open the root itself, and deleting "the key" would
// then empty the whole root: such an item names no key.
bool NamesSubKey(const std::string& key_path) {
    StringList names;
    return SplitByBackslash(key_path, names);
}

std::string JoinedByBackslash(const StringList& names) {
    std::string path;
    for (const std::string& name : names) path += (path.empty() ? "" : "\\") + name;
    return path;
}

// Under HKEY_USERS the path is fitted to the local hive that holds the key.
void FitUserPath(RegistryItem& item, RegistryView view, REGSAM trial_access) {
    if (item.root == HKEY_USERS) item.key_path = RetargetUserSid(item.key_path, view, trial_access);
}

// Deletes parent\sub_path with everything below it, sub-keys from the highest index down so that
// the lower indexes stay valid. A sub-key the system refuses is passed over; the keys above it
// then stay too, since a key with sub-keys cannot be deleted.
void DeleteKeyTree(HKEY parent, const std::string& sub_path) {
    {
        RegistryKey key;
        if (key.Open(parent, sub_path.c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) return;
        for (DWORD index = CountSubKeys(key); index-- > 0;) {
            // A name that cannot be enumerated is empty; it would stand for the key itself.
            const std::string name = SubKeyNameAt(key, index);
            if (!name.empty()) DeleteKeyTree(key.Get(), name);
        }
    }
    RegDeleteKeyA(parent, sub_path.c_str());
}

// The 64-bit view deletes through the functions that take a view: the tree below the opened key
// first, and the key itself only when that succeeded. Systems without them delete nothing.
void DeleteKeyIn64BitView(const RegistryKey& key, const RegistryItem& item) {
    if (DynRegDeleteTree(key.Get(), nullptr) != ERROR_SUCCESS) return;
    DynRegDeleteKeyEx(item.root, item.key_path.c_str(), FullAccessMask(RegistryView::k64Bit), 0);
}

// Sub-keys and values of the key itself, to tell a partial deletion from none.
DWORD EntryCount(const RegistryItem& item, RegistryView view) {
    RegistryKey key;
    if (key.Open(item.root, item.key_path.c_str(), QueryAccessMask(view) | KEY_ENUMERATE_SUB_KEYS) !=
        ERROR_SUCCESS)
        return 0;
    return CountSubKeys(key) + CountValues(key);
}

bool IsNotFound(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

// Whether the item can no longer be found. Only "not found" counts as gone: a key that the system
// does not let us look into is taken to be still there.
bool IsGone(const RegistryItem& item, RegistryView view) {
    RegistryKey key;
    const LONG status = key.Open(item.root, item.key_path.c_str(), QueryAccessMask(view));
    if (IsNotFound(status)) return true;
    if (status != ERROR_SUCCESS || !item.names_value) return false;
    DWORD size = 0;
    return IsNotFound(RegQueryValueExA(key.Get(), item.value_name.c_str(), nullptr, nullptr, nullptr, &size));
}

}  // namespace

bool RegistryItemExists(const std::string& record, RegistryView view) {
    return LookUpRegistryRecord(record, view) == RegistryPresence::kPresent;
}

RegistryPresence LookUpRegistryRecord(const std::string& record, RegistryView view) {
    std::string program_key;
    RegistryItem item;
    // Fewer than three fields, more than four, or a root that is none of the four: not present.
    if (!ParseRegistryRecord(record, program_key, item)) return RegistryPresence::kAbsent;
    FitUserPath(item, view, QueryAccessMask(view));
    if (IsProtected(item.key_path) || !NamesSubKey(item.key_path)) return RegistryPresence::kAbsent;

    // The default view asks for full access, as the deletion will.
    const REGSAM access = view == RegistryView::k64Bit ? QueryAccessMask(view) : FullAccessMask(view);
    RegistryKey key;
    const LONG status = key.Open(item.root, item.key_path.c_str(), access);
    if (IsNotFound(status)) return RegistryPresence::kAbsent;
    if (status != ERROR_SUCCESS) {
        // Refused: whether it is there is still known from a reading open.
        RegistryKey readable;
        if (readable.Open(item.root, item.key_path.c_str(), QueryAccessMask(view)) == ERROR_SUCCESS &&
            item.names_value && !HasValue(readable, item.value_name))
            return RegistryPresence::kAbsent;
        return RegistryPresence::kInaccessible;
    }
    return !item.names_value || HasValue(key, item.value_name) ? RegistryPresence::kPresent : RegistryPresence::kAbsent;
}

bool DeleteRegistryItem(const std::string& text, RegistryView view, bool* partly) {
    if (partly) *partly = false;
    RegistryItem as_written;
    // Fewer than two fields, more than three, or a root that is none of the four: nothing is deleted.
    if (!ParseRegistryItem(text, as_written)) return false;
    RegistryItem item = as_written;
    FitUserPath(item, view, FullAccessMask(view));
    if (IsProtected(item.key_path) || HoldsProtectedKey(item) || !NamesSubKey(item.key_path)) return false;
    if (!item.names_value && IsProtectedRegistryKey(item.root_text, item.key_path)) return false;
    const DWORD entries_before = item.names_value ? 0 : EntryCount(item, view);

    {
        RegistryKey key;
        if (key.Open(item.root, item.key_path.c_str(), FullAccessMask(view)) == ERROR_SUCCESS) {
            if (item.names_value) {
                RegDeleteValueA(key.Get(), item.value_name.c_str());
            } else if (view == RegistryView::k64Bit) {
                DeleteKeyIn64BitView(key, item);
            } else {
                key.Close();
                DeleteKeyTree(item.root, item.key_path);
            }
        }
    }
    // The system's answers above are not the whole truth (a key stays when one sub-key below it
    // was refused): look again. A user path is fitted again for reading, so that a key the fitting
    // for full access passed over still counts.
    FitUserPath(as_written, view, QueryAccessMask(view));
    if (IsGone(as_written, view)) return true;
    if (partly) *partly = !item.names_value && EntryCount(item, view) < entries_before;
    return false;
}

std::string RetargetUserSid(const std::string& key_path, RegistryView view, REGSAM trial_access) {
    if (!ContainsExact(key_path, "S-")) return key_path;
    StringList hives;
    EnumUserSids(hives, view);
    StringList names;
    SplitByBackslash(key_path, names);
    // The first hive under which the key opens wins, whatever the first name was.
    for (const std::string& hive : hives) {
        names.front() = hive;
        const std::string fitted = JoinedByBackslash(names);
        RegistryKey key;
        if (key.Open(HKEY_USERS, fitted.c_str(), trial_access) == ERROR_SUCCESS) return fitted;
    }
    return key_path;
}

void ScanInstallerFolders(const StringList& directories, StringList& output, RegistryView view) {
    if (directories.empty()) return;
    WalkValueNames(HKEY_LOCAL_MACHINE, kInstallerFoldersPath, view,
                   [&](const RegistryKey&, const std::string& value_name) {
                       // The value names are folder paths ending in "\": a directory matches its own
                       // folder and every folder below it.
                       const std::string folder = Trimmed(value_name);
                       for (const std::string& directory : directories) {
                           if (!TextContains(folder, Trimmed(directory))) continue;
                           AddOnce(output, std::string("HKLM|") + kInstallerFoldersPath + "|" + folder);
                           return;
                       }
                   });
}
