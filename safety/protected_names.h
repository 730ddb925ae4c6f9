// What no clean-up may take, whatever a signature record or an install location says: the
// registry keys Windows and every program need, the system's processes, files and modules, and the
// names of Windows and profile folders. Portable: these are tables of names, compared the way the
// program compares names (trimmed, only single-byte ASCII letters folded; texts are code page 936).
#pragma once

#include <string>

// Registry. root is "HKLM", "HKCU", "HKU" or "HKCR"; key_path as written (any letter case, leading,
// trailing and doubled backslashes and blanks around names tolerated). True when deleting that KEY (with
// everything below it) would remove something Windows or every program needs. Values inside such a key
// may still go: callers ask this only for keys.
bool IsProtectedRegistryKey(const std::string& root, const std::string& key_path);
// A one-line reason in Chinese for the log/report when protected (e.g. "系统注册表项"), empty when not.
std::string ProtectedRegistryKeyReason(const std::string& root, const std::string& key_path);

// Processes: the system's own image names (System, smss.exe, csrss.exe, winlogon.exe, services.exe,
// lsass.exe, svchost.exe, explorer.exe ...) plus the uninstaller's own (Kestrune.exe, qxcli.exe,
// qvsetup.exe). Name trimmed, any ASCII letter case; a name with a folder compares its last component.
bool IsSystemProcessName(const std::string& name);

// Well-known system files that carry no version resource and that no program may take away
// (win.ini, system.ini, boot.ini, ntldr, bootmgr, pagefile.sys, hiberfil.sys, desktop.ini ...).
// Last component of a path, any case.
bool IsWellKnownSystemFileName(const std::string& name);

// Modules of Windows that serve COM classes or that every program loads (ole32.dll, shell32.dll,
// mshtml.dll, kernel32.dll, comctl32.dll, msxml6.dll ...). Last component, any case.
bool IsSystemModuleName(const std::string& name);

// Folder names (a folder record names only a last path component) that are also the name of a
// Windows or profile folder, so a rule with that name would take a system or profile folder
// (Windows, System32, Program Files, Users, AppData, Desktop, Temp, Microsoft, 桌面, 我的文档 ...).
bool IsProtectedFolderName(const std::string& name);
