// The two halves of 64-bit Windows as this program sees them. A 32-bit program there is
// redirected: HKLM\SOFTWARE (with its Classes) to Wow6432Node, System32 to SysWOW64. The scans
// search both registry views, and every registry item found is spelled in one notation, the
// machine's: its physical path in the 64-bit view, where it is also deleted. On 32-bit Windows
// there is one half and nothing changes.
#pragma once

#include <string>
#include <vector>

#include "registry_view.h"

// True for a 64-bit process, or a 32-bit one that IsWow64Process says runs under WoW64
// (looked up at run time: Windows versions without it are 32-bit). Asked once per process.
bool IsWindows64Bit();

// The view in which every reported registry item is spelled and deleted: k64Bit on 64-bit
// Windows, kDefault on 32-bit Windows.
RegistryView MachineView();

// The views to search: {k64Bit, k32Bit} for k64Bit, {machine_view} for anything else.
std::vector<RegistryView> SearchViews(RegistryView machine_view);

// "ROOT|key path[|value]" found in found_in, spelled in the machine view. Unchanged when
// found_in is the machine view, on 32-bit Windows, when the key cannot be opened in found_in, and
// when the machine view reaches the same physical key by the same path (HKCU's keys, for
// example). Otherwise the key path is rebuilt from the physical name the kernel reports for the
// key: "HKLM|SOFTWARE\Quillmoss" found in the 32-bit view is "HKLM|SOFTWARE\Wow6432Node\Quillmoss",
// "HKCR|CLSID\{...}" is "HKCR|Wow6432Node\CLSID\{...}", "HKCU|Software\Classes\CLSID\{...}" is
// "HKCU|Software\Classes\Wow6432Node\CLSID\{...}". The names the item wrote keep its letter case,
// the names redirection adds are the kernel's, and the value field stays exactly as written
// (quotes and all). A key that the machine view cannot reach from the root or from a key on the
// written path is unchanged.
std::string MachineSpelling(const std::string& item, RegistryView found_in);

// What MachinePathsOf needs to know about the machine and the process.
struct MachinePathFacts {
    std::string windows_folder;  // "C:\Windows", as the system gives it
    bool windows_64bit = false;
    bool process_64bit = false;
};

// Every spelling through which this process reaches a copy of path, the 64-bit one first.
// On 32-bit Windows {path}. On 64-bit Windows <windows>\System32\... gives the 64-bit system
// folder (the path itself for a 64-bit process, <windows>\Sysnative\... for a 32-bit one, which
// Vista and later provide) and <windows>\SysWOW64\...; <drive>\Program Files\... gives itself
// and <drive>\Program Files (x86)\.... Folders compare as whole names, letter case and "/"
// aside; the rest of the path stays as written. Anything else gives {path}.
std::vector<std::string> MachinePathsOf(const std::string& path, const MachinePathFacts& facts);
// The same with the facts of this machine and process.
std::vector<std::string> MachinePathsOf(const std::string& path);

// Files are reported and logged as the machine names them; a 32-bit process on 64-bit Windows
// reaches the 64-bit System32 only as <windows>\Sysnative. These two turn one spelling into the
// other: every file operation on a reported path goes through AccessPathOf, every path a file
// operation found is reported through MachinePathOf.
// The spelling through which this process reaches the file the machine names path: the first of
// MachinePathsOf (<windows>\System32\... becomes <windows>\Sysnative\... in a 32-bit process on
// 64-bit Windows), path itself otherwise.
std::string AccessPathOf(const std::string& path);
// The machine's name for a path this process reached: <windows>\Sysnative\... is
// <windows>\System32\... in a 32-bit process on 64-bit Windows (the Windows folder, "\" or "/"
// and what follows as written); anything else stays as it is.
std::string MachinePathOf(const std::string& path, const MachinePathFacts& facts);
std::string MachinePathOf(const std::string& path);

// The Windows folder ("C:\Windows"); empty when the system does not give it.
std::string MachineWindowsFolder();
// The 32-bit system folder of 64-bit Windows ("C:\Windows\SysWOW64"); empty on 32-bit Windows.
std::string SystemWow64Folder();
