#include <windows.h>

#include <cstdlib>

#include "check.h"
#include "file_system.h"
#include "machine_views.h"
#include "registry_access.h"
#include "registry_delete_functions.h"
#include "registry_item.h"
#include "scratch_folder.h"
#include "system_folders.h"
#include "text_rules.h"

// These run in the project's 64-bit prefix, as a 64-bit process or as the shipped 32-bit one under
// WoW64, and in the 32-bit prefix where the host has one.

namespace {

const std::string kPid = std::to_string(GetCurrentProcessId());

// The kind of Windows the test run says this machine is (KESTRUNE_TEST_WINDOWS=32 in the 32-bit
// prefix), never what the code under test finds.
bool MachineIs32BitWindows() {
    const char* windows = std::getenv("KESTRUNE_TEST_WINDOWS");
    return windows && std::string(windows) == "32";
}

// A key created in one view (KEY_WOW64_32KEY or KEY_WOW64_64KEY), with keys below it when asked,
// removed with everything below it in that same view when the test ends, also when a check has
// failed.
class ViewKey {
public:
    ViewKey(HKEY root, std::string path, REGSAM view_flag, const std::string& below = std::string())
        : root_(root), path_(std::move(path)), flag_(view_flag) {
        Remove();  // a leftover of an earlier run with the same id
        const std::string created = below.empty() ? path_ : path_ + "\\" + below;
        HKEY key = nullptr;
        CHECK_EQ(RegCreateKeyExA(root_, created.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | flag_, nullptr, &key, nullptr),
                 ERROR_SUCCESS);
        if (key) RegCloseKey(key);
    }
    ~ViewKey() { Remove(); }
    ViewKey(const ViewKey&) = delete;
    ViewKey& operator=(const ViewKey&) = delete;

private:
    void Remove() const {
        RegistryKey key;
        if (key.Open(root_, path_.c_str(), KEY_ALL_ACCESS | flag_) != ERROR_SUCCESS) return;
        DynRegDeleteTree(key.Get(), nullptr);
        key.Close();
        DynRegDeleteKeyEx(root_, path_.c_str(), flag_, 0);
    }

    HKEY root_;
    std::string path_;
    REGSAM flag_;
};

bool OpensIn(HKEY root, const std::string& path, REGSAM view_flag) {
    RegistryKey key;
    return key.Open(root, path.c_str(), KEY_QUERY_VALUE | view_flag) == ERROR_SUCCESS;
}

// Whether the 64-bit view reaches the key of a spelled item.
bool OpensIn64BitView(const std::string& item) {
    RegistryItem parsed;
    return ParseRegistryItem(item, parsed) && OpensIn(parsed.root, parsed.key_path, KEY_WOW64_64KEY);
}

struct SpellingCase {
    const char* what;
    std::string item;
    RegistryView found_in;
    std::string expected;
};

void CheckSpellings(const std::vector<SpellingCase>& cases) {
    for (const SpellingCase& c : cases) {
        CONTEXT(c.what);
        const std::string spelled = MachineSpelling(c.item, c.found_in);
        CHECK_EQ(spelled, c.expected);
        // A changed spelling must name a key that the 64-bit view really reaches.
        if (spelled != c.item) CHECK(OpensIn64BitView(spelled));
    }
}

}  // namespace

TEST(on_32_bit_windows_there_is_one_view_and_one_system_folder) {
    if (!MachineIs32BitWindows()) return;
    CHECK(!IsWindows64Bit());
    CHECK_EQ(MachineView(), RegistryView::kDefault);
    CHECK_EQ(SearchViews(MachineView()), std::vector<RegistryView>{RegistryView::kDefault});
    CHECK_EQ(SystemWow64Folder(), "");
    // Nothing is redirected: a key found in any view and a path are spelled as written.
    const std::string name = "KestruneViewTest" + kPid;
    const ViewKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name, KEY_WOW64_32KEY);
    CHECK_EQ(MachineSpelling("HKLM|SOFTWARE\\" + name, RegistryView::k32Bit), "HKLM|SOFTWARE\\" + name);
    for (const std::string& path : {WindowsFolder() + "\\System32\\drivers\\q.sys", std::string("C:\\Program Files\\Q")}) {
        CONTEXT(path);
        CHECK_EQ(MachinePathsOf(path), std::vector<std::string>{path});
    }
}

TEST(this_prefix_is_64_bit_windows_searched_in_both_views) {
    if (MachineIs32BitWindows()) return;
    CHECK(IsWindows64Bit());
    CHECK_EQ(MachineView(), RegistryView::k64Bit);
    CHECK_EQ(SearchViews(MachineView()), (std::vector<RegistryView>{RegistryView::k64Bit, RegistryView::k32Bit}));
    CHECK_EQ(SearchViews(RegistryView::kDefault), std::vector<RegistryView>{RegistryView::kDefault});
}

TEST(a_key_of_the_32_bit_view_is_spelled_with_wow6432node) {
    if (MachineIs32BitWindows()) return;
    const std::string name = "KestruneViewTest" + kPid;
    const ViewKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name, KEY_WOW64_32KEY, "Sub\\Deeper");
    // The 32-bit view reaches it, the 64-bit view does not.
    CHECK(OpensIn(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name, ViewAccess(0, RegistryView::k32Bit)));
    CHECK(!OpensIn(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name, ViewAccess(0, RegistryView::k64Bit)));

    const std::string physical = "HKLM|SOFTWARE\\Wow6432Node\\" + name;
    CheckSpellings({
        {"the key", "HKLM|SOFTWARE\\" + name, RegistryView::k32Bit, physical},
        {"a key below it", "HKLM|SOFTWARE\\" + name + "\\Sub\\Deeper", RegistryView::k32Bit,
         physical + "\\Sub\\Deeper"},
        {"a value, its field as written", "HKLM|SOFTWARE\\" + name + "|\"Install|Dir\"", RegistryView::k32Bit,
         physical + "|\"Install|Dir\""},
        {"the default value", "HKLM|SOFTWARE\\" + name + "|\"\"", RegistryView::k32Bit, physical + "|\"\""},
        {"the item's letter case", "HKLM|software\\" + UpperCased(name), RegistryView::k32Bit,
         "HKLM|software\\Wow6432Node\\" + UpperCased(name)},
        {"found in the machine view", "HKLM|SOFTWARE\\" + name, RegistryView::k64Bit, "HKLM|SOFTWARE\\" + name},
    });
}

TEST(a_class_of_the_32_bit_view_is_spelled_with_wow6432node) {
    if (MachineIs32BitWindows()) return;
    const std::string clsid = "{4B455354-5255-4E45-5649-" + std::string(12 - kPid.size(), '0') + kPid + "}";
    const ViewKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\CLSID\\" + clsid, KEY_WOW64_32KEY, "InprocServer32");
    CheckSpellings({
        {"below HKLM", "HKLM|SOFTWARE\\Classes\\CLSID\\" + clsid + "\\InprocServer32|\"\"", RegistryView::k32Bit,
         "HKLM|SOFTWARE\\Classes\\Wow6432Node\\CLSID\\" + clsid + "\\InprocServer32|\"\""},
        // HKCR of the 64-bit view reaches the 32-bit classes through its own Wow6432Node.
        {"below HKCR", "HKCR|CLSID\\" + clsid, RegistryView::k32Bit, "HKCR|Wow6432Node\\CLSID\\" + clsid},
    });
}

TEST(a_key_both_views_share_or_cannot_find_stays_as_written) {
    if (MachineIs32BitWindows()) return;
    const std::string name = "KestruneViewTest" + kPid;
    const ViewKey user_key(HKEY_CURRENT_USER, "Software\\" + name, KEY_WOW64_32KEY);
    CHECK(OpensIn(HKEY_CURRENT_USER, "Software\\" + name, KEY_WOW64_64KEY));  // one key for both views
    CheckSpellings({
        {"HKCU, shared", "HKCU|Software\\" + name + "|Value", RegistryView::k32Bit,
         "HKCU|Software\\" + name + "|Value"},
        {"HKCU, another letter case", "HKCU|SOFTWARE\\" + UpperCased(name), RegistryView::k32Bit,
         "HKCU|SOFTWARE\\" + UpperCased(name)},
        {"HKCU, a trailing backslash", "HKCU|Software\\" + name + "\\", RegistryView::k32Bit,
         "HKCU|Software\\" + name + "\\"},
        {"HKLM, shared outside SOFTWARE", "HKLM|SYSTEM\\CurrentControlSet\\Services", RegistryView::k32Bit,
         "HKLM|SYSTEM\\CurrentControlSet\\Services"},
        {"absent", "HKLM|SOFTWARE\\KestruneViewAbsent" + kPid, RegistryView::k32Bit,
         "HKLM|SOFTWARE\\KestruneViewAbsent" + kPid},
        {"not an item", "HKXX|SOFTWARE\\" + name, RegistryView::k32Bit, "HKXX|SOFTWARE\\" + name},
    });
}

TEST(a_key_in_both_views_is_two_keys_each_spelled_apart) {
    if (MachineIs32BitWindows()) return;
    const std::string path = "SOFTWARE\\KestruneViewTest" + kPid + "Both";
    const ViewKey key_64(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
    const ViewKey key_32(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY);
    const std::string item = "HKLM|" + path + "|Version";
    const std::string item_32 = "HKLM|SOFTWARE\\Wow6432Node\\KestruneViewTest" + kPid + "Both|Version";
    // The process's own view is the 64-bit one for a 64-bit process, the 32-bit one under WoW64.
    const bool process_64bit = sizeof(void*) == 8;
    CheckSpellings({
        {"the 64-bit key", item, RegistryView::k64Bit, item},
        {"the key of the process's own view", item, RegistryView::kDefault, process_64bit ? item : item_32},
        {"the 32-bit key", item, RegistryView::k32Bit, item_32},
    });
}

TEST(machine_paths_follow_the_redirected_folders) {
    const MachinePathFacts windows_32{"C:\\Windows", false, false};
    const MachinePathFacts process_32{"C:\\Windows", true, false};
    const MachinePathFacts process_64{"C:\\Windows", true, true};
    using Paths = std::vector<std::string>;
    const struct {
        const char* what;
        std::string path;
        MachinePathFacts facts;
        Paths expected;
    } cases[] = {
        {"32-bit Windows: System32", "C:\\Windows\\System32\\q.dll", windows_32, {"C:\\Windows\\System32\\q.dll"}},
        {"32-bit Windows: Program Files", "C:\\Program Files\\Q\\q.exe", windows_32, {"C:\\Program Files\\Q\\q.exe"}},
        {"32-bit process: System32", "C:\\Windows\\System32\\q.dll", process_32,
         {"C:\\Windows\\Sysnative\\q.dll", "C:\\Windows\\SysWOW64\\q.dll"}},
        {"64-bit process: System32", "C:\\Windows\\System32\\q.dll", process_64,
         {"C:\\Windows\\System32\\q.dll", "C:\\Windows\\SysWOW64\\q.dll"}},
        {"drivers", "C:\\Windows\\System32\\drivers\\q.sys", process_32,
         {"C:\\Windows\\Sysnative\\drivers\\q.sys", "C:\\Windows\\SysWOW64\\drivers\\q.sys"}},
        {"the folder itself", "C:\\Windows\\System32", process_64, {"C:\\Windows\\System32", "C:\\Windows\\SysWOW64"}},
        {"letter case as written", "c:\\WINDOWS\\system32\\Q.dll", process_32,
         {"c:\\WINDOWS\\Sysnative\\Q.dll", "c:\\WINDOWS\\SysWOW64\\Q.dll"}},
        {"forward slashes", "C:/Windows/System32/q.dll", process_64,
         {"C:/Windows/System32/q.dll", "C:/Windows\\SysWOW64/q.dll"}},
        {"Program Files", "C:\\Program Files\\Q\\q.exe", process_32,
         {"C:\\Program Files\\Q\\q.exe", "C:\\Program Files (x86)\\Q\\q.exe"}},
        {"Program Files, another drive and case", "d:\\PROGRAM FILES\\Q", process_64,
         {"d:\\PROGRAM FILES\\Q", "d:\\Program Files (x86)\\Q"}},
        {"Program Files itself", "C:\\Program Files", process_64, {"C:\\Program Files", "C:\\Program Files (x86)"}},
        {"double-byte names kept", "C:\\Program Files\\软件\\q.exe", process_64,
         {"C:\\Program Files\\软件\\q.exe", "C:\\Program Files (x86)\\软件\\q.exe"}},
        {"a longer folder name", "C:\\Program FilesX\\q.exe", process_64, {"C:\\Program FilesX\\q.exe"}},
        {"a longer system folder name", "C:\\Windows\\System32X\\q.dll", process_64, {"C:\\Windows\\System32X\\q.dll"}},
        {"Program Files (x86) already", "C:\\Program Files (x86)\\Q", process_64, {"C:\\Program Files (x86)\\Q"}},
        {"SysWOW64 already", "C:\\Windows\\SysWOW64\\q.dll", process_32, {"C:\\Windows\\SysWOW64\\q.dll"}},
        {"another Windows folder", "D:\\Windows\\System32\\q.dll", process_64, {"D:\\Windows\\System32\\q.dll"}},
        {"not below a drive root", "Program Files\\Q", process_64, {"Program Files\\Q"}},
        {"another folder", "C:\\Tools\\q.exe", process_64, {"C:\\Tools\\q.exe"}},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        CHECK_EQ(MachinePathsOf(c.path, c.facts), c.expected);
    }
}

TEST(a_path_reached_through_sysnative_is_reported_as_system32) {
    const MachinePathFacts windows_32{"C:\\Windows", false, false};
    const MachinePathFacts process_32{"C:\\Windows", true, false};
    const MachinePathFacts process_64{"C:\\Windows", true, true};
    const struct {
        const char* what;
        std::string path;
        MachinePathFacts facts;
        std::string expected;
    } cases[] = {
        {"a driver", "C:\\Windows\\Sysnative\\drivers\\q.sys", process_32, "C:\\Windows\\System32\\drivers\\q.sys"},
        {"the folder itself", "C:\\Windows\\Sysnative", process_32, "C:\\Windows\\System32"},
        {"letter case and slashes as written", "c:\\WINDOWS/sysnative/Q.dll", process_32, "c:\\WINDOWS\\System32/Q.dll"},
        {"SysWOW64 stays", "C:\\Windows\\SysWOW64\\q.dll", process_32, "C:\\Windows\\SysWOW64\\q.dll"},
        {"System32 stays", "C:\\Windows\\System32\\q.dll", process_32, "C:\\Windows\\System32\\q.dll"},
        {"a longer name", "C:\\Windows\\SysnativeX\\q.dll", process_32, "C:\\Windows\\SysnativeX\\q.dll"},
        {"another Windows folder", "D:\\Windows\\Sysnative\\q.dll", process_32, "D:\\Windows\\Sysnative\\q.dll"},
        {"a 64-bit process has no Sysnative", "C:\\Windows\\Sysnative\\q.dll", process_64, "C:\\Windows\\Sysnative\\q.dll"},
        {"32-bit Windows has none", "C:\\Windows\\Sysnative\\q.dll", windows_32, "C:\\Windows\\Sysnative\\q.dll"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        CHECK_EQ(MachinePathOf(c.path, c.facts), c.expected);
    }
    // The copy a process reaches first is reported under the name it was looked up by.
    const std::string system32 = "C:\\Windows\\System32\\drivers\\q.sys";
    for (const MachinePathFacts& facts : {windows_32, process_32, process_64})
        CHECK_EQ(MachinePathOf(MachinePathsOf(system32, facts).front(), facts), system32);
}

TEST(a_file_in_syswow64_is_reached_through_its_system32_spelling) {
    if (MachineIs32BitWindows()) return;
    const std::string wow64 = SystemWow64Folder();
    CHECK(!wow64.empty());
    const ScratchFolder folder(wow64, "KestruneViewTest");
    folder.MakeFiles({"probe.txt"});
    const std::string name = FileNameOf(folder.Path());
    const std::vector<std::string> paths = MachinePathsOf(WindowsFolder() + "\\System32\\" + name + "\\probe.txt");
    CHECK_EQ(paths.size(), 2u);
    if (paths.size() != 2) return;
    CHECK(!FileExists(paths[0]));  // System32 is the 64-bit folder here
    CHECK(FileExists(paths[1]));
}
