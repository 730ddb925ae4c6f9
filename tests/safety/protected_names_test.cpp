// The tables of what no clean-up may take: keys in every root and spelling, ancestors of protected
// keys, the keys of one program below protected containers, and names in odd cases and with folders.
#include "check.h"
#include "protected_names.h"

TEST(RegistryKeysThatAreProtectedAndKeysThatMayGo) {
    const struct {
        std::string root, path;
        bool is_protected;
    } cases[] = {
        // Roots, and the spellings callers write.
        {"HKLM", "", true},
        {"HKCR", "\\\\", true},
        {"HKU", " ", true},
        {"HKCU", "", true},
        {"HKLM", "SOFTWARE", true},
        {" hklm ", " \\Software\\\\", true},
        {"HKEY_LOCAL_MACHINE", "software\\ microsoft \\windows", true},
        {"HKXX", "SOFTWARE\\Acme", true},  // a root nobody can tell
        {"HKLM", "SOFTWARE\\Quillmoss", false},
        {"hklm", "\\software\\\\quillmoss\\", false},
        {"HKLM", "SOFTWARE\\Acme\\Sub", false},

        // The machine's hives: whole, but for one service's or one keyboard layout's own keys.
        {"HKLM", "SYSTEM", true},
        {"HKLM", "SYSTEM\\CurrentControlSet", true},
        {"HKLM", "SYSTEM\\CurrentControlSet\\Control\\Session Manager", true},
        {"HKLM", "SYSTEM\\CurrentControlSet\\Services", true},
        {"HKLM", "SYSTEM\\CurrentControlSet\\Services\\qmfilter", false},
        {"HKLM", "SYSTEM\\ControlSet001\\Services\\qmfilter\\Instances", false},
        {"HKLM", "SYSTEM\\ControlSet01\\Services\\qmfilter", true},  // no control set of that name
        {"HKLM", "SYSTEM\\Select", true},
        {"HKLM", "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts", true},
        {"HKLM", "SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\E0220804", false},
        {"HKLM", "SAM\\SAM\\Domains", true},
        {"HKLM", "SECURITY", true},
        {"HKLM", "HARDWARE\\DEVICEMAP", true},
        {"HKLM", "BCD00000000\\Objects", true},

        // Containers of Windows and their ancestors; a program's key below them may go.
        {"HKLM", "SOFTWARE\\Microsoft", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmoss", false},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\{0A1B2C3D}", false},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\A3CC", false},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs\\Below", true},  // kept as it always was
        {"HKLM", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\qm.exe", false},
        {"HKLM", "SOFTWARE\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy", true},
        {"HKLM", "SOFTWARE\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\{0A1B2C3D}", false},
        {"HKLM", "SOFTWARE\\Microsoft\\Active Setup\\Installed Components", true},
        {"HKLM", "SOFTWARE\\Policies", true},
        {"HKLM", "SOFTWARE\\Clients\\Mail\\YuzhouMail", false},
        {"HKLM", "SOFTWARE\\Wow6432Node", true},
        {"HKLM", "SOFTWARE\\Wow6432Node\\Classes", true},
        {"HKLM", "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall", true},
        {"HKLM", "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillmoss", false},
        {"HKLM", "SOFTWARE\\Wow6432Node\\Quillmoss", false},

        // Each user's hive: HKCU and every hive under HKU alike.
        {"HKCU", "Software", true},
        {"HKCU", "Environment", true},
        {"HKCU", "Control Panel\\Desktop", true},
        {"HKCU", "Software\\Microsoft\\Windows\\CurrentVersion\\Run", true},
        {"HKCU", "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Foo", false},
        {"HKCU", "Software\\Microsoft\\Installer\\Products\\A3CC659A981642D4AB4E75099FC5E16C", false},
        {"HKCU", "Software\\Quillmoss", false},
        {"HKU", "S-1-5-21-1-2-3-1000", true},
        {"HKU", ".DEFAULT\\Software", true},
        {"HKU", "S-1-5-18\\Keyboard Layout\\Preload", true},
        {"HKU", "S-1-5-21-1-2-3-1000\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", true},
        {"HKU", "S-1-5-21-1-2-3-1000\\Software\\Quillmoss\\Recent", false},
        {"HKU", "S-1-5-21-1-2-3-1000\\AppEvents\\Schemes\\Apps\\Quillmoss", false},

        // Class roots: HKCR, every software root's Classes, and each user's class hive.
        {"HKCR", "CLSID", true},
        {"HKCR", "CLSID\\{A956CC3A-6189-4D24-BAE4-5790F95C1EC6}", false},
        {"HKCR", "Interface\\{A956CC3A-6189-4D24-BAE4-5790F95C1EC6}", false},
        {"HKCR", "Wow6432Node\\CLSID", true},
        {"HKCR", "MIME\\Database", true},
        {"HKCR", "*\\shellex\\ContextMenuHandlers", true},
        {"HKCR", "*\\shellex\\ContextMenuHandlers\\MolanZip", false},
        {"HKCR", "Folder\\shellex\\ColumnHandlers", true},
        {"HKCR", "Directory\\Background\\shellex\\ContextMenuHandlers", true},
        {"HKCR", "exefile\\shell\\open\\command", true},
        {"HKCR", "Directory\\shell\\Quillmoss", false},
        {"HKCR", ".exe", true},
        {"HKCR", ".qmimg", false},
        {"HKCR", "Quillmoss.Shell.1", false},
        {"HKLM", "SOFTWARE\\Classes\\CLSID", true},
        {"HKLM", "SOFTWARE\\Classes\\CLSID\\{A956CC3A-6189-4D24-BAE4-5790F95C1EC6}", false},
        {"HKLM", "SOFTWARE\\Classes\\.qmimg", false},
        {"HKLM", "SOFTWARE\\Wow6432Node\\Classes\\TypeLib", true},
        {"HKCU", "Software\\Classes\\lnkfile", true},
        {"HKU", "S-1-5-21-1-2-3-1000\\Software\\Classes\\AppID", true},
        {"HKU", "S-1-5-21-1-2-3-1000_Classes", true},
        {"HKU", "S-1-5-21-1-2-3-1000_Classes\\http\\shell\\open\\command", true},
        {"HKU", "S-1-5-21-1-2-3-1000_Classes\\CLSID\\{A956CC3A-6189-4D24-BAE4-5790F95C1EC6}", false},
    };
    for (const auto& c : cases) {
        CONTEXT(c.root + "|" + c.path);
        CHECK_EQ(IsProtectedRegistryKey(c.root, c.path), c.is_protected);
        CHECK_EQ(ProtectedRegistryKeyReason(c.root, c.path).empty(), !c.is_protected);
    }
    CHECK_EQ(ProtectedRegistryKeyReason("HKLM", "\\"), std::string("注册表根键"));
    CHECK_EQ(ProtectedRegistryKeyReason("HKLM", "SOFTWARE\\Microsoft\\Windows"), std::string("系统注册表项"));
}

TEST(NamesOfWindowsAndOfTheUninstallerInAnyCase) {
    using Rule = bool (*)(const std::string&);
    const struct {
        const char* rule_name;
        Rule rule;
        std::string name;
        bool listed;
    } cases[] = {
        {"process", IsSystemProcessName, "svchost.exe", true},
        {"process", IsSystemProcessName, " EXPLORER.EXE\t", true},
        {"process", IsSystemProcessName, "C:\\Windows\\System32\\LSASS.exe", true},
        {"process", IsSystemProcessName, "c:/windows/system32/csrss.EXE", true},
        {"process", IsSystemProcessName, "System", true},
        {"process", IsSystemProcessName, "kestrune.EXE", true},
        {"process", IsSystemProcessName, "QXCLI.exe", true},
        {"process", IsSystemProcessName, "quillmoss.exe", false},
        {"process", IsSystemProcessName, "svchost.exe.bak", false},
        {"process", IsSystemProcessName, "svchost", false},
        {"process", IsSystemProcessName, "", false},
        {"process", IsSystemProcessName, "C:\\Windows\\", false},
        {"process", IsSystemProcessName, "C:\\\xB0\\\\explorer.exe", true},  // a folder whose name ends in 0x5C
        {"process", IsSystemProcessName, "\xB0\\explorer.exe", false},  // one character, not a folder

        {"file", IsWellKnownSystemFileName, "WIN.INI", true},
        {"file", IsWellKnownSystemFileName, "C:\\boot.ini", true},
        {"file", IsWellKnownSystemFileName, "C:\\NTLDR", true},
        {"file", IsWellKnownSystemFileName, "c:\\pagefile.SYS", true},
        {"file", IsWellKnownSystemFileName, "D:\\Photos\\Desktop.ini", true},
        {"file", IsWellKnownSystemFileName, "C:\\Program Files\\Quillmoss\\qmcore.dat", false},
        {"file", IsWellKnownSystemFileName, "win.ini.old", false},

        {"module", IsSystemModuleName, "SHELL32.DLL", true},
        {"module", IsSystemModuleName, "C:\\WINDOWS\\system32\\Ole32.dll", true},
        {"module", IsSystemModuleName, "mshtml.dll", true},
        {"module", IsSystemModuleName, "qmshell.dll", false},
        {"module", IsSystemModuleName, "shell32.dll.mui", false},

        {"folder", IsProtectedFolderName, "program files", true},
        {"folder", IsProtectedFolderName, "PROGRAM FILES (X86)", true},
        {"folder", IsProtectedFolderName, " System32 ", true},
        {"folder", IsProtectedFolderName, "appdata", true},
        {"folder", IsProtectedFolderName, "C:\\Users\\Tom\\Desktop\\", true},
        {"folder", IsProtectedFolderName, "$recycle.bin", true},
        {"folder", IsProtectedFolderName, "桌面", true},
        {"folder", IsProtectedFolderName, "「开始」菜单", true},
        {"folder", IsProtectedFolderName, "Quillmoss", false},
        {"folder", IsProtectedFolderName, "Microsoft Office", false},
        {"folder", IsProtectedFolderName, "蔓藤搜索助手", false},
        {"folder", IsProtectedFolderName, "", false},
    };
    for (const auto& c : cases) {
        CONTEXT(std::string(c.rule_name) + " " + check::Quote(c.name));
        CHECK_EQ(c.rule(c.name), c.listed);
    }
}
