#include "protected_names.h"

#include <initializer_list>
#include <set>

#include "splitters.h"
#include "text_rules.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The last component of a path, trimmed: "C:\Windows\Explorer.EXE " gives "Explorer.EXE". A
// trailing separator is passed over, and the trail byte of a double-byte character (often 0x5C)
// is never taken for one.
std::string LastComponent(const std::string& path) {
    const std::string text = Trimmed(path);
    std::size_t end = text.size();
    while (end > 0 && IsSeparator(text[end - 1])) --end;
    std::size_t start = 0;
    for (std::size_t i = 0; i < end; ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i])))
            ++i;
        else if (IsSeparator(text[i]))
            start = i + 1;
    }
    return Trimmed(text.substr(start, end - start));
}

// A list of names, looked up by the last component of a name in any ASCII letter case.
class NameSet {
public:
    NameSet(std::initializer_list<const char*> names) {
        for (const char* name : names) upper_names_.insert(UpperCased(name));
    }
    bool Holds(const std::string& name) const {
        const std::string last = LastComponent(name);
        return !last.empty() && upper_names_.count(UpperCased(last)) > 0;
    }

private:
    std::set<std::string> upper_names_;
};

}  // namespace

bool IsSystemProcessName(const std::string& name) {
    static const NameSet names = {
        // The kernel's pseudo-processes, as the process list names them on each Windows version.
        "System", "Idle", "System Idle Process", "[System Process]", "Registry", "Memory Compression",
        "Secure System",
        // Session, logon and service hosts: ending one stops or restarts Windows.
        "smss.exe", "csrss.exe", "wininit.exe", "winlogon.exe", "services.exe", "lsass.exe", "lsaiso.exe",
        "lsm.exe", "svchost.exe", "userinit.exe", "logonui.exe", "dwm.exe", "fontdrvhost.exe",
        // The shell and the hosts every program's windows, consoles and COM objects run in.
        "explorer.exe", "sihost.exe", "ctfmon.exe", "conhost.exe", "taskhost.exe", "taskhostw.exe",
        "taskhostex.exe", "rundll32.exe", "dllhost.exe", "wmiprvse.exe", "spoolsv.exe", "audiodg.exe",
        "alg.exe", "msiexec.exe", "runtimebroker.exe", "shellexperiencehost.exe",
        "startmenuexperiencehost.exe", "searchindexer.exe", "msmpeng.exe", "wuauclt.exe",
        // The uninstaller itself: its window, its console and the program of its online update.
        "Kestrune.exe", "qxcli.exe", "qvsetup.exe",
    };
    return names.Holds(name);
}

bool IsWellKnownSystemFileName(const std::string& name) {
    static const NameSet names = {
        // Start-up files of every Windows generation.
        "ntldr", "ntdetect.com", "boot.ini", "bootmgr", "BOOTNXT", "bootfont.bin", "bootsect.bak", "ntbootdd.sys",
        "cmldr", "arcldr.exe", "arcsetup.exe", "io.sys", "msdos.sys", "command.com", "config.sys",
        "autoexec.bat", "bootstat.dat",
        // Paging and hibernation.
        "pagefile.sys", "hiberfil.sys", "swapfile.sys",
        // Settings files of Windows and of every user's profile.
        "win.ini", "system.ini", "control.ini", "protocol.ini", "desktop.ini", "ntuser.dat", "ntuser.dat.log",
        "ntuser.ini", "ntuser.pol", "UsrClass.dat",
    };
    return names.Holds(name);
}

bool IsSystemModuleName(const std::string& name) {
    static const NameSet names = {
        // Loaded by every program.
        "ntdll.dll", "kernel32.dll", "kernelbase.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "msvcrt.dll",
        "rpcrt4.dll", "sechost.dll", "shlwapi.dll", "comctl32.dll", "comdlg32.dll", "imm32.dll", "msctf.dll",
        "uxtheme.dll", "version.dll", "ws2_32.dll", "crypt32.dll", "setupapi.dll", "winmm.dll",
        // COM and OLE themselves.
        "ole32.dll", "oleaut32.dll", "combase.dll", "clbcatq.dll", "actxprxy.dll", "comsvcs.dll", "olepro32.dll",
        "stdole2.tlb",
        // The shell, whose classes every Explorer window and file dialog creates.
        "shell32.dll", "explorerframe.dll", "windows.storage.dll", "propsys.dll", "browseui.dll", "shdocvw.dll",
        "zipfldr.dll", "shimgvw.dll", "thumbcache.dll", "ntshrui.dll", "netshell.dll", "linkinfo.dll",
        "msimtf.dll",
        // Internet Explorer's engine and the web components programs embed.
        "ieframe.dll", "mshtml.dll", "urlmon.dll", "wininet.dll", "iertutil.dll", "ieproxy.dll", "mlang.dll",
        "jscript.dll", "jscript9.dll", "vbscript.dll", "scrrun.dll", "wshom.ocx", "msxml.dll", "msxml3.dll",
        "msxml6.dll", "msi.dll",
        // Media and the .NET loader.
        "quartz.dll", "wmp.dll", "mscoree.dll", "mscorwks.dll", "clr.dll",
    };
    return names.Holds(name);
}

bool IsProtectedFolderName(const std::string& name) {
    static const NameSet names = {
        // Windows and its folders.
        "Windows", "WinNT", "System", "System32", "SysWOW64", "Sysnative", "drivers", "WinSxS", "Fonts", "inf",
        "Installer", "assembly", "Microsoft.NET", "Temp", "Tasks", "Prefetch", "servicing", "SoftwareDistribution",
        "Boot", "Recovery", "System Volume Information", "$Recycle.Bin", "RECYCLER", "Config.Msi", "PerfLogs",
        "Windows NT",
        // The folders that hold programs and their shared parts.
        "Program Files", "Program Files (x86)", "Common Files", "ProgramData", "Microsoft", "Microsoft Shared",
        "Internet Explorer", "Windows Defender", "Windows Mail", "Windows Media Player",
        // Profiles and the folders of each profile, XP and later.
        "Users", "Documents and Settings", "All Users", "Default", "Default User", "Public", "AppData", "Local",
        "LocalLow", "Roaming", "Application Data", "Local Settings", "Desktop", "Documents", "My Documents",
        "Downloads", "Music", "My Music", "Pictures", "My Pictures", "Videos", "My Videos", "Favorites",
        "Start Menu", "Programs", "Startup", "Accessories", "Administrative Tools", "Templates", "SendTo",
        "Recent", "Cookies", "History", "Temporary Internet Files", "NetHood", "PrintHood", "Links",
        "Saved Games", "Contacts", "Searches",
        // The same folders as Chinese Windows XP names them on disk.
        "桌面", "我的文档", "「开始」菜单", "开始菜单", "程序", "启动", "附件", "管理工具", "收藏夹", "我的音乐",
        "我的图片", "我的视频", "共享文档",
    };
    return names.Holds(name);
}
