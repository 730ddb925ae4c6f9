#include "trace_machine_facts.h"

#include <shlobj.h>

#include "command_path.h"
#include "known_folders.h"
#include "machine_views.h"
#include "record_spelling.h"
#include "text_rules.h"

namespace {

constexpr char kUninstallKeyName[] = "\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL";

// The 64-bit folder's variable first: a 32-bit process on 64-bit Windows sees the (x86) folder
// through its CSIDL.
std::string NativeFolder(const char* native_variable, int csidl) {
    const std::string native = EnvironmentVariable(native_variable);
    return native.empty() ? ShellFolder(csidl) : native;
}

bool IsModuleOrProgram(const std::string& path) {
    const std::string upper = UpperCased(path);
    for (const char* extension : {".EXE", ".DLL", ".OCX", ".SYS"})
        if (upper.size() > 4 && upper.compare(upper.size() - 4, 4, extension) == 0) return true;
    return false;
}

bool IsUninstallRegistration(const std::string& key) {
    const std::string parent = UpperCased(ParentPath(key));
    const std::size_t length = sizeof kUninstallKeyName - 1;
    return parent.size() > length && parent.compare(parent.size() - length, length, kUninstallKeyName) == 0;
}

void AddName(TraceMachineFacts& facts, const std::string& path) {
    const std::string name = LastPathName(path);
    if (!name.empty()) facts.names_in_use.emplace(UpperCased(name), path);
}

// Programs and modules in the program folders and Windows, folder names anywhere the analysis
// looks for a program's folders (everywhere but the Windows folder), and the programs the
// installed programs' registrations name.
void ReadNamesInUse(const MachineSnapshot& before, TraceMachineFacts& facts) {
    const std::string program_folders[] = {facts.program_files, facts.program_files_x86, facts.windows};
    for (const SnapshotFile& file : before.files) {
        const std::string path(before.Text(file.path));
        if (file.is_folder) {
            if (facts.windows.empty() || !IsInsideFolder(path, facts.windows)) AddName(facts, path);
            continue;
        }
        if (!IsModuleOrProgram(path)) continue;
        for (const std::string& folder : program_folders)
            if (!folder.empty() && IsInsideFolder(path, folder)) AddName(facts, path);
    }
    for (const SnapshotKey& key : before.keys) {
        if (!IsUninstallRegistration(std::string(before.Text(key.path)))) continue;
        for (const char* value : {"UninstallString", "DisplayIcon"}) {
            const std::string program = CommandFilePath(before.StringValue(key, value));
            if (IsModuleOrProgram(program)) AddName(facts, program);
        }
    }
}

}  // namespace

TraceMachineFacts ReadTraceMachineFacts(const MachineSnapshot& before) {
    TraceMachineFacts facts;
    facts.profile = ShellFolder(CSIDL_PROFILE);
    facts.app_data = ShellFolder(CSIDL_APPDATA);
    facts.local_app_data = ShellFolder(CSIDL_LOCAL_APPDATA);
    facts.start_menu_programs = ShellFolder(CSIDL_PROGRAMS);
    for (const std::string& root : UserProfileRoots())
        if (!IsSamePath(root, facts.profile)) facts.other_profiles.push_back(root);
    facts.program_data = ShellFolder(CSIDL_COMMON_APPDATA);
    facts.common_start_menu_programs = ShellFolder(CSIDL_COMMON_PROGRAMS);
    facts.windows_64bit = IsWindows64Bit();
    facts.program_files = NativeFolder("ProgramW6432", CSIDL_PROGRAM_FILES);
    facts.common_files = NativeFolder("CommonProgramW6432", CSIDL_PROGRAM_FILES_COMMON);
    if (facts.windows_64bit) {
        facts.program_files_x86 = EnvironmentVariable("ProgramFiles(x86)");
        facts.common_files_x86 = EnvironmentVariable("CommonProgramFiles(x86)");
    }
    facts.windows = MachineWindowsFolder();
    ReadNamesInUse(before, facts);
    return facts;
}
