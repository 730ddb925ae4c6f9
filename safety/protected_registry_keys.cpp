// The registry keys a clean-up never deletes, as a small table of key families instead of a list
// of full paths.
//
// The table has four scopes. Each scope has roots (where its keys lie, written as patterns; see
// registry_key_pattern.h) and families of keys relative to each root:
//
//   machine    HKLM                                      the system's own hives, whole
//   user hive  HKCU, HKU\<hive>                          each user's hive and its setting keys
//   software   HKLM\SOFTWARE, HKCU\Software,             Windows', Internet Explorer's and the
//              HKU\<hive>\Software, each also \Wow6432Node   shell's containers
//   classes    HKCR, HKU\<classes-hive>, every software root's \Classes, each also \Wow6432Node
//                                                        class containers and well-known file types
//
// A family is a parent key and its children, "|"-separated; both the parent and each child are
// protected. A key is protected when it is a root of a scope, one of these keys, or an ancestor of
// one (deleting it would take the protected key with it). A key strictly below a protected key
// that is not itself in the table may go: HKLM\SOFTWARE\Acme, ...\CurrentVersion\Run\Acme as a
// key, HKCR\CLSID\{guid}, HKCR\.acme. A family name ending in "\**" protects everything below it
// too (the machine's hives, the shared-DLL reference counts); in the machine's hives only the
// keys of one service or one keyboard layout may go, which that program's own uninstaller removes.
#include <vector>

#include "protected_names.h"
#include "registry_key_pattern.h"
#include "splitters.h"

namespace {

struct KeyFamily {
    const char* parent;    // relative to the scope's root; "" for the root itself
    const char* children;  // "|"-separated, relative to the parent
};

const KeyFamily kMachineKeys[] = {
    {"", "SYSTEM\\**|SAM\\**|SECURITY\\**|HARDWARE\\**|BCD00000000\\**"},
};

// The only keys below the machine's whole hives that may go.
const char* const kOwnKeysInWholeHives[] = {
    "HKLM\\SYSTEM\\<controlset>\\Services\\<name>",
    "HKLM\\SYSTEM\\<controlset>\\Control\\Keyboard Layouts\\<name>",
};

const KeyFamily kUserHiveKeys[] = {
    {"", "Software|Environment|Control Panel|Keyboard Layout|Console|AppEvents|Network|Printers|"
         "Volatile Environment|Identities|EUDC"},
    {"Control Panel", "Desktop|International|Mouse|Keyboard|Colors|Cursors|Accessibility|Sound|Input Method|"
                      "Appearance"},
    {"Keyboard Layout", "Preload|Substitutes|Toggle"},
    {"AppEvents", "Schemes|Schemes\\Apps|Schemes\\Apps\\.Default|Schemes\\Apps\\Explorer|EventLabels"},
};

const KeyFamily kSoftwareKeys[] = {
    {"", "Classes|Wow6432Node|Microsoft|Policies|Clients|RegisteredApplications"},
    {"Policies", "Microsoft|Microsoft\\Windows|Microsoft\\Windows NT|Microsoft\\Internet Explorer"},
    {"Clients", "Mail|StartMenuInternet|Media|News"},
    {"Microsoft", "Windows|Windows NT|Internet Explorer|Active Setup|Cryptography|Windows Defender|Installer|Ole|"
                  "Rpc|COM3|.NETFramework|Security Center|Windows Script Host|Windows Search|Shared Tools|CTF|"
                  "CTF\\TIP|SystemCertificates"},
    {"Microsoft\\Active Setup", "Installed Components"},
    {"Microsoft\\Installer", "Products|Features|UpgradeCodes|Components|Patches"},
    {"Microsoft\\Cryptography", "Defaults|Defaults\\Provider|Defaults\\Provider Types|OID|Providers|Calais|"
                                "Protect|RNG|Services|AutoEnrollment"},
    {"Microsoft\\SystemCertificates", "Root|AuthRoot|CA|My|Disallowed|TrustedPublisher|TrustedPeople"},
    {"Microsoft\\Windows Defender", "Exclusions|Exclusions\\Paths|Exclusions\\Processes|Exclusions\\Extensions|"
                                    "Real-Time Protection|Spynet|Features|Signature Updates"},
    {"Microsoft\\Internet Explorer", "Main|Toolbar|Toolbar\\WebBrowser|Toolbar\\ShellBrowser|Toolbar\\Explorer|"
                                     "Low Rights|Low Rights\\ElevationPolicy|Low Rights\\DragDrop|Extensions|"
                                     "SearchScopes|Explorer Bars|MenuExt|URLSearchHooks|ActiveX Compatibility|"
                                     "Approved Extensions|Download"},
    {"Microsoft\\Windows", "CurrentVersion|Shell|Windows Error Reporting"},
    {"Microsoft\\Windows\\CurrentVersion",
     "Run|RunOnce|RunOnceEx|RunServices|RunServicesOnce|Uninstall|App Paths|SharedDlls\\**|Explorer|Policies|"
     "Shell Extensions|Installer|Ext|Internet Settings|Setup|Component Based Servicing|WindowsUpdate|Group Policy|"
     "Authentication|ShellServiceObjectDelayLoad|Controls Folder|Control Panel|Themes|Applets|Telephony|"
     "PreviewHandlers|PropertySystem|PropertySystem\\PropertyHandlers|SideBySide|URL|URL\\Prefixes|WinTrust|"
     "WinTrust\\Trust Providers"},
    {"Microsoft\\Windows\\CurrentVersion\\Explorer",
     "Browser Helper Objects|ShellExecuteHooks|ShellIconOverlayIdentifiers|Shell Folders|User Shell Folders|"
     "Advanced|FileExts|Desktop|Desktop\\NameSpace|MyComputer|MyComputer\\NameSpace|ControlPanel|"
     "ControlPanel\\NameSpace|AutoplayHandlers|AutoplayHandlers\\Handlers|AutoplayHandlers\\EventHandlers|"
     "ShellServiceObjects|SharedTaskScheduler|StartupApproved|StartupApproved\\Run|Volume Caches|"
     "HideDesktopIcons|FolderDescriptions"},
    {"Microsoft\\Windows\\CurrentVersion\\Policies", "Explorer|System|ActiveDesktop|NonEnum|Ext"},
    {"Microsoft\\Windows\\CurrentVersion\\Shell Extensions", "Approved|Blocked|Cached"},
    {"Microsoft\\Windows\\CurrentVersion\\Installer", "UserData|UserData\\<name>|UserData\\<name>\\Products|"
                                                      "UserData\\<name>\\Components|Folders|Managed|UpgradeCodes"},
    {"Microsoft\\Windows\\CurrentVersion\\Ext", "PreApproved|Stats|Settings|CLSID"},
    {"Microsoft\\Windows\\CurrentVersion\\Internet Settings", "Zones|ZoneMap|ZoneMap\\Domains|Cache|Connections|"
                                                              "Lockdown_Zones|P3P"},
    {"Microsoft\\Windows\\CurrentVersion\\Authentication", "Credential Providers|Credential Provider Filters|"
                                                           "LogonUI"},
    {"Microsoft\\Windows NT", "CurrentVersion"},
    {"Microsoft\\Windows NT\\CurrentVersion",
     "Winlogon|Winlogon\\Notify|Winlogon\\GPExtensions|Image File Execution Options|Windows|Fonts|FontSubstitutes|"
     "FontLink|FontLink\\SystemLink|ProfileList|SvcHost|Drivers32|AeDebug|Compatibility32|AppCompatFlags|"
     "AppCompatFlags\\Layers|AppCompatFlags\\Custom|AppCompatFlags\\InstalledSDB|Schedule|Schedule\\TaskCache|"
     "Schedule\\TaskCache\\Tasks|Schedule\\TaskCache\\Tree|Perflib|Print|Ports|IniFileMapping|SystemRestore|"
     "Time Zones"},
};

const KeyFamily kClassKeys[] = {
    {"", "CLSID|Interface|TypeLib|AppID|Record|MIME|Component Categories|Protocols|Installer|Applications|"
         "SystemFileAssociations|Media Type|DirectShow|Wow6432Node"},
    {"MIME\\Database", "Content Type|Charset|Codepage|Rfc1766"},
    {"Protocols", "Handler|Filter|Name-Space Handler"},
    {"Installer", "Products|Features|Components|UpgradeCodes|Patches|Assemblies|Win32Assemblies|Dependencies"},
};

// The file types every Windows has and the extensions that lead to them: each with the containers
// of kFileTypeContainers, which programs add their own verbs and handlers to.
const char kFileTypes[] =
    "*|AllFilesystemObjects|Directory|Directory\\Background|Drive|Folder|Unknown|Network|Printers|exefile|dllfile|"
    "lnkfile|batfile|cmdfile|comfile|txtfile|htmlfile|regfile|inifile|sysfile|piffile|scrfile|VBSFile|JSFile|"
    "Msi.Package|InternetShortcut|http|https|ftp|mailto|SystemFileAssociations\\image|SystemFileAssociations\\audio|"
    "SystemFileAssociations\\video|SystemFileAssociations\\text|"
    ".exe|.dll|.lnk|.bat|.cmd|.com|.txt|.htm|.html|.reg|.ini|.sys|.msi|.url|.pif|.scr|.vbs|.js";
const char kFileTypeContainers[] =
    "DefaultIcon|shell|shell\\open|shell\\open\\command|shell\\opennew|shell\\opennew\\command|shell\\runas|"
    "shell\\runas\\command|shell\\edit|shell\\edit\\command|shell\\explore|shell\\find|shell\\print|shellex|"
    "shellex\\ContextMenuHandlers|shellex\\PropertySheetHandlers|shellex\\ColumnHandlers|"
    "shellex\\CopyHookHandlers|shellex\\DragDropHandlers|shellex\\IconHandler|ShellNew|OpenWithProgids|"
    "OpenWithList|PersistentHandler";

const char kSoftwareRoots[] = "HKLM\\SOFTWARE|HKCU\\Software|HKU\\<hive>\\Software";
const char kClassRootsOutsideSoftware[] = "HKCR|HKU\\<classes-hive>";
const char kUserHives[] = "HKCU|HKU\\<hive>";
constexpr char kWow64Node[] = "Wow6432Node";

const char kRootReason[] = "注册表根键";
const char kUnknownRootReason[] = "未知的注册表根键";

struct Scope {
    std::vector<KeyNames> roots;
    std::vector<KeyNames> keys;  // relative to each root
    const char* reason;
};

StringList Split(const char* bar_separated) {
    StringList parts;
    SplitByBar(bar_separated, parts);
    return parts;
}

// Each family's parent and its children, relative to the scope's root.
template <std::size_t N>
std::vector<KeyNames> FamilyKeys(const KeyFamily (&families)[N]) {
    std::vector<KeyNames> keys;
    for (const KeyFamily& family : families) {
        const KeyNames parent = ParsedPattern(family.parent);
        keys.push_back(parent);
        for (const std::string& child : Split(family.children)) keys.push_back(Joined(parent, ParsedPattern(child)));
    }
    return keys;
}

std::vector<KeyNames> Patterns(const StringList& texts, bool with_wow64_node) {
    std::vector<KeyNames> patterns;
    for (const std::string& text : texts) {
        patterns.push_back(ParsedPattern(text));
        if (with_wow64_node) patterns.push_back(ParsedPattern(text + "\\" + kWow64Node));
    }
    return patterns;
}

std::vector<KeyNames> ClassKeys() {
    std::vector<KeyNames> keys = FamilyKeys(kClassKeys);
    const StringList containers = Split(kFileTypeContainers);
    for (const std::string& type : Split(kFileTypes)) {
        const KeyNames type_key = ParsedPattern(type);
        keys.push_back(type_key);
        for (const std::string& container : containers) keys.push_back(Joined(type_key, ParsedPattern(container)));
    }
    return keys;
}

StringList ClassRootTexts() {
    StringList roots = Split(kClassRootsOutsideSoftware);
    for (const std::string& software : Split(kSoftwareRoots)) {
        roots.push_back(software + "\\Classes");
        roots.push_back(software + "\\" + kWow64Node + "\\Classes");
    }
    return roots;
}

const std::vector<Scope>& Scopes() {
    static const std::vector<Scope> scopes = {
        {{ParsedPattern("HKLM")}, FamilyKeys(kMachineKeys), "系统配置注册表项"},
        {Patterns(Split(kUserHives), false), FamilyKeys(kUserHiveKeys), "用户配置注册表项"},
        {Patterns(Split(kSoftwareRoots), true), FamilyKeys(kSoftwareKeys), "系统注册表项"},
        {Patterns(ClassRootTexts(), true), ClassKeys(), "系统文件类型与组件注册表项"},
    };
    return scopes;
}

bool IsOwnKeyInWholeHive(const KeyNames& key) {
    static const std::vector<KeyNames> own_keys = Patterns(
        StringList(std::begin(kOwnKeysInWholeHives), std::end(kOwnKeysInWholeHives)), false);
    for (const KeyNames& own : own_keys)
        if (StartsWith(key, own)) return true;
    return false;
}

bool IsProtectedBy(const Scope& scope, const KeyNames& key) {
    for (const KeyNames& root : scope.roots) {
        if (Match(key, root) == PatternMatch::kKeyOrAbove) return true;
        if (!StartsWith(key, root)) continue;
        const KeyNames below_root = Below(key, root.size());
        for (const KeyNames& protected_key : scope.keys) {
            const PatternMatch match = Match(below_root, protected_key);
            if (match == PatternMatch::kKeyOrAbove) return true;
            if (match == PatternMatch::kBelowWholeTree && !IsOwnKeyInWholeHive(key)) return true;
        }
    }
    return false;
}

}  // namespace

std::string ProtectedRegistryKeyReason(const std::string& root, const std::string& key_path) {
    const KeyNames key = KeyNamesOf(root, key_path);
    if (key.empty()) return kUnknownRootReason;  // a root we cannot tell: nothing below it is deleted
    if (key.size() == 1) return kRootReason;
    for (const Scope& scope : Scopes())
        if (IsProtectedBy(scope, key)) return scope.reason;
    return "";
}

bool IsProtectedRegistryKey(const std::string& root, const std::string& key_path) {
    return !ProtectedRegistryKeyReason(root, key_path).empty();
}
