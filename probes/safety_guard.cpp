#include "safety_guard.h"

#include <windows.h>

#include "file_system.h"
#include "machine_views.h"
#include "matching.h"
#include "module_cache.h"
#include "path_identity.h"
#include "protected_folders.h"
#include "protected_names.h"
#include "system_file_owner.h"

namespace {

const char kInvalidPath[] = "无效路径";
const char kVolumeRoot[] = "驱动器根目录";
const char kProtectedFolder[] = "系统或用户文件夹";
const char kSystemFile[] = "Windows 系统文件";
const char kHostFileSystem[] = "不在系统盘上 (Wine 映射的主机文件系统)";
const char kOtherProgram[] = "属于其他已安装程序: ";
const char kSystemProcess[] = "系统进程";
const char kOwnProcess[] = "本程序自身";

// Wine maps drive Z: to the Linux root and links profile folders into the Linux home: under
// Wine nothing off the system drive is ever touched.
bool RunsUnderWine() {
    static const bool wine = GetModuleProc("ntdll.dll", "wine_get_version") != nullptr;
    return wine;
}

bool IsSameOrAbove(const std::string& canonical, const std::string& folder) {
    return canonical == folder || IsStrictlyInside(folder, canonical);
}

bool IsIdentifiedBy(const std::string& display_name, const StringList& identification_records) {
    StringList fields;
    for (const std::string& record : identification_records)
        if (SplitByBar(record, fields) && fields.size() >= 2 && TextContains(fields[1], display_name)) return true;
    return false;
}

std::string OwnImageName() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FileNameOf(path);
}

}  // namespace

void SafetyGuard::Refresh(const StringList& identification_records) {
    protected_folders_ = ReadProtectedFolders();
    system_file_folders_ = ReadSystemFileFolders();
    windows_folder_ = CanonicalWindowsFolder();
    other_programs_.clear();
    for (ProgramRegistration& registration : ReadProgramRegistrations()) {
        if (IsIdentifiedBy(registration.display_name, identification_records)) continue;
        // A registration whose folder is a protected one (an uninstaller in System32) adds nothing.
        StringList folders;
        for (const std::string& folder : registration.folders)
            if (CheckLocation(folder).allowed) folders.push_back(folder);
        registration.folders = folders;
        if (!folders.empty()) other_programs_.push_back(registration);
    }
    refreshed_ = true;
}

SafetyVerdict SafetyGuard::CheckLocation(const std::string& canonical) const {
    if (canonical.empty()) return SafetyVerdict::Refuse(kInvalidPath);
    if (IsVolumeRoot(canonical)) return SafetyVerdict::Refuse(kVolumeRoot);
    if (RunsUnderWine() && !windows_folder_.empty() && canonical.compare(0, 3, windows_folder_, 0, 3) != 0)
        return SafetyVerdict::Refuse(kHostFileSystem);
    for (const std::string& folder : protected_folders_)
        if (IsSameOrAbove(canonical, folder)) return SafetyVerdict::Refuse(kProtectedFolder);
    return SafetyVerdict::Allow();
}

SafetyVerdict SafetyGuard::CheckOtherPrograms(const std::string& canonical) const {
    for (const ProgramRegistration& program : other_programs_)
        for (const std::string& folder : program.folders)
            if (IsSameOrAbove(canonical, folder) || IsStrictlyInside(canonical, folder))
                return SafetyVerdict::Refuse(kOtherProgram + program.display_name);
    return SafetyVerdict::Allow();
}

SafetyVerdict SafetyGuard::CheckFolder(const std::string& path) const {
    // A guard that has not read the machine knows nothing to allow.
    if (!refreshed_) return SafetyVerdict::Refuse(kInvalidPath);
    const std::string canonical = CanonicalPath(MachinePathOf(path));
    const SafetyVerdict location = CheckLocation(canonical);
    return location.allowed ? CheckOtherPrograms(canonical) : location;
}

SafetyVerdict SafetyGuard::CheckFile(const std::string& path) const {
    if (!refreshed_) return SafetyVerdict::Refuse(kInvalidPath);
    const std::string canonical = CanonicalPath(MachinePathOf(path));
    const SafetyVerdict location = CheckLocation(canonical);
    return location.allowed ? CheckOwnership(canonical, AccessPathOf(path)) : location;
}

SafetyVerdict SafetyGuard::CheckOwnership(const std::string& canonical, const std::string& path) const {
    if (IsWellKnownSystemFileName(FileNameOf(canonical))) return SafetyVerdict::Refuse(kSystemFile);
    if (IsProtectedBySystem(path)) return SafetyVerdict::Refuse(kSystemFile);
    // Windows' own files: in a system folder, and either made by the system's maker or a module
    // every program loads. A program's own file dropped there may still go.
    const std::size_t cut = LastSeparator(canonical);
    const std::string folder = cut == std::string::npos ? std::string() : canonical.substr(0, cut);
    bool in_windows = false;
    for (const std::string& system_folder : system_file_folders_)
        if (folder == system_folder) in_windows = true;
    if (!in_windows && IsStrictlyInside(canonical, windows_folder_)) in_windows = true;
    if (in_windows && (IsSystemModuleName(FileNameOf(canonical)) || IsMadeBySystemMaker(path)))
        return SafetyVerdict::Refuse(kSystemFile);
    return CheckOtherPrograms(canonical);
}

SafetyVerdict SafetyGuard::CheckRegistryKey(const std::string& root_text, const std::string& key_path) const {
    if (IsProtectedRegistryKey(root_text, key_path)) {
        const std::string reason = ProtectedRegistryKeyReason(root_text, key_path);
        return SafetyVerdict::Refuse(reason.empty() ? std::string("系统注册表项") : reason);
    }
    return SafetyVerdict::Allow();
}

SafetyVerdict SafetyGuard::CheckProcess(const std::string& name, const std::string& image_path) const {
    if (IsSystemProcessName(name)) return SafetyVerdict::Refuse(kSystemProcess);
    if (IsSameName(Trimmed(FileNameOf(name)), OwnImageName())) return SafetyVerdict::Refuse(kOwnProcess);
    // Where the image lies does not matter (a program may run from anywhere), whose it is does.
    if (!image_path.empty()) return CheckOwnership(CanonicalPath(image_path), image_path);
    return SafetyVerdict::Allow();
}

std::string SafetyGuard::Marked(const SafetyVerdict& verdict, const std::string& item) {
    return "<" + verdict.reason + "> " + item;
}

bool SafetyGuard::IsMarked(const std::string& text) { return !text.empty() && text[0] == '<'; }

std::string SafetyGuard::Unmarked(const std::string& text) {
    if (!IsMarked(text)) return text;
    const std::size_t end = text.find("> ");
    return end == std::string::npos ? text : text.substr(end + 2);
}
