#include "dangerous_records.h"

#include "code_page.h"
#include "protected_names.h"
#include "record_path_variables.h"
#include "text_rules.h"

namespace {

std::string OfProgram(const StringList& fields) { return " of program " + Quoted(fields[0]); }

// The names of a core file's path below its drive, upper-cased: "C:\Windows\a.dll" gives
// {"WINDOWS", "A.DLL"}.
StringList NamesBelowDrive(const std::string& path) {
    StringList names;
    SplitByBackslash(path.substr(2), names);
    for (std::string& name : names) name = UpperCased(name);
    return names;
}

bool IsUsersFolder(const std::string& upper_name) {
    return upper_name == "USERS" || upper_name == "DOCUMENTS AND SETTINGS";
}

// Every name is that of a Windows or profile folder, the user name after Users aside:
// C:\Program Files, C:\Program Files\Common Files, C:\Users\Tom, C:\Users\Tom\AppData\Roaming.
bool IsWindowsOrProfileFolder(const StringList& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool user_name = i == 1 && IsUsersFolder(names[0]);
        if (!user_name && !IsProtectedFolderName(names[i])) return false;
    }
    return !names.empty();
}

// Directly in the Windows folder, in System, System32, SysWOW64 or their drivers folders, or
// anywhere under WinSxS.
bool LiesInSystemFolder(const StringList& names) {
    if (names.size() < 2 || (names[0] != "WINDOWS" && names[0] != "WINNT")) return false;
    if (names[1] == "WINSXS") return true;
    const StringList folder(names.begin() + 1, names.end() - 1);  // below the Windows folder
    if (folder.empty()) return true;
    const bool system = folder[0] == "SYSTEM32" || folder[0] == "SYSWOW64" || folder[0] == "SYSTEM";
    return system && (folder.size() == 1 || (folder.size() == 2 && folder[1] == "DRIVERS"));
}

}  // namespace

void DangerousRecordCheck::Check(const std::string& type, const CategoryLayout& category, const std::string& place,
                                 const StringList& fields) {
    const std::string code = category.code;
    const std::string& name = fields[1];
    if (code == "PR") {
        CheckProcess(type, place, fields);
    } else if (code == "CF") {
        CheckCoreFile(place, fields);
    } else if (code == "FL" && IsProtectedFolderName(name)) {
        faults_.Warn(place, "folder name " + Quoted(name) + OfProgram(fields) +
                                " is also the name of a Windows or profile folder: the rule would take that folder");
    } else if (code == "RAXC" && IsSystemModuleName(name)) {
        faults_.Warn(place, "COM module " + Quoted(name) + OfProgram(fields) + " is a module of Windows");
    } else if (code == "RN") {
        CheckRegistryKey(place, fields);
    }
}

void DangerousRecordCheck::CheckProcess(const std::string& type, const std::string& place, const StringList& fields) {
    const std::string& name = fields[1];
    if (IsSystemProcessName(name)) {
        faults_.Warn(place, "process " + Quoted(name) + OfProgram(fields) +
                                " is a process of Windows or of the uninstaller: it is never ended");
        return;
    }
    const std::string upper = UpperCased(Trimmed(name));
    const ProcessOwner owner{type + "|" + fields[0], fields[0], place};
    const auto first = process_owners_.emplace(upper, owner).first->second;
    if (first.program == owner.program || !reported_sharing_.emplace(upper, owner.program).second) return;
    faults_.Warn(place, "process " + Quoted(name) + OfProgram(fields) + " is also a process of program " +
                            Quoted(first.key) + " (" + first.place +
                            "): ending it for one program would end the other's");
}

void DangerousRecordCheck::CheckCoreFile(const std::string& place, const StringList& fields) {
    const std::string& path = fields[1];
    const std::string what = "core file " + Quoted(path) + OfProgram(fields);
    RecordPath record_path;
    std::string fault;
    if (ParseRecordPath(path, record_path, fault) && record_path.variable) {
        // Below a known folder the file is the program's; the folder itself never is.
        if (record_path.rest.find_first_not_of('\\') == std::string::npos)
            faults_.Warn(place, what + " is a known folder itself");
        return;
    }
    const StringList names = NamesBelowDrive(path);
    if (names.empty()) {
        faults_.Warn(place, what + " is a drive root");
    } else if (IsWindowsOrProfileFolder(names)) {
        faults_.Warn(place, what + " is a Windows or profile folder");
    } else if (IsWellKnownSystemFileName(names.back())) {
        faults_.Warn(place, what + " is a file of Windows");
    } else if (LiesInSystemFolder(names)) {
        faults_.Note(place, what + " lies in a folder of Windows: make sure it is the program's own file");
    }
}

// A record of three fields names a key, to be deleted with everything below it; a fourth field
// names one value, which may go from any key.
void DangerousRecordCheck::CheckRegistryKey(const std::string& place, const StringList& fields) {
    if (fields.size() != 3) return;
    const std::string reason = ProtectedRegistryKeyReason(fields[1], fields[2]);
    if (reason.empty()) return;
    faults_.Warn(place, "registry key " + Quoted(fields[1] + "\\" + fields[2]) + OfProgram(fields) + " is protected (" +
                            Cp936ToUtf8OrEscaped(reason) + "): deleting it would take what Windows or every program needs");
}
