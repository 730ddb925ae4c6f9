// The signature source writer: what each kind of trace becomes (a record, or a comment saying why
// not), and that hdbtool.exe builds what it writes. The machine is described by fixed facts of a
// 64-bit Windows, so the expected lines do not depend on the prefix.
#include <windows.h>

#include <string>
#include <vector>

#include "check.h"
#include "code_page.h"
#include "file_system.h"
#include "new_key_contents.h"
#include "scratch_folder.h"
#include "signature_source.h"

namespace {

// Literals are code page 936 in this build; the writer's output is UTF-8.
std::string Utf8(const std::string& cp936) {
    std::string utf8;
    CHECK(Cp936ToUtf8(cp936, utf8));
    return utf8;
}

TraceMachineFacts Machine() {
    TraceMachineFacts facts;
    facts.profile = "C:\\users\\tom";
    facts.app_data = "C:\\users\\tom\\AppData\\Roaming";
    facts.local_app_data = "C:\\users\\tom\\AppData\\Local";
    facts.start_menu_programs = "C:\\users\\tom\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
    facts.other_profiles = {"C:\\users\\ann"};
    facts.program_data = "C:\\ProgramData";
    facts.common_start_menu_programs = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
    facts.program_files = "C:\\Program Files";
    facts.program_files_x86 = "C:\\Program Files (x86)";
    facts.common_files = "C:\\Program Files\\Common Files";
    facts.common_files_x86 = "C:\\Program Files (x86)\\Common Files";
    facts.windows = "C:\\windows";
    facts.windows_64bit = true;
    facts.names_in_use = {{"HELPER2.EXE", "C:\\Program Files\\Other\\helper2.exe"},
                          {"SHAREDKIT", "C:\\ProgramData\\SharedKit"}};
    return facts;
}

TraceRequest Request(const std::string& file = "Z:\\work\\signatures\\SW\\yunfan-notes.sig") {
    TraceRequest request;
    request.signature_file = file;
    request.installer_command_line = "setup.exe /S";
    request.traced_at = "2024-05-01 10:00:00";
    return request;
}

TracedRegistration Registration(const std::string& key, const std::string& name) {
    TracedRegistration registration;
    registration.key = key;
    registration.display_name = name;
    registration.display_version = "3.1";
    return registration;
}

const char kUninstall32[] = "HKLM|SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\YunfanNotes";

// A 32-bit program in Program Files (x86), its data in the profiles, a driver, COM classes,
// registry keys of both halves, and a service and shortcut.
TracedChanges Installation() {
    TracedChanges changes;
    changes.added_paths = {
        {"C:\\Program Files (x86)\\YunfanNotes", true},
        {"C:\\Program Files (x86)\\YunfanNotes\\bin", true},
        {"C:\\Program Files (x86)\\YunfanNotes\\bin\\notes.exe", false},
        {"C:\\Program Files (x86)\\YunfanNotes\\bin\\helper2.exe", false},
        {"C:\\Program Files (x86)\\YunfanNotes\\uninstall.exe", false},
        {"C:\\Program Files (x86)\\YunfanNotes\\notesshell.dll", false},
        {"C:\\Program Files (x86)\\YunfanNotes\\readme.txt", false},
        {"C:\\Program Files (x86)\\Common Files\\YunfanShared", true},
        {"C:\\Program Files (x86)\\Common Files\\YunfanShared\\ynshared.dll", false},
        {"C:\\users\\tom\\AppData\\Roaming\\YunfanNotes", true},
        {"C:\\users\\tom\\AppData\\Roaming\\YunfanNotes\\settings.ini", false},
        {"C:\\users\\tom\\AppData\\Local\\Programs\\YunfanLite", true},
        {"C:\\users\\tom\\AppData\\Local\\Programs\\YunfanLite\\lite.exe", false},
        {"C:\\users\\tom\\AppData\\Local\\yunfan.dat", false},
        {"C:\\users\\ann\\AppData\\Roaming\\yunfan-ann.cfg", false},
        {"C:\\users\\tom\\yunfan-profile.cfg", false},
        {"C:\\users\\tom\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\\xD4\xC6\xB7\xAB\xB1\xCA\xBC\xC7", true},
        {"C:\\users\\tom\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\\xD4\xC6\xB7\xAB\xB1\xCA\xBC\xC7\\notes.lnk", false},
        {"C:\\ProgramData\\SharedKit", true},
        {"C:\\ProgramData\\Temp", true},
        {"C:\\ProgramData\\Yun?Cache", true},
        {"C:\\windows\\SysWOW64\\ynhook.dll", false},
        {"C:\\windows\\system32\\drivers\\ynflt.sys", false},
        {"C:\\windows\\Installer\\1a2b3c.msi", false},
        {"C:\\Other\\Deep\\NewDir", true},
        {"C:\\Other\\Deep\\NewDir\\note.txt", false},
        {"C:\\Other\\loose.txt", false},
        {"C:\\Other\\Tom's\\x.dll", false},
        {"C:\\Other\\100%\\y.dll", false},
        {"D:\\Games\\yn.dll", false},
    };
    changes.changed_files = {"C:\\windows\\win.ini"};
    changes.added_keys = {
        "HKLM|SOFTWARE\\Wow6432Node\\YunfanNotes",
        "HKLM|SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{11111111-2222-3333-4444-555555555555}",
        "HKCU|Software\\Classes\\Wow6432Node\\CLSID\\{66666666-2222-3333-4444-555555555555}",
        "HKLM|SOFTWARE\\YunfanNotes64",
        "HKCU|Software\\YunfanNotes",
        "HKU|S-1-5-21-1-2-3-1001\\Software\\YunfanNotes",
        "HKLM|SOFTWARE\\Wow6432Node\\Yunfan|Odd",
        "HKLM|SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
        kUninstall32,
    };
    changes.values = {
        {"HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run", "YunfanNotes", REG_SZ, "notes.exe", false},
        {"HKLM|SOFTWARE\\Wow6432Node\\Classes\\.ynote", "", REG_SZ, "YunfanNotes.Note", false},
        {"HKCU|Software\\Vendor", "say \"hi\"", REG_SZ, "x", false},
        {"HKCU|Software\\Vendor", "a|b", REG_SZ, "x", false},
        {"HKLM|SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", "C:\\x.dll", REG_DWORD, "1", false},
        {"HKCU|Software\\Classes\\.txt", "", REG_SZ, "YunfanNotes.Note\nsecond", true},
    };
    changes.added_services = {{"ynflt", "Yunfan Filter", "System32\\drivers\\ynflt.sys", SERVICE_KERNEL_DRIVER}};
    changes.added_shortcuts = {
        {"C:\\users\\tom\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\\xD4\xC6\xB7\xAB\xB1\xCA\xBC\xC7\\notes.lnk",
         "C:\\Program Files (x86)\\YunfanNotes\\bin\\notes.exe"}};
    changes.registrations = {Registration(kUninstall32, "\xD4\xC6\xB7\xAB\xB1\xCA\xBC\xC7 3.1"),
                             Registration("HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\YunfanLite",
                                          "Yunfan Lite")};
    changes.filtered = {"temporary files: C:\\windows\\Temp\\setup.tmp"};
    return changes;
}

std::vector<TracedComClass> ComClasses() {
    return {
        {"{11111111-2222-3333-4444-555555555555}",
         "HKLM|SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{11111111-2222-3333-4444-555555555555}",
         "C:\\Program Files (x86)\\YunfanNotes\\notesshell.dll", false},
        {"{66666666-2222-3333-4444-555555555555}",
         "HKCU|Software\\Classes\\Wow6432Node\\CLSID\\{66666666-2222-3333-4444-555555555555}",
         "C:\\windows\\system32\\mscoree.dll", false},
        {"{77777777-2222-3333-4444-555555555555}", "HKLM|SOFTWARE\\Classes\\CLSID\\{77777777-2222-3333-4444-555555555555}",
         "C:\\Program Files (x86)\\YunfanNotes\\hijack.dll", true},
    };
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& candidate : lines)
        if (candidate == line) return true;
    return false;
}

bool HasLineWith(const std::vector<std::string>& lines, const std::string& part) {
    for (const std::string& candidate : lines)
        if (candidate.find(part) != std::string::npos) return true;
    return false;
}

// hdbtool.exe of this build, beside the test program, builds the source as the maintainer would.
DWORD BuildWithHdbtool(const std::string& source_utf8, const ScratchFolder& scratch) {
    const std::string type_folder = scratch.Path() + "\\signatures\\SW";
    CreateDirectories(type_folder);
    const std::string source_path = type_folder + "\\yunfan-notes.sig";
    HANDLE file = CreateFileA(source_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, source_utf8.data(), static_cast<DWORD>(source_utf8.size()), &written, nullptr);
    CloseHandle(file);

    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string hdbtool = exe;
    hdbtool = hdbtool.substr(0, hdbtool.find_last_of('\\')) + "\\hdbtool.exe";
    std::string command = "\"" + hdbtool + "\" build \"" + scratch.Path() + "\\signatures\" \"" + scratch.Path() +
                          "\\REZ.hdb3\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(hdbtool.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1000;
    WaitForSingleObject(process.hProcess, 120000);
    DWORD code = 1001;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

}  // namespace

TEST(EveryKindOfTraceBecomesItsRecordOrACommentSayingWhy) {
    const SignatureSourceText source = WriteSignatureSource(Installation(), ComClasses(), Request(), Machine());
    CHECK(source.written);
    const std::vector<std::string> lines = Lines(source.utf8_text);
    const std::string name = Utf8("\xD4\xC6\xB7\xAB\xB1\xCA\xBC\xC7");
    struct Case {
        const char* what;
        std::string line;
    };
    const Case present[] = {
        {"key from the file name, type from its folder", "KEY: SW-YUNFAN-NOTES"},
        {"catalogue line of the first registration, 32-bit program", "LI: " + name + " 3.1|Software Management|3.1|5.1|6.1|" + Utf8("32位")},
        {"every registration's name", "IDN: " + name + " 3.1"},
        {"every registration's name", "IDN: Yunfan Lite"},
        {"top folder in Program Files (x86)", "FL: YunfanNotes"},
        {"top folder in Common Files (x86)", "FL: YunfanShared"},
        {"top folder in AppData", "FL: YunfanNotes"},
        {"top folder in Local AppData\\Programs", "FL: YunfanLite"},
        {"top folder in the Start menu, Chinese name", "FL: " + name},
        {"installed programs", "PR: notes.exe"},
        {"installed programs", "PR: lite.exe"},
        {"the (x86) folder by the 64-bit one's variable", "CF: %PROGRAMFILES%\\YunfanNotes\\bin\\notes.exe"},
        {"Common Files before Program Files", "CF: %COMMONPROGRAMFILES%\\YunfanShared\\ynshared.dll"},
        {"program in Local AppData", "CF: %LOCALAPPDATA%\\Programs\\YunfanLite\\lite.exe"},
        {"any file outside the new folders", "CF: %LOCALAPPDATA%\\yunfan.dat"},
        {"another profile's AppData", "CF: %APPDATA%\\yunfan-ann.cfg"},
        {"profile root", "CF: %USERPROFILE%\\yunfan-profile.cfg"},
        {"SysWOW64 by the System32 name the analysis searches with it", "CF: %WINDIR%\\System32\\ynhook.dll"},
        {"a plain path elsewhere on the system drive", "CF: C:\\Other\\loose.txt"},
        {"a generic program is still a core file", "CF: %PROGRAMFILES%\\YunfanNotes\\uninstall.exe"},
        {"driver", "IS: ynflt.sys"},
        {"COM module, CLSID as a comment", "RAXC: notesshell.dll"},
        {"COM module, CLSID as a comment",
         "# {11111111-2222-3333-4444-555555555555} -> C:\\Program Files (x86)\\YunfanNotes\\notesshell.dll"},
        {"32-bit half by its shared name", "RN: HKLM|SOFTWARE\\YunfanNotes"},
        {"32-bit classes by their shared name", "RN: HKLM|SOFTWARE\\Classes\\CLSID\\{11111111-2222-3333-4444-555555555555}"},
        {"the user's 32-bit classes", "RN: HKCU|Software\\Classes\\CLSID\\{66666666-2222-3333-4444-555555555555}"},
        {"64-bit half as it is", "RN: HKLM|SOFTWARE\\YunfanNotes64"},
        {"other users' hives", "RN: HKU|S-1-5-21-1-2-3-1001\\Software\\YunfanNotes"},
        {"registration key", "RN: HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\YunfanNotes"},
        {"registration key not among the new keys", "RN: HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\YunfanLite"},
        {"new value in an existing key", "RN: HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run|\"YunfanNotes\""},
        {"new default value", "RN: HKLM|SOFTWARE\\Classes\\.ynote|\"\""},
        {"a bar inside a quoted value name", "RN: HKCU|Software\\Vendor|\"a|b\""},
        {"generic program names", Utf8("# 通用名称, 未写入: PR: uninstall.exe (a well-known generic name)")},
        {"names other programs use",
         Utf8("# 通用名称, 未写入: PR: helper2.exe (also used by C:\\Program Files\\Other\\helper2.exe)")},
        {"generic folder names", Utf8("# 通用名称, 未写入: FL: SharedKit (also used by C:\\ProgramData\\SharedKit)")},
    };
    for (const Case& expected : present) {
        CONTEXT(expected.what);
        CHECK(HasLine(lines, expected.line));
    }
    const Case commented[] = {
        {"sub-type to choose", Utf8("子类别: choose the sub-type")},
        {"a name of Windows' folders", "FL: Temp"},
        {"a character without a code page 936 form", "FL: Yun?Cache"},
        {"a file off the system drive", "CF: D:\\Games\\yn.dll"},
        {"an unpaired quote", "CF: C:\\Other\\Tom's\\x.dll"},
        {"a percent sign", "CF: C:\\Other\\100%\\y.dll"},
        {"a module of Windows", "RAXC: mscoree.dll"},
        {"a class that existed", "RAXC: hijack.dll"},
        {"a bar in a key name", "RN: HKLM|SOFTWARE\\Wow6432Node\\Yunfan|Odd"},
        {"a protected key", "RN: HKLM|SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"},
        {"a double quote in a value name", "say \"hi\""},
        {"a shared-DLL count", "SharedDLLs"},
        {"the service", "ynflt (Yunfan Filter): System32\\drivers\\ynflt.sys"},
        {"the shortcut", "notes.lnk -> C:\\Program Files (x86)\\YunfanNotes\\bin\\notes.exe"},
        {"a new folder not in a top folder place", "#   C:\\Other\\Deep\\NewDir"},
        {"the installer cache", "#   C:\\windows\\Installer\\1a2b3c.msi"},
        {"changed files", "#   C:\\windows\\win.ini"},
        {"changed values, on one line", "YunfanNotes.Note\\x0Asecond"},
        {"the noise filter's lines", "#   temporary files: C:\\windows\\Temp\\setup.tmp"},
    };
    for (const Case& expected : commented) {
        CONTEXT(expected.what);
        CHECK(HasLineWith(lines, expected.line));
        for (const std::string& line : lines)
            if (line.find(expected.line) != std::string::npos) CHECK(line[0] == '#');
    }
    const Case absent[] = {
        {"a file in a new folder that is no program or module", "readme.txt"},
        {"the shortcut file", "CF: %APPDATA%\\Microsoft"},
        {"a file in a new folder elsewhere", "note.txt"},
        {"generic folder", "FL: bin"},
        {"drivers are IS records only", "CF: %WINDIR%\\system32\\drivers"},
    };
    for (const Case& expected : absent) {
        CONTEXT(expected.what);
        CHECK(!HasLineWith(lines, expected.line));
    }

    ScratchFolder scratch("C:\\", "trace_writer");
    CHECK_EQ(BuildWithHdbtool(source.utf8_text, scratch), 0u);
}

TEST(TheCatalogueLineNeedsANameAndFitsTheFilters) {
    TracedChanges changes = Installation();
    changes.registrations.clear();
    const TraceMachineFacts facts = Machine();

    const SignatureSourceText unnamed = WriteSignatureSource(changes, {}, Request(), facts);
    CHECK(!unnamed.written);
    CHECK(unnamed.error.find("--name NAME") != std::string::npos);

    TraceRequest named = Request();
    named.program_name = "Yunfan Notes";
    named.sub_type = "Photo Tools";
    named.type = "SW";
    named.run_problem = "the installer did not finish in time; still running, left running: helper.exe";
    const SignatureSourceText source = WriteSignatureSource(changes, {}, named, facts);
    CHECK(source.written);
    const std::vector<std::string> lines = Lines(source.utf8_text);
    CHECK(HasLine(lines, "LI: Yunfan Notes|Photo Tools|-|5.1|6.1|" + Utf8("32位")));
    CHECK(!HasLineWith(lines, "choose the sub-type"));
    CHECK(HasLineWith(lines, "still running, left running: helper.exe"));

    // A registration whose name cannot be the catalogue name needs one given.
    struct Case {
        const char* what;
        std::string display_name;
    };
    const Case faulty[] = {
        {"a character without a code page 936 form", "Yunfan ? Notes"},
        {"a bar", "Yunfan|Notes"},
        {"another sub-type's name", "Yunfan Video Players"},
        {"not code page 936", "Yunfan \x81"},
    };
    for (const Case& bad : faulty) {
        CONTEXT(bad.what);
        changes.registrations = {Registration(kUninstall32, bad.display_name)};
        const SignatureSourceText refused = WriteSignatureSource(changes, {}, Request(), facts);
        CHECK(!refused.written);
        CHECK(refused.error.find("--name") != std::string::npos);
        CHECK(WriteSignatureSource(changes, {}, named, facts).written);
    }

    // 64-bit: files in the 64-bit Program Files, or a registration in the 64-bit view.
    changes.registrations = {Registration("HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Yn", "Yn")};
    CHECK(HasLineWith(Lines(WriteSignatureSource(changes, {}, Request(), facts).utf8_text), Utf8("|64位")));
    changes.registrations = {Registration("HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Yn", "Yn")};
    CHECK(HasLineWith(Lines(WriteSignatureSource(changes, {}, Request(), facts).utf8_text), Utf8("|32位")));
    changes.added_paths.push_back({"C:\\Program Files\\Yn64\\yn.exe", false});
    CHECK(HasLineWith(Lines(WriteSignatureSource(changes, {}, Request(), facts).utf8_text), Utf8("|64位")));
}

TEST(TheFileNameGivesTheKeyAndTheFolderTheType) {
    struct Case {
        const char* file;
        const char* requested_type;
        bool ok;
        const char* type;
        const char* key;
    };
    const Case cases[] = {
        {"signatures/SW/xinglan-player.sig", "", true, "SW", "SW-XINGLAN-PLAYER"},
        {"C:\\work\\MW\\Piao Yun_2.0.SIG", "", true, "MW", "MW-PIAO-YUN-2-0"},
        {"C:\\work\\other\\tool.sig", "", true, "NM", "NM-TOOL"},
        {"tool.sig", "SW", true, "SW", "SW-TOOL"},
        {"NM\\tool.sig", "SW", false, "", ""},
        {"tool.txt", "", false, "", ""},
        {"SW\\__.sig", "", false, "", ""},
        {"SW\\\xD4\xC6\xB7\xAB.sig", "", false, "", ""},
        {"tool.sig", "XX", false, "", ""},
    };
    for (const Case& c : cases) {
        CONTEXT(c.file);
        std::string type, key, error;
        CHECK_EQ(SignatureKeyOf(c.file, c.requested_type, type, key, error), c.ok);
        if (!c.ok) {
            CHECK(!error.empty());
            continue;
        }
        CHECK_EQ(type, std::string(c.type));
        CHECK_EQ(key, std::string(c.key));
    }
}

// The snapshot after the installation, by hand: a new protected Run key on a fresh machine holds
// the program's value and a noise key; a new class and a changed server of an existing class.
TEST(NewKeysAreReadFromTheSnapshotAfterTheInstallation) {
    MachineSnapshot after;
    after.windows_folder = "C:\\windows";
    const auto key = [&](const std::string& path, std::vector<std::pair<std::string, std::string>> values) {
        SnapshotKey snapshot_key;
        snapshot_key.path = after.texts.Add(path);
        snapshot_key.first_value = static_cast<std::uint32_t>(after.values.size());
        snapshot_key.value_count = static_cast<std::uint32_t>(values.size());
        for (const auto& [name, data] : values) {
            SnapshotValue value;
            value.name = after.texts.Add(name);
            value.type = REG_SZ;
            value.data = after.texts.Add(data + std::string(1, '\0'));
            after.values.push_back(value);
        }
        after.keys.push_back(snapshot_key);
    };
    // In the snapshot's order: HKCU before HKLM, a key before what lies below it.
    const std::string classes = "HKLM|SOFTWARE\\Classes\\Wow6432Node\\CLSID\\{88888888-2222-3333-4444-555555555555}";
    key("HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run", {{"YunfanNotes", "notes.exe"}, {"FileMRU", "x"}});
    key("HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run\\LastMRU", {});
    key("HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run\\YunfanSub", {});
    key(classes, {{"", "Yunfan Shell"}});
    key(classes + "\\InprocServer32", {{"", "\"C:\\Program Files (x86)\\YunfanNotes\\ynext.dll\""}, {"ThreadingModel", "Both"}});

    TracedChanges changes;
    changes.added_keys = {"HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run", classes};
    changes.values = {{"HKLM|SOFTWARE\\Classes\\CLSID\\{99999999-2222-3333-4444-555555555555}\\LocalServer32", "",
                       REG_SZ, "C:\\Yunfan\\yserver.exe /automation", true}};
    OpenUpProtectedKeys(after, changes);
    CHECK_EQ(changes.added_keys, (std::vector<std::string>{
                                     "HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run\\YunfanSub", classes}));
    CHECK_EQ(changes.values.size(), 2u);
    CHECK_EQ(changes.values.back().name, std::string("YunfanNotes"));
    CHECK_EQ(changes.filtered.size(), 2u);  // the MRU value and the MRU key

    const std::vector<TracedComClass> found = TracedComClasses(after, changes);
    CHECK_EQ(found.size(), 2u);
    if (found.size() == 2) {
        CHECK_EQ(found[0].clsid, std::string("{88888888-2222-3333-4444-555555555555}"));
        CHECK_EQ(found[0].module, std::string("C:\\Program Files (x86)\\YunfanNotes\\ynext.dll"));
        CHECK(!found[0].replaced);
        CHECK_EQ(found[1].module, std::string("C:\\Yunfan\\yserver.exe"));
        CHECK(found[1].replaced);
    }
}
