// The COM and browser registration scanners against the real registry of the Wine prefix:
// classes, interfaces, add-on keys and elevation policies are registered under identifiers made
// fresh for each run, so that what the machine-wide walks find is exactly what a test put there,
// and removed again afterwards.
#include <windows.h>

#include <objbase.h>
#include <sddl.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "check.h"
#include "com_scanners.h"
#include "long_path.h"
#include "matching.h"
#include "registry_access.h"
#include "scan_info.h"
#include "win32/handles.h"

namespace {

const std::string kClsidItem = "HKLM|SOFTWARE\\Classes\\CLSID\\";
const std::string kAppIdItem = "HKLM|SOFTWARE\\Classes\\AppID\\";
const std::string kTypeLibItem = "HKLM|SOFTWARE\\Classes\\TypeLib\\";
const std::string kInterfaceItem = "HKLM|SOFTWARE\\Classes\\Interface\\";
const std::string kBhoPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";
const std::string kPreApprovedPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\PreApproved\\";
const std::string kStatsPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\";
const std::string kApprovedPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const std::string kToolbarPath = "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar";
const std::string kPolicyPath = "SOFTWARE\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\";

std::string NewGuid() {
    GUID guid = {};
    CHECK_EQ(CoCreateGuid(&guid), S_OK);
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

// count fresh identifiers in the order the registry enumerates sub-keys: by name, which for
// upper-case GUID texts is byte order. Expected lists can then be written in walk order.
StringList NewGuidsInNameOrder(int count) {
    StringList guids;
    for (int i = 0; i < count; ++i) guids.push_back(NewGuid());
    std::sort(guids.begin(), guids.end());
    return guids;
}

// The hive of the user the tests run as, "S-1-5-21-...".
std::string CurrentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return std::string();
    char buffer[256];
    DWORD length = 0;
    std::string sid;
    char* text = nullptr;
    if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &length) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
        sid = text;
        LocalFree(text);
    }
    CloseHandle(token);
    return sid;
}

// Keys and values a test adds to the registry, undone in reverse order when it goes out of
// scope, also after failed checks. Only keys this fixture created are deleted, and only once
// they are empty: a shared parent such as "Browser Helper Objects" or "Toolbar" that it created
// but that someone else has used since stays with what the other put there.
class RegistryChanges {
public:
    RegistryChanges() = default;
    RegistryChanges(const RegistryChanges&) = delete;
    RegistryChanges& operator=(const RegistryChanges&) = delete;
    ~RegistryChanges() {
        for (auto change = changes_.rbegin(); change != changes_.rend(); ++change) {
            if (change->is_key) {
                DeleteIfEmpty(change->root, change->key_path);
            } else {
                HKEY key = nullptr;
                if (RegOpenKeyExA(change->root, change->key_path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                    RegDeleteValueA(key, change->value_name.c_str());
                    RegCloseKey(key);
                }
            }
        }
    }

    // Creates the key and every missing key above it.
    void CreateKey(HKEY root, const std::string& key_path) {
        std::string path;
        std::size_t start = 0;
        while (start <= key_path.size()) {
            const std::size_t end = std::min(key_path.find('\\', start), key_path.size());
            path = key_path.substr(0, end);
            HKEY key = nullptr;
            DWORD disposition = 0;
            const LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                                &disposition);
            CHECK_EQ(status, ERROR_SUCCESS);
            if (status != ERROR_SUCCESS) return;
            RegCloseKey(key);
            if (disposition == REG_CREATED_NEW_KEY) changes_.push_back({root, path, true, std::string()});
            start = end + 1;
        }
    }

    // A string value (name "" is the default value), its key created when need be.
    void SetString(HKEY root, const std::string& key_path, const std::string& name, const std::string& text) {
        CreateKey(root, key_path);
        HKEY key = nullptr;
        CHECK_EQ(RegOpenKeyExA(root, key_path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        if (!key) return;
        changes_.push_back({root, key_path, false, name});
        CHECK_EQ(RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1)),
                 ERROR_SUCCESS);
        RegCloseKey(key);
    }

private:
    static void DeleteIfEmpty(HKEY root, const std::string& key_path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, key_path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
        DWORD sub_keys = 1, values = 1;
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &sub_keys, nullptr, nullptr, &values, nullptr, nullptr,
                         nullptr, nullptr);
        RegCloseKey(key);
        if (sub_keys == 0 && values == 0) RegDeleteKeyA(root, key_path.c_str());
    }

    struct Change {
        HKEY root;
        std::string key_path;
        bool is_key;
        std::string value_name;
    };
    std::vector<Change> changes_;
};

// One instance of this program at a time in the Wine prefix (two builds tested at once): a class
// walk counts the classes once and enumerates them by index, so classes that another instance
// adds or removes meanwhile shift the others past the walk. A crashed holder's mutex is abandoned,
// which hands it on.
class OneInstanceAtATime {
public:
    OneInstanceAtATime() : mutex_(CreateMutexA(nullptr, FALSE, "KestruneComScannerTests")) {
        if (mutex_.IsOpen()) WaitForSingleObject(mutex_.Get(), 5 * 60 * 1000);
    }
    ~OneInstanceAtATime() {
        if (mutex_.IsOpen()) ReleaseMutex(mutex_.Get());
    }
    OneInstanceAtATime(const OneInstanceAtATime&) = delete;
    OneInstanceAtATime& operator=(const OneInstanceAtATime&) = delete;

private:
    KernelHandle mutex_;
};
const OneInstanceAtATime one_instance_at_a_time;

// A module file that exists, with a long name in a folder with a long name, so that its short
// 8.3 path differs from its long path in every component that matters.
class LongNamedModule {
public:
    explicit LongNamedModule(const std::string& tag) {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "Kestrune Long Folder " + tag;
        name_ = "KestruneLongServer" + tag + ".dll";
        CHECK(CreateDirectoryA(folder_.c_str(), nullptr));
        const HANDLE file = CreateFileA(Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        CHECK(file != INVALID_HANDLE_VALUE);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        char short_path[MAX_PATH] = {};
        const DWORD length = GetShortPathNameA(Path().c_str(), short_path, MAX_PATH);
        CHECK(length > 0 && length < MAX_PATH);
        short_path_ = short_path;
        // Without a real short form the long-form test would prove nothing.
        CHECK(!short_path_.empty() && !TextContains(short_path_, name_));
    }
    ~LongNamedModule() {
        DeleteFileA(Path().c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    LongNamedModule(const LongNamedModule&) = delete;
    LongNamedModule& operator=(const LongNamedModule&) = delete;

    const std::string& Folder() const { return folder_; }
    const std::string& Name() const { return name_; }
    std::string Path() const { return folder_ + "\\" + name_; }
    const std::string& ShortPath() const { return short_path_; }

private:
    std::string folder_, name_, short_path_;
};

std::string LowerCased(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A run tag: part of every module and process name, so nothing else on the machine matches.
std::string NewTag() { return NewGuid().substr(1, 8); }

// The classes of one program, registered under HKLM\SOFTWARE\Classes\CLSID in name order.
struct RegisteredProgram {
    const std::string tag = NewTag();
    const std::string core_dll = "kst" + tag + "core.dll";
    const std::string host_exe = "kst" + tag + "host.exe";
    const std::string unrelated_dll = "unrelated" + tag + ".dll";
    const std::string folder = "C:\\Program Files\\Kestrune " + tag + "\\";
    LongNamedModule long_module{tag};
    const std::string appid = NewGuid(), typelib = NewGuid();
    const StringList classes = NewGuidsInNameOrder(8);
    const std::string& inproc = classes[0];                // core_dll, with AppID and TypeLib
    const std::string& shared_appid = classes[1];          // core_dll in upper case, the same AppID
    const std::string& local_command_line = classes[2];    // LocalServer32 only: quoted, with arguments
    const std::string& inproc_without_path = classes[3];   // empty InprocServer32, LocalServer32 host_exe
    const std::string& inproc_over_local = classes[4];     // InprocServer32 elsewhere, LocalServer32 host_exe
    const std::string& short_path = classes[5];            // the long module by its 8.3 path
    const std::string& unrelated = classes[6];             // named only by a record without a second field
    const std::string& blank_ids = classes[7];             // core_dll, blank AppID and TypeLib values
    // Known files core_dll, host_exe and the long module; the lone field names no module.
    const StringList records = {"KST" + tag + "|" + core_dll, "KST" + tag + "|" + host_exe + "|extra field",
                                unrelated_dll, "KST" + tag + "|" + long_module.Name()};
    RegistryChanges changes;

    RegisteredProgram() {
        Server(inproc, "InprocServer32", folder + core_dll);
        changes.SetString(HKEY_LOCAL_MACHINE, ClassKey(inproc), "AppID", appid);
        changes.SetString(HKEY_LOCAL_MACHINE, ClassKey(inproc) + "\\TypeLib", "", typelib);
        Server(shared_appid, "InprocServer32", "c:\\progra~1\\other\\" + UpperCased(core_dll));
        changes.SetString(HKEY_LOCAL_MACHINE, ClassKey(shared_appid), "AppID", appid);
        Server(local_command_line, "LocalServer32", "\"" + folder + host_exe + "\" /automation -embedding");
        changes.SetString(HKEY_LOCAL_MACHINE, ClassKey(inproc_without_path) + "\\InprocServer32", "ThreadingModel",
                          "Both");
        Server(inproc_without_path, "LocalServer32", folder + host_exe);
        Server(inproc_over_local, "InprocServer32", "C:\\Windows\\System32\\ole32.dll");
        Server(inproc_over_local, "LocalServer32", folder + host_exe);
        Server(short_path, "InprocServer32", long_module.ShortPath());
        Server(unrelated, "InprocServer32", folder + unrelated_dll);
        Server(blank_ids, "InprocServer32", folder + core_dll);
        changes.SetString(HKEY_LOCAL_MACHINE, ClassKey(blank_ids), "AppID", "  ");
        changes.SetString(HKEY_LOCAL_MACHINE, ClassKey(blank_ids) + "\\TypeLib", "", "");
    }

    static std::string ClassKey(const std::string& clsid) { return "SOFTWARE\\Classes\\CLSID\\" + clsid; }
    void Server(const std::string& clsid, const std::string& kind, const std::string& path) {
        changes.SetString(HKEY_LOCAL_MACHINE, ClassKey(clsid) + "\\" + kind, "", path);
    }
    // The classes the scan finds, in walk order.
    StringList FoundClsids() const { return {inproc, shared_appid, local_command_line, short_path, blank_ids}; }
};

}  // namespace

TEST(ServerPathsMatchAsWrittenOrByTheirLongForm) {
    const LongNamedModule module(NewTag());
    const std::string& name = module.Name();
    const struct {
        const char* row;
        StringList known_files;
        std::string server_path;
        const char* matched;  // nullptr: no match
    } cases[] = {
        {"contains, ignoring case", {"kst.dll"}, "C:\\Program Files\\Kst\\KST.DLL", "kst.dll"},
        {"first in list order", {"absent.dll", "kst.DLL", "Kst"}, "C:\\Kst\\kst.dll", "kst.DLL"},
        {"8.3 path by the long name", {"absent.dll", name}, module.ShortPath(), name.c_str()},
        {"quoted long path with arguments", {name}, "\"" + module.Path() + "\" /automation", name.c_str()},
        {"quoted 8.3 path has no long form", {name}, "\"" + module.ShortPath() + "\" /automation", nullptr},
        {"no known files", {}, module.Path(), nullptr},
        {"empty known file", {""}, module.Path(), nullptr},
        {"empty server path", {name}, "", nullptr},
        {"known file longer than the path", {"C:\\kst.dll\\more"}, "C:\\kst.dll", nullptr},
    };
    for (const auto& c : cases) {
        CONTEXT(c.row);
        std::string matched = "untouched";
        CHECK_EQ(MatchServerFile(c.known_files, c.server_path, matched), c.matched != nullptr);
        CHECK_EQ(matched, std::string(c.matched ? c.matched : "untouched"));
    }

    // A path without a drive is never expanded, even where the system could expand it.
    char saved[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, saved);
    CHECK(SetCurrentDirectoryA(module.Folder().c_str()));
    const std::string short_name = module.ShortPath().substr(module.ShortPath().rfind('\\') + 1);
    CHECK(TextContains(GetLongPath(short_name), name));
    std::string matched;
    CHECK(!MatchServerFile({name}, short_name, matched));
    SetCurrentDirectoryA(saved);
}

TEST(LongFormsAreLookedUpOncePerPathTextAndOnlyForShortNames) {
    const LongNamedModule module(NewTag());
    const std::string& name = module.Name();
    LongPathCache long_forms;
    const struct {
        const char* row;
        StringList known_files;
        std::string server_path;
        bool matches;
        std::size_t converted;  // path texts converted so far
    } steps[] = {
        {"an 8.3 path is converted", {"absent.dll", name}, module.ShortPath(), true, 1},
        {"the same text again is not", {"absent.dll", name}, module.ShortPath(), true, 1},
        {"nor is it for a miss", {"absent.dll"}, module.ShortPath(), false, 1},
        {"a path without a short name is never converted", {"absent.dll"}, module.Path(), false, 1},
        // 亊 is 81 7E in code page 936: its trail byte is no "~".
        {"a trail byte like ~ is no short name", {"absent.dll"}, "C:\\亊\\server.dll", false, 1},
        {"a plain match needs no long form", {"Kestrune Long"}, module.Folder() + "\\KESTRU~1.DLL", true, 1},
        {"the key is the exact text", {name}, LowerCased(module.ShortPath()), true, 2},
    };
    for (const auto& step : steps) {
        CONTEXT(step.row);
        std::string matched;
        CHECK_EQ(MatchServerFile(step.known_files, step.server_path, matched, &long_forms), step.matches);
        CHECK_EQ(long_forms.Size(), step.converted);
    }
    // The cache gives what a fresh conversion gives.
    CHECK_EQ(long_forms.LongFormOf(module.ShortPath()), GetLongPath(module.ShortPath()));
    CHECK_EQ(long_forms.LongFormOf(module.ShortPath()), module.Path());
}

TEST(ComScanFindsTheClassesOfTheProgramsModules) {
    const RegisteredProgram program;
    StringList clsids = {"stale"};
    ComRegistrations found;
    found.class_keys = found.bho_keys = {"stale"};
    ScanComRegistrations(program.records, clsids, found, RegistryView::kDefault);

    CHECK_EQ(clsids, program.FoundClsids());
    CHECK_EQ(found.class_keys, (StringList{
                                   kClsidItem + program.inproc + "|" + program.core_dll,
                                   kClsidItem + program.shared_appid + "|" + program.core_dll,
                                   kClsidItem + program.local_command_line + "|" + program.host_exe,
                                   kClsidItem + program.short_path + "|" + program.long_module.Name(),
                                   kClsidItem + program.blank_ids + "|" + program.core_dll,
                               }));
    // Two classes, one AppID: two items. Blank AppID and TypeLib values give none.
    CHECK_EQ(found.appid_keys, (StringList{kAppIdItem + program.appid + "|" + program.core_dll,
                                           kAppIdItem + program.appid + "|" + program.core_dll}));
    CHECK_EQ(found.typelib_keys, StringList{kTypeLibItem + program.typelib + "|" + program.core_dll});
    CHECK(found.bho_keys.empty());  // filled afresh
}

TEST(InterfacesBelongByIidThenTypeLibraryThenProxyStub) {
    RegisteredProgram program;
    const StringList iids = NewGuidsInNameOrder(5);
    const auto set = [&](const std::string& iid, const std::string& entry, const std::string& id) {
        program.changes.SetString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Interface\\" + iid + "\\" + entry, "", id);
    };
    set(iids[0], "TypeLib", program.typelib);
    set(iids[1], "TypeLib", NewGuid());  // a library the walk did not find decides, not the proxy stub
    set(iids[1], "ProxyStubClsid32", program.inproc);
    set(iids[2], "ProxyStubClsid32", program.local_command_line);
    set(iids[3], "ProxyStubClsid", " " + program.short_path + " ");
    set(iids[4], "ProxyStubClsid32", program.unrelated);  // the 32-bit entry decides when present
    set(iids[4], "ProxyStubClsid", program.inproc);
    set(program.shared_appid, "TypeLib", NewGuid());  // an interface named as a found class

    StringList clsids;
    ComRegistrations found;
    ScanComRegistrations(program.records, clsids, found, RegistryView::kDefault);
    StringList expected = {iids[0], iids[2], iids[3], program.shared_appid};
    std::sort(expected.begin(), expected.end());
    for (std::string& iid : expected) iid = kInterfaceItem + iid;
    CHECK_EQ(found.interface_keys, expected);
}

TEST(BrowserAddOnsAreFoundByTheFoundClasses) {
    RegisteredProgram program;
    const std::string user_hive = CurrentUserSid();
    CHECK(!user_hive.empty());
    const std::string user_stats = user_hive + "\\Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\";
    RegistryChanges& changes = program.changes;
    // Blanks around a name are trimmed, so " {X} " and "{X}" give one item.
    changes.CreateKey(HKEY_LOCAL_MACHINE, kBhoPath + "  " + program.inproc + " ");
    changes.CreateKey(HKEY_LOCAL_MACHINE, kBhoPath + program.inproc);
    changes.CreateKey(HKEY_LOCAL_MACHINE, kBhoPath + program.local_command_line);
    changes.CreateKey(HKEY_LOCAL_MACHINE, kBhoPath + program.unrelated);
    std::string lower_case = program.short_path;
    std::transform(lower_case.begin(), lower_case.end(), lower_case.begin(), ::tolower);
    changes.CreateKey(HKEY_LOCAL_MACHINE, kPreApprovedPath + lower_case);
    changes.CreateKey(HKEY_LOCAL_MACHINE, kPreApprovedPath + program.unrelated);
    changes.CreateKey(HKEY_LOCAL_MACHINE, kStatsPath + program.inproc);
    changes.CreateKey(HKEY_LOCAL_MACHINE, kStatsPath + program.local_command_line);
    changes.CreateKey(HKEY_USERS, user_stats + program.inproc);
    changes.CreateKey(HKEY_USERS, user_stats + program.blank_ids);  // not under HKLM: not found
    changes.SetString(HKEY_LOCAL_MACHINE, kApprovedPath, " " + program.local_command_line + " ", "shell extension");
    changes.SetString(HKEY_LOCAL_MACHINE, kApprovedPath, program.unrelated, "shell extension");
    changes.SetString(HKEY_LOCAL_MACHINE, kToolbarPath, program.inproc, "");
    changes.SetString(HKEY_LOCAL_MACHINE, kToolbarPath, program.unrelated, "");

    StringList clsids;
    ComRegistrations found;
    ScanComRegistrations(program.records, clsids, found, RegistryView::kDefault);
    CHECK_EQ(found.bho_keys, (StringList{"HKLM|" + kBhoPath + program.inproc,
                                         "HKLM|" + kBhoPath + program.local_command_line}));
    CHECK_EQ(found.preapproved_keys, StringList{"HKLM|" + kPreApprovedPath + lower_case});
    CHECK_EQ(found.stats_keys, (StringList{"HKLM|" + kStatsPath + program.inproc,
                                           "HKU|" + user_hive + "\\" + kStatsPath + program.inproc,
                                           "HKLM|" + kStatsPath + program.local_command_line}));

    // The value scanners leave the scan text alone.
    ScanInfoText::Set("before");
    StringList approved, toolbars;
    ScanApprovedShellExtensions(clsids, approved, RegistryView::kDefault);
    ScanIeToolbars(clsids, toolbars, RegistryView::kDefault);
    CHECK_EQ(approved, StringList{"HKLM|" + kApprovedPath + "|" + program.local_command_line});
    CHECK_EQ(toolbars, StringList{"HKLM|" + kToolbarPath + "|" + program.inproc});
    CHECK_EQ(ScanInfoText::Get(), std::string("before"));
}

TEST(WithoutComRecordsOnlyTheClassAndInterfaceWalksRun) {
    RegistryChanges changes;
    changes.CreateKey(HKEY_LOCAL_MACHINE, kBhoPath + NewGuid());
    for (const StringList& records : {StringList{}, StringList{"KEY-ONLY", ""}}) {
        CONTEXT(records.empty() ? "no records" : "records without a second field");
        StringList clsids = {"stale"};
        ComRegistrations found;
        ScanInfoText::Set("before");
        ScanComRegistrations(records, clsids, found, RegistryView::kDefault);
        CHECK(clsids.empty());
        for (const StringList* list : {&found.class_keys, &found.appid_keys, &found.typelib_keys,
                                       &found.interface_keys, &found.bho_keys, &found.preapproved_keys,
                                       &found.stats_keys})
            CHECK(list->empty());
        CHECK(ScanInfoText::Get() != "before");  // the walks named what they examined
    }
    // With no CLSIDs the add-on scanners return before looking at anything.
    ScanInfoText::Set("before");
    StringList output;
    ScanBrowserHelperObjects({}, output, RegistryView::kDefault);
    ScanPreApproved({}, output, RegistryView::kDefault);
    ScanExtStats({}, output, RegistryView::kDefault);
    CHECK(output.empty());
    CHECK_EQ(ScanInfoText::Get(), std::string("before"));
}

TEST(ClassWalkOverAnyRootKeepsValuesAsRead) {
    RegistryChanges changes;
    const std::string base = "SOFTWARE\\KestruneTest-" + std::to_string(GetCurrentProcessId()) + "\\CLSID\\";
    const std::string tag = NewTag();
    const std::string module = "C:\\Kestrune " + tag + "\\kst" + tag + ".dll";
    const StringList classes = NewGuidsInNameOrder(2);
    const std::string appid = NewGuid(), typelib = NewGuid();
    changes.SetString(HKEY_LOCAL_MACHINE, base + "   \\InprocServer32", "", module);  // a blank name: no class
    changes.SetString(HKEY_LOCAL_MACHINE, base + classes[0] + "\\InprocServer32", "", module);
    changes.SetString(HKEY_LOCAL_MACHINE, base + classes[0], "AppID", " " + appid + " ");
    changes.SetString(HKEY_LOCAL_MACHINE, base + classes[0] + "\\TypeLib", "", typelib + "\t");
    changes.SetString(HKEY_LOCAL_MACHINE, base + classes[1] + "\\InprocServer32", "", module);
    changes.SetString(HKEY_LOCAL_MACHINE, base + classes[1], "AppID", "\\");  // would name all AppIDs
    changes.SetString(HKEY_LOCAL_MACHINE, base + classes[1] + "\\TypeLib", "", " \\\\ ");

    StringList class_keys = {"stale"}, appid_keys = {"stale"}, typelib_keys = {"stale"};
    StringList clsids = {"kept"}, typelib_ids = {"kept"};
    const std::string known = "KST" + tag + ".DLL";
    ScanClsidServers(HKEY_LOCAL_MACHINE, "HKLM", base, {known}, class_keys, appid_keys, typelib_keys, clsids,
                     typelib_ids, RegistryView::kDefault);
    CHECK_EQ(class_keys, (StringList{"HKLM|" + base + classes[0] + "|" + known,
                                     "HKLM|" + base + classes[1] + "|" + known}));
    CHECK_EQ(clsids, (StringList{"kept", classes[0], classes[1]}));
    // AppID and TypeLib values enter the items as read, the type-library ids trimmed.
    CHECK_EQ(appid_keys, StringList{kAppIdItem + " " + appid + " |" + known});
    CHECK_EQ(typelib_keys, StringList{kTypeLibItem + typelib + "\t|" + known});
    CHECK_EQ(typelib_ids, (StringList{"kept", typelib}));
}

// A class key large enough to be read on several threads: the items, the identifiers and the
// server filter's calls come in enumeration order, as from one pass.
TEST(ClassWalkOverManyClassesKeepsEnumerationOrder) {
    RegistryChanges changes;
    const std::string base = "SOFTWARE\\KestruneTest-" + std::to_string(GetCurrentProcessId()) + "\\CLSID\\";
    const std::string tag = NewTag();
    const std::string first = "KSTA" + tag + ".DLL", second = "KSTB" + tag + ".EXE";
    const StringList classes = NewGuidsInNameOrder(2100);
    StringList expected_classes, expected_clsids, expected_appids, expected_typelibs, expected_typelib_ids;
    StringList expected_filtered;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const std::string& clsid = classes[i];
        const bool refused = i % 97 == 5;  // a class the server filter refuses: nothing of it
        const std::string module = i % 3 == 2 ? "C:\\Other\\other.dll"
                                   : refused  ? "C:\\Refused\\ksta" + tag + ".dll"
                                   : i % 3 == 0 ? "C:\\Kst\\ksta" + tag + ".dll"
                                                : "\"C:\\Kst\\kstb" + tag + ".exe\" /Automation";
        // The executables' classes are local servers, the libraries' in-process ones.
        changes.SetString(HKEY_LOCAL_MACHINE, base + clsid + (i % 3 == 1 ? "\\LocalServer32" : "\\InprocServer32"),
                          "", module);
        const std::string appid = "{A" + std::to_string(i) + "}", typelib = "{T" + std::to_string(i) + "}";
        if (i % 5 == 0) changes.SetString(HKEY_LOCAL_MACHINE, base + clsid, "AppID", appid);
        if (i % 7 == 0) changes.SetString(HKEY_LOCAL_MACHINE, base + clsid + "\\TypeLib", "", typelib);
        if (i % 3 == 2) continue;
        expected_filtered.push_back(module);
        if (refused) continue;
        const std::string known = i % 3 == 0 ? first : second;
        expected_classes.push_back("HKLM|" + base + clsid + "|" + known);
        expected_clsids.push_back(clsid);
        if (i % 5 == 0) expected_appids.push_back(kAppIdItem + appid + "|" + known);
        if (i % 7 == 0) {
            expected_typelibs.push_back(kTypeLibItem + typelib + "|" + known);
            expected_typelib_ids.push_back(typelib);
        }
    }

    StringList class_keys, appid_keys, typelib_keys, clsids, typelib_ids, filtered;
    const DWORD caller = GetCurrentThreadId();
    bool filtered_on_caller = true;
    ScanClsidServers(HKEY_LOCAL_MACHINE, "HKLM", base, {first, second}, class_keys, appid_keys, typelib_keys, clsids,
                     typelib_ids, RegistryView::kDefault, [&](const std::string& server_path) {
                         filtered_on_caller = filtered_on_caller && GetCurrentThreadId() == caller;
                         filtered.push_back(server_path);
                         return !ContainsExact(server_path, "\\Refused\\");
                     });
    CHECK(filtered_on_caller);
    CHECK_EQ(filtered, expected_filtered);
    CHECK_EQ(class_keys, expected_classes);
    CHECK_EQ(clsids, expected_clsids);
    CHECK_EQ(appid_keys, expected_appids);
    CHECK_EQ(typelib_keys, expected_typelibs);
    CHECK_EQ(typelib_ids, expected_typelib_ids);
}

TEST(ElevationPoliciesByAppNameOrElseAppPath) {
    RegistryChanges changes;
    const std::string tag = NewTag();
    const StringList policies = NewGuidsInNameOrder(5);
    const auto set = [&](const std::string& policy, const char* name, const std::string& value) {
        changes.SetString(HKEY_LOCAL_MACHINE, kPolicyPath + policy, name, value);
    };
    set(policies[0], "AppName", " kst" + tag + "app.exe ");  // found by name, wherever it lies
    set(policies[0], "AppPath", "C:\\Elsewhere");
    set(policies[1], "AppPath", "c:\\program files\\kestrune " + tag + "\\bin");  // no name: by path
    set(policies[2], "AppName", "other.exe");  // a name not the program's: by path
    set(policies[2], "AppPath", "C:\\Program Files\\Kestrune " + tag);
    set(policies[3], "AppName", "other.exe");
    set(policies[3], "AppPath", "C:\\Program Files\\Elsewhere");
    changes.CreateKey(HKEY_LOCAL_MACHINE, kPolicyPath + policies[4]);  // neither value

    StringList output = {"HKLM|" + kPolicyPath + policies[1]};  // added once
    ScanElevationPolicy({"OTHER" + tag + ".EXE", "KST" + tag + "APP.EXE"},
                        {"", "C:\\PROGRAM FILES\\KESTRUNE " + tag}, output, RegistryView::kDefault);
    CHECK_EQ(output, (StringList{"HKLM|" + kPolicyPath + policies[1], "HKLM|" + kPolicyPath + policies[0],
                                 "HKLM|" + kPolicyPath + policies[2]}));
}
