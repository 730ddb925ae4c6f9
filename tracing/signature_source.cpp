#include "signature_source.h"

#include <functional>
#include <set>

#include "category_files.h"
#include "code_page.h"
#include "generic_names.h"
#include "path_order.h"
#include "protected_names.h"
#include "record_spelling.h"
#include "text_rules.h"

namespace {

constexpr char kDefaultSubType[] = "Software Management";

// A code page 936 text in UTF-8, for the error message.
std::string Utf8(const std::string& cp936) { return CommentText(cp936); }

// The text ends in the upper-cased ending, in any ASCII letter case.
bool EndsWith(const std::string& text, const char* upper_ending) {
    const std::string upper = UpperCased(text);
    const std::string ending = upper_ending;
    return upper.size() > ending.size() && upper.compare(upper.size() - ending.size(), ending.size(), ending) == 0;
}

bool IsBinary(const std::string& path) {
    for (const char* extension : {".EXE", ".DLL", ".SYS", ".OCX"})
        if (EndsWith(path, extension)) return true;
    return false;
}

// The lines of a source file, section by section, with the records counted and written once.
// Lines are gathered in code page 936 and converted once at the end: records passed the text
// checks and convert exactly, comments convert with anything odd escaped.
class SourceBuilder {
public:
    void Comment(const std::string& cp936) { lines_.push_back("# " + cp936); }
    void Line(const std::string& cp936) { lines_.push_back(cp936); }
    void Blank() {
        if (!lines_.empty() && !lines_.back().empty()) lines_.push_back("");
    }

    // A record whose text passed the checks; once per tag and text (any ASCII letter case).
    void Record(const std::string& tag, const std::string& cp936) {
        if (!written_.insert(tag + "|" + UpperCased(cp936)).second) return;
        lines_.push_back(tag + ": " + cp936);
        ++record_count_;
    }
    // A record that is not written, with the reason.
    void Skipped(const std::string& tag, const std::string& cp936, const std::string& reason) {
        if (!skipped_.insert(tag + "|" + UpperCased(cp936)).second) return;
        Comment("未写入 (" + reason + "): " + tag + ": " + cp936);
    }
    // A name other programs use too, or that many programs use: the maintainer decides.
    void Generic(const std::string& tag, const std::string& cp936, const std::string& used_by) {
        if (!skipped_.insert(tag + "|" + UpperCased(cp936)).second) return;
        const std::string why = used_by.empty() ? "a well-known generic name" : "also used by " + used_by;
        Comment("通用名称, 未写入: " + tag + ": " + cp936 + " (" + why + ")");
    }

    std::size_t RecordCount() const { return record_count_; }
    std::string Text() const {
        std::string text;
        for (const std::string& line : lines_) text += CommentText(line) + "\r\n";
        return text;
    }

private:
    std::vector<std::string> lines_;
    std::set<std::string> written_, skipped_;
    std::size_t record_count_ = 0;
};

// A process, folder or module name: written unless it is generic or names something of Windows.
void NameRecord(SourceBuilder& source, const std::string& tag, const std::string& name, const TraceMachineFacts& facts,
                const std::string& system_reason) {
    const std::string problem = FieldProblem(name);
    if (!problem.empty()) return source.Skipped(tag, name, problem);
    if (!system_reason.empty()) return source.Skipped(tag, name, system_reason);
    const auto in_use = facts.names_in_use.find(UpperCased(name));
    if (in_use != facts.names_in_use.end()) return source.Generic(tag, name, in_use->second);
    if (IsWellKnownGenericName(name)) return source.Generic(tag, name, "");
    source.Record(tag, name);
}

// What the writer works from: the changes sorted into the places the records look at.
class TraceReading {
public:
    TraceReading(const TracedChanges& changes, const TraceMachineFacts& facts) : changes_(changes), facts_(facts) {
        for (const TracedPath& path : changes.added_paths)
            if (path.is_folder) new_folders_.insert(UpperCased(path.path));
        for (const TracedShortcut& shortcut : changes.added_shortcuts) shortcuts_.insert(UpperCased(shortcut.path));
        const auto add_base = [this](const std::string& folder) {
            if (!folder.empty()) top_folder_bases_.push_back(folder);
        };
        for (const std::string* folder : {&facts.program_files, &facts.program_files_x86, &facts.common_files,
                                          &facts.common_files_x86, &facts.program_data, &facts.common_start_menu_programs})
            add_base(*folder);
        for (const std::string* own : {&facts.app_data, &facts.local_app_data, &facts.start_menu_programs})
            for (const std::string& folder : EveryProfilesFolder(*own, facts)) add_base(folder);
        if (!facts.local_app_data.empty())
            for (const std::string& folder : EveryProfilesFolder(facts.local_app_data + "\\Programs", facts))
                add_base(folder);
    }

    bool IsNewFolder(const std::string& path) const { return new_folders_.count(UpperCased(path)) != 0; }
    bool IsShortcut(const std::string& path) const { return shortcuts_.count(UpperCased(path)) != 0; }
    bool IsTopFolderBase(const std::string& folder) const {
        for (const std::string& base : top_folder_bases_)
            if (IsSamePath(folder, base)) return true;
        return false;
    }
    // Windows Installer's copies of packages and icons (C:\Windows\Installer).
    bool InInstallerCache(const std::string& path) const {
        return !facts_.windows.empty() && IsInsideFolder(path, facts_.windows + "\\Installer");
    }
    bool InDriversFolder(const std::string& path) const {
        if (facts_.windows.empty()) return false;
        const std::string parent = ParentPath(path);
        return IsSamePath(parent, facts_.windows + "\\System32\\drivers") ||
               IsSamePath(parent, facts_.windows + "\\SysWOW64\\drivers");
    }
    // The program's files went to the 64-bit Program Files, or it registered in the 64-bit view.
    bool Is64BitProgram(const TracedRegistration* registration) const {
        if (!facts_.windows_64bit) return false;
        if (registration && UpperCased(registration->key).compare(0, 14, "HKLM|SOFTWARE\\") == 0 &&
            RegistryRecordKey(registration->key) == registration->key)
            return true;
        for (const TracedPath& path : changes_.added_paths)
            if (IsInsideFolder(path.path, facts_.program_files)) return true;
        return false;
    }

private:
    const TracedChanges& changes_;
    const TraceMachineFacts& facts_;
    std::set<std::string> new_folders_, shortcuts_;
    std::vector<std::string> top_folder_bases_;
};

const TracedRegistration* FirstRegistration(const TracedChanges& changes) {
    for (const TracedRegistration& registration : changes.registrations)
        if (!Trimmed(registration.display_name).empty()) return &registration;
    return nullptr;
}

bool IsSubTypeName(const std::string& text) {
    for (const char* name : kSubTypeNames)
        if (text == name) return true;
    return false;
}

// The sub-type name that the text holds (the filters would list the program under it), or empty.
std::string SubTypeNameIn(const std::string& text) {
    for (const char* name : kSubTypeNames)
        if (ContainsExact(text, name)) return name;
    return "";
}

std::string CatalogueNameProblem(const std::string& name) {
    const std::string problem = FieldProblem(name);
    if (!problem.empty()) return problem;
    const std::string sub_type = SubTypeNameIn(name);
    if (!sub_type.empty()) return "holds the sub-type name \"" + sub_type + "\", which the sub-type filter would read";
    return "";
}

void WriteHeader(SourceBuilder& source, const std::string& name, const TraceRequest& request) {
    source.Comment(name + ": traced by qxcli trace on " + request.traced_at + ".");
    source.Comment("Installer: " + request.installer_command_line);
    source.Comment("Review before it goes into signatures/TYPE/: names that other programs use too (\"通用名称\"),");
    source.Comment("the sub-type, and every comment below; each says what was left out and why.");
    if (!request.run_problem.empty()) {
        source.Comment("注意: " + request.run_problem);
        source.Comment("The installation may be incomplete: this trace holds only what changed until then.");
    }
}

// False with error set when the catalogue line cannot be written.
bool WriteCatalogue(SourceBuilder& source, const TraceReading& reading, const TracedChanges& changes,
                    const TraceRequest& request, std::string& error) {
    const TracedRegistration* registration = FirstRegistration(changes);
    const std::string& name = request.program_name.empty() ? registration->display_name : request.program_name;
    const std::string name_problem = CatalogueNameProblem(name);
    if (!name_problem.empty()) {
        error = request.program_name.empty()
                    ? "the registration's DisplayName \"" + Utf8(name) + "\" cannot be the catalogue name (" +
                          name_problem + "); give one with --name NAME"
                    : "--name \"" + Utf8(name) + "\" cannot be the catalogue name (" + name_problem + ")";
        return false;
    }
    const std::string sub_type = request.sub_type.empty() ? kDefaultSubType : request.sub_type;
    if (!IsSubTypeName(sub_type)) {
        error = "unknown sub-type \"" + Utf8(sub_type) + "\"";
        return false;
    }
    std::string version = registration ? Trimmed(registration->display_version) : std::string();
    if (!version.empty() && !CatalogueNameProblem(version).empty()) {
        source.Comment("Version \"" + version + "\" not written (" + CatalogueNameProblem(version) + ").");
        version.clear();
    }
    if (request.sub_type.empty()) {
        std::string names;
        for (const char* known : kSubTypeNames) names += (names.empty() ? "" : ", ") + std::string(known);
        source.Comment("子类别: choose the sub-type (field 2) from: " + names + ".");
    }
    const std::string bits = reading.Is64BitProgram(registration) ? "64位" : "32位";
    source.Record("LI", name + "|" + sub_type + "|" + (version.empty() ? "-" : version) + "|5.1|6.1|" + bits);
    return true;
}

void WriteInstallNames(SourceBuilder& source, const TracedChanges& changes) {
    for (const TracedRegistration& registration : changes.registrations) {
        const std::string name = Trimmed(registration.display_name);
        if (name.empty()) continue;
        const std::string problem = FieldProblem(name);
        if (problem.empty())
            source.Record("IDN", name);
        else
            source.Skipped("IDN", name, problem);
    }
}

// The outermost new folder of each branch; FL when it lies directly in a program, data or Start
// menu folder. The others are listed in others.
void WriteFolders(SourceBuilder& source, const TraceReading& reading, const TracedChanges& changes,
                  const TraceMachineFacts& facts, std::vector<std::string>& others) {
    for (const TracedPath& path : changes.added_paths) {
        if (!path.is_folder) continue;
        const std::string parent = ParentPath(path.path);
        if (reading.IsNewFolder(parent)) continue;
        if (!reading.IsTopFolderBase(parent)) {
            others.push_back(path.path);
            continue;
        }
        const std::string name = LastPathName(path.path);
        NameRecord(source, "FL", name, facts,
                   IsProtectedFolderName(name) ? "also the name of a Windows or profile folder" : "");
    }
}

void WriteProcesses(SourceBuilder& source, const TraceReading& reading, const TracedChanges& changes,
                    const TraceMachineFacts& facts) {
    for (const TracedPath& path : changes.added_paths) {
        if (path.is_folder || !EndsWith(path.path, ".EXE") || reading.InInstallerCache(path.path)) continue;
        const std::string name = LastPathName(path.path);
        NameRecord(source, "PR", name, facts, IsSystemProcessName(name) ? "a process name of Windows" : "");
    }
}

// Program files and modules everywhere, and every new file that does not lie in a new folder.
void WriteCoreFiles(SourceBuilder& source, const TraceReading& reading, const TracedChanges& changes,
                    const TraceMachineFacts& facts) {
    for (const TracedPath& path : changes.added_paths) {
        if (path.is_folder || reading.InInstallerCache(path.path) || reading.InDriversFolder(path.path) ||
            reading.IsShortcut(path.path))
            continue;
        if (!IsBinary(path.path) && reading.IsNewFolder(ParentPath(path.path))) continue;
        std::string record, problem;
        if (!CoreFileRecordPath(path.path, facts, record, problem)) {
            source.Skipped("CF", path.path, problem);
            continue;
        }
        problem = FieldProblem(record);
        if (problem.empty() && record.find('%', record[0] == '%' ? record.find('%', 1) + 1 : 0) != std::string::npos)
            problem = "holds a percent sign, which only a leading folder variable may";
        if (problem.empty() && IsWellKnownSystemFileName(LastPathName(path.path))) problem = "a file name of Windows";
        if (problem.empty())
            source.Record("CF", record);
        else
            source.Skipped("CF", record, problem);
    }
}

void WriteDrivers(SourceBuilder& source, const TraceReading& reading, const TracedChanges& changes) {
    for (const TracedPath& path : changes.added_paths) {
        if (path.is_folder || !reading.InDriversFolder(path.path)) continue;
        const std::string name = LastPathName(path.path);
        const std::string problem = FieldProblem(name);
        if (problem.empty())
            source.Record("IS", name);
        else
            source.Skipped("IS", name, problem);
    }
}

void WriteComServers(SourceBuilder& source, const std::vector<TracedComClass>& com_classes,
                     const TraceMachineFacts& facts) {
    for (const TracedComClass& com_class : com_classes)
        source.Comment(com_class.clsid + " -> " + com_class.module +
                       (com_class.replaced ? " (the class existed: the installation replaced its server)" : ""));
    for (const TracedComClass& com_class : com_classes) {
        const std::string name = LastPathName(com_class.module);
        if (com_class.replaced) {
            source.Skipped("RAXC", name, "serves a class that existed before; the clean-up would take the whole class");
            continue;
        }
        NameRecord(source, "RAXC", name, facts,
                   IsSystemModuleName(name) ? "a module of Windows: its classes are not the program's own" : "");
    }
}

// "ROOT|key path" as a record names it, or empty with the reason.
std::string RegistryKeyRecord(const std::string& traced_key, std::string& problem) {
    const std::string key = RegistryRecordKey(traced_key);
    const std::size_t bar = key.find('|');
    if (bar == std::string::npos || bar + 1 == key.size()) {
        problem = "not ROOT|key path";
        return "";
    }
    const std::string root = key.substr(0, bar), path = key.substr(bar + 1);
    if (root != "HKLM" && root != "HKCU" && root != "HKU" && root != "HKCR") {
        problem = "the root is none of HKLM, HKCU, HKU, HKCR";
        return "";
    }
    problem = FieldProblem(path);
    if (problem.empty() && path[0] == '\\') problem = "begins with a backslash";
    if (!problem.empty()) return "";
    return key;
}

bool IsInsideKey(const std::string& key, const std::string& other) {
    const std::string upper = UpperCased(key), upper_other = UpperCased(other);
    return upper == upper_other ||
           (upper.size() > upper_other.size() && upper.compare(0, upper_other.size(), upper_other) == 0 &&
            upper[upper_other.size()] == '\\');
}

void WriteRegistry(SourceBuilder& source, const TracedChanges& changes) {
    std::vector<std::string> keys = changes.added_keys;
    // The registrations always: the program's entry in Programs and Features goes with it.
    for (const TracedRegistration& registration : changes.registrations) {
        bool covered = false;
        for (const std::string& key : changes.added_keys) covered = covered || IsInsideKey(registration.key, key);
        if (!covered) keys.push_back(registration.key);
    }
    for (const std::string& traced : keys) {
        std::string problem;
        const std::string key = RegistryKeyRecord(traced, problem);
        const std::size_t bar = key.find('|');
        if (problem.empty() && IsProtectedRegistryKey(key.substr(0, bar), key.substr(bar + 1)))
            problem = "a key Windows or every program needs (" + ProtectedRegistryKeyReason(key.substr(0, bar), key.substr(bar + 1)) +
                      "): name its own values and keys by hand";
        if (problem.empty())
            source.Record("RN", key);
        else
            source.Skipped("RN", traced, problem);
    }
    for (const TracedValue& value : changes.values) {
        if (value.changed) continue;
        std::string problem;
        const std::string key = RegistryKeyRecord(value.key, problem);
        const std::string& name = value.name;
        if (problem.empty()) problem = ValueNameProblem(name);
        if (problem.empty() && EndsWith(key, "\\SHAREDDLLS"))
            problem = "a shared-DLL count, which a clean-up never touches";
        const std::string text = (problem.empty() ? key : value.key) + "|\"" + name + "\"";
        if (problem.empty())
            source.Record("RN", text);
        else
            source.Skipped("RN", text, problem);
    }
}

// Everything the trace found that is no record, as comments.
void WriteNotes(SourceBuilder& source, const TracedChanges& changes, const TraceReading& reading,
                const std::vector<std::string>& other_folders) {
    const auto section = [&](bool any, const char* heading) {
        if (!any) return false;
        source.Blank();
        source.Comment(heading);
        return true;
    };
    if (section(!changes.added_services.empty(),
                "服务: the analysis finds a service by its image in a found folder or driver file; no record needed."))
        for (const TracedService& service : changes.added_services)
            source.Comment("  " + service.name + " (" + service.display_name + "): " + service.image_path);
    if (section(!changes.added_shortcuts.empty(),
                "快捷方式: the analysis finds a shortcut by its target in a found folder; no record needed."))
        for (const TracedShortcut& shortcut : changes.added_shortcuts)
            source.Comment("  " + shortcut.path + " -> " +
                           (shortcut.target.empty() ? std::string("(unreadable)") : (shortcut.target)));
    if (section(!other_folders.empty(),
                "新文件夹, 未写入 FL: not directly in a program, data or Start menu folder (the programs and modules in them are CF records)."))
        for (const std::string& folder : other_folders) source.Comment("  " + folder);
    std::vector<std::string> cached;
    for (const TracedPath& path : changes.added_paths)
        if (reading.InInstallerCache(path.path)) cached.push_back(path.path);
    if (section(!cached.empty(), "Windows Installer 缓存: the package's copy; Windows Installer removes it with the program."))
        for (const std::string& path : cached) source.Comment("  " + path);
    if (section(!changes.changed_files.empty(), "已更改的文件: they existed before the installation; not written."))
        for (const std::string& path : changes.changed_files) source.Comment("  " + path);
    bool any_changed_value = false;
    for (const TracedValue& value : changes.values) any_changed_value = any_changed_value || value.changed;
    if (section(any_changed_value, "已更改的值: they existed before the installation; not written."))
        for (const TracedValue& value : changes.values)
            if (value.changed)
                source.Comment("  " + value.key + "|\"" + value.name + "\" = " + value.data);
    if (section(!changes.filtered.empty(), "已过滤: left out as noise of Windows or Wine."))
        for (const std::string& line : changes.filtered) source.Comment("  " + line);
}

bool IsTypeName(const std::string& text) { return text == "MW" || text == "SW" || text == "NM"; }

// The names of a path given with either separator.
std::vector<std::string> PathNames(const std::string& path) { return SplitNames(path, "\\/"); }

}  // namespace

bool SignatureKeyOf(const std::string& signature_file, const std::string& requested_type, std::string& type,
                    std::string& key, std::string& error) {
    const std::vector<std::string> names = PathNames(signature_file);
    const std::string file = names.empty() ? std::string() : names.back();
    if (!EndsWith(file, ".SIG")) {
        error = "the signature file's name must end in .sig (hdbtool passes over other files)";
        return false;
    }
    std::string stem;
    for (const char c : file.substr(0, file.size() - 4)) {
        const bool letter_or_digit = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (letter_or_digit)
            stem += static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        else if (!stem.empty() && stem.back() != '-')
            stem += '-';
    }
    while (!stem.empty() && stem.back() == '-') stem.pop_back();
    if (stem.empty()) {
        error = "the signature file's name gives no key: name it with ASCII letters or digits (xinglan-player.sig)";
        return false;
    }
    const std::string folder = names.size() > 1 ? names[names.size() - 2] : std::string();
    const std::string folder_type = IsTypeName(folder) ? folder : std::string();
    if (!requested_type.empty() && !IsTypeName(requested_type)) {
        error = "unknown software type " + requested_type + " (MW, SW or NM)";
        return false;
    }
    if (!requested_type.empty() && !folder_type.empty() && requested_type != folder_type) {
        error = "--type " + requested_type + " differs from the type folder " + folder_type +
                " the file lies in, which hdbtool reads the type from";
        return false;
    }
    type = !requested_type.empty() ? requested_type : !folder_type.empty() ? folder_type : "NM";
    key = type + "-" + stem;
    return true;
}

SignatureSourceText WriteSignatureSource(const TracedChanges& changes, const std::vector<TracedComClass>& com_classes,
                                         const TraceRequest& request, const TraceMachineFacts& facts) {
    SignatureSourceText result;
    std::string type, key;
    if (!SignatureKeyOf(request.signature_file, request.type, type, key, result.error)) return result;
    const TracedRegistration* registration = FirstRegistration(changes);
    if (!registration && request.program_name.empty()) {
        result.error =
            "the installation made no uninstall registration, so there is no name for the catalogue line: "
            "give one with --name NAME";
        return result;
    }

    const TraceReading reading(changes, facts);
    SourceBuilder source;
    WriteHeader(source, request.program_name.empty() ? registration->display_name : request.program_name, request);
    source.Line("KEY: " + key);
    if (!WriteCatalogue(source, reading, changes, request, result.error)) return result;
    std::vector<std::string> other_folders;
    const std::function<void()> sections[] = {
        [&] { WriteInstallNames(source, changes); },
        [&] { WriteFolders(source, reading, changes, facts, other_folders); },
        [&] { WriteProcesses(source, reading, changes, facts); },
        [&] { WriteCoreFiles(source, reading, changes, facts); },
        [&] { WriteDrivers(source, reading, changes); },
        [&] { WriteComServers(source, com_classes, facts); },
        [&] { WriteRegistry(source, changes); },
    };
    for (const auto& section : sections) {
        source.Blank();
        section();
    }
    WriteNotes(source, changes, reading, other_folders);
    result.utf8_text = source.Text();
    result.record_count = source.RecordCount();
    result.written = true;
    return result;
}
