#include "machine_views.h"

#include <windows.h>

#include <cwchar>

#include "file_system.h"
#include "module_cache.h"
#include "registry_access.h"
#include "registry_item.h"
#include "splitters.h"
#include "text_rules.h"
#include "win32/ansi_text.h"

namespace {

constexpr bool kProcessIs64Bit = sizeof(void*) == 8;

bool RunsUnderWow64() {
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto is_wow64 = AsFunction<IsWow64ProcessFunction>(GetModuleProc("kernel32.dll", "IsWow64Process"));
    BOOL wow64 = FALSE;
    return is_wow64 && is_wow64(GetCurrentProcess(), &wow64) && wow64;
}

// The kernel's own name of an open key: "\REGISTRY\MACHINE\SOFTWARE\Wow6432Node\X", reached
// through any link or redirection. Empty when it cannot be asked.
std::wstring KernelKeyName(HKEY key) {
    using NtQueryKeyFunction = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    constexpr int kKeyNameInformation = 3;
    // KEY_NAME_INFORMATION: the name's length in bytes, then the name, not zero-terminated.
    constexpr std::size_t kNameOffset = sizeof(ULONG);
    const auto query = AsFunction<NtQueryKeyFunction>(GetModuleProc("ntdll.dll", "NtQueryKey"));
    if (!query) return std::wstring();
    std::vector<BYTE> buffer(512);
    // The first answer may be "too small" with the length needed; a name cannot keep growing.
    for (int attempt = 0; attempt < 3; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status >= 0) {
            ULONG bytes = 0;
            CopyMemory(&bytes, buffer.data(), sizeof bytes);
            if (bytes > buffer.size() - kNameOffset) return std::wstring();
            std::wstring name(bytes / sizeof(wchar_t), L'\0');
            CopyMemory(&name[0], buffer.data() + kNameOffset, name.size() * sizeof(wchar_t));
            return name;
        }
        if (needed <= buffer.size()) return std::wstring();
        buffer.resize(needed);
    }
    return std::wstring();
}

// The kernel's name of root\path opened in view; empty when it cannot be opened.
std::wstring KernelKeyNameOf(HKEY root, const std::string& path, RegistryView view) {
    RegistryKey key;
    if (key.Open(root, path.c_str(), QueryAccessMask(view)) != ERROR_SUCCESS) return std::wstring();
    return KernelKeyName(key.Get());
}

bool SameName(const std::string& a, const std::string& b) { return UpperCased(a) == UpperCased(b); }

// The kernel's names of a root itself, whose handle is no kernel key: fixed for HKLM and HKU;
// for HKCR those of the machine's and the user's classes, which it merges. None for HKCU, whose
// keys are held by the keys on their written path instead (its hive's name differs per user).
std::vector<std::wstring> KernelRootNames(HKEY root, RegistryView machine_view) {
    if (root == HKEY_LOCAL_MACHINE) return {L"\\REGISTRY\\MACHINE"};
    if (root == HKEY_USERS) return {L"\\REGISTRY\\USER"};
    if (root == HKEY_CLASSES_ROOT)
        return {KernelKeyNameOf(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes", machine_view),
                KernelKeyNameOf(HKEY_CURRENT_USER, "Software\\Classes", machine_view)};
    return {};
}

// Whether the kernel name holds found, strictly below it.
bool HoldsKey(const std::wstring& holder, const std::wstring& found) {
    return !holder.empty() && found.size() > holder.size() + 1 &&
           _wcsnicmp(found.c_str(), holder.c_str(), holder.size()) == 0 && found[holder.size()] == L'\\';
}

std::string JoinedByBackslash(const StringList& names) {
    std::string path;
    for (const std::string& name : names) path += (path.empty() ? "" : "\\") + name;
    return path;
}

// The physical names, with the names the item wrote in its own letter case where they line up in
// order; the names in between are the ones redirection added. When the written names do not all
// line up, the physical names as they are.
StringList AlignedNames(const StringList& physical, const StringList& written) {
    StringList names = physical;
    std::size_t next = 0;
    for (std::string& name : names)
        if (next < written.size() && SameName(name, written[next])) name = written[next++];
    return next == written.size() ? names : physical;
}

// The kernel names that may hold a key at a start of the written path: the root's own names for
// the empty start, else the name of the start's key in the machine view.
std::vector<std::wstring> HoldersAt(const RegistryItem& item, const StringList& start, RegistryView machine_view) {
    if (start.empty()) return KernelRootNames(item.root, machine_view);
    return {KernelKeyNameOf(item.root, JoinedByBackslash(start), machine_view)};
}

// start as written, then the found key's physical names below holder, lined up with the rest of
// the written names. Empty when those names have no spelling in the ANSI code page.
std::string SpelledBelow(StringList start, const StringList& rest, const std::wstring& holder,
                         const std::wstring& found_name) {
    bool lossy = false;
    const std::string below = AnsiFromWide(found_name.substr(holder.size() + 1), &lossy);
    if (lossy) return std::string();
    StringList physical;
    SplitByBackslash(below, physical);
    for (const std::string& name : AlignedNames(physical, rest)) start.push_back(name);
    return JoinedByBackslash(start);
}

// The key path through which the machine view reaches the found key: the shortest start of the
// written path (the root itself first) whose key there holds the found key, then the found key's
// physical names below it. A link on the written path stays as written: HKCU\Software\Classes,
// which leads to the user's classes hive, starts the spelling of a class found below it. Empty
// when no start holds the found key.
std::string PhysicalKeyPath(const RegistryItem& item, const std::wstring& found_name, RegistryView machine_view) {
    StringList written;
    SplitByBackslash(item.key_path, written);
    for (std::size_t count = 0; count < written.size(); ++count) {
        const StringList start(written.begin(), written.begin() + count), rest(written.begin() + count, written.end());
        for (const std::wstring& holder : HoldersAt(item, start, machine_view))
            if (HoldsKey(holder, found_name)) return SpelledBelow(start, rest, holder, found_name);
    }
    return std::string();
}

// path's length up to the end of folder when path starts with folder as whole names (letter case
// and "/" aside); npos otherwise.
std::size_t FolderPrefixLength(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.size() < folder.size()) return std::string::npos;
    if (path.size() > folder.size() && !IsPathSeparator(path[folder.size()])) return std::string::npos;
    // A trail byte is never "/" (0x2F), so the separators can be made one.
    auto comparable = [](std::string text) {
        for (char& c : text)
            if (c == '/') c = '\\';
        return UpperCased(text);
    };
    return comparable(path.substr(0, folder.size())) == comparable(folder) ? folder.size() : std::string::npos;
}

bool HasDriveRoot(const std::string& path) {
    const unsigned char letter = static_cast<unsigned char>(path.empty() ? 0 : path[0]);
    return path.size() >= 3 && ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) &&
           path[1] == ':' && IsPathSeparator(path[2]);
}

}  // namespace

bool IsWindows64Bit() {
    static const bool is_64bit = kProcessIs64Bit || RunsUnderWow64();
    return is_64bit;
}

RegistryView MachineView() { return IsWindows64Bit() ? RegistryView::k64Bit : RegistryView::kDefault; }

std::vector<RegistryView> SearchViews(RegistryView machine_view) {
    if (machine_view == RegistryView::k64Bit) return {RegistryView::k64Bit, RegistryView::k32Bit};
    return {machine_view};
}

std::string MachineSpelling(const std::string& item, RegistryView found_in) {
    const RegistryView machine_view = MachineView();
    if (!IsWindows64Bit() || found_in == machine_view) return item;
    RegistryItem parsed;
    if (!ParseRegistryItem(item, parsed)) return item;
    const std::wstring found_name = KernelKeyNameOf(parsed.root, parsed.key_path, found_in);
    if (found_name.empty() || found_name == KernelKeyNameOf(parsed.root, parsed.key_path, machine_view)) return item;
    const std::string key_path = PhysicalKeyPath(parsed, found_name, machine_view);
    if (key_path.empty()) return item;
    // The value field as the notation splits it: quotes, blanks and a "|" inside quotes kept.
    StringList fields;
    SplitByBar(item, fields);
    return parsed.root_text + "|" + key_path + (parsed.names_value ? "|" + fields[2] : std::string());
}

std::vector<std::string> MachinePathsOf(const std::string& path, const MachinePathFacts& facts) {
    if (!facts.windows_64bit) return {path};
    const std::string windows = WithoutTrailingSeparators(facts.windows_folder);
    const std::size_t system =
        windows.empty() ? std::string::npos : FolderPrefixLength(path, windows + "\\System32");
    if (system != std::string::npos) {
        // The Windows folder as the path writes it, and whatever follows System32.
        const std::string written_windows = path.substr(0, windows.size()), rest = path.substr(system);
        return {facts.process_64bit ? path : written_windows + "\\Sysnative" + rest,
                written_windows + "\\SysWOW64" + rest};
    }
    if (HasDriveRoot(path)) {
        const std::string drive = path.substr(0, 3);
        const std::size_t programs = FolderPrefixLength(path, drive + "Program Files");
        if (programs != std::string::npos) return {path, drive + "Program Files (x86)" + path.substr(programs)};
    }
    return {path};
}

namespace {

const MachinePathFacts& ThisMachinePathFacts() {
    static const MachinePathFacts facts{MachineWindowsFolder(), IsWindows64Bit(), kProcessIs64Bit};
    return facts;
}

}  // namespace

std::vector<std::string> MachinePathsOf(const std::string& path) { return MachinePathsOf(path, ThisMachinePathFacts()); }

std::string AccessPathOf(const std::string& path) { return MachinePathsOf(path).front(); }

std::string MachinePathOf(const std::string& path, const MachinePathFacts& facts) {
    if (!facts.windows_64bit || facts.process_64bit) return path;
    const std::string windows = WithoutTrailingSeparators(facts.windows_folder);
    const std::size_t native =
        windows.empty() ? std::string::npos : FolderPrefixLength(path, windows + "\\Sysnative");
    if (native == std::string::npos) return path;
    return path.substr(0, windows.size()) + "\\System32" + path.substr(native);
}

std::string MachinePathOf(const std::string& path) { return MachinePathOf(path, ThisMachinePathFacts()); }

std::string MachineWindowsFolder() {
    char path[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? std::string(path, length) : std::string();
}

std::string SystemWow64Folder() {
    using GetSystemWow64DirectoryFunction = UINT(WINAPI*)(LPSTR, UINT);
    const auto get = AsFunction<GetSystemWow64DirectoryFunction>(
        GetModuleProc("kernel32.dll", "GetSystemWow64DirectoryA"));
    char path[MAX_PATH + 1] = {};
    if (!get) return std::string();
    const UINT length = get(path, MAX_PATH);
    return length > 0 && length <= MAX_PATH ? std::string(path, length) : std::string();
}
