#include "directory_walk.h"

#include <windows.h>

#include <cstring>

#include "file_system.h"
#include "matching.h"
#include "scan_info.h"
#include "win32/handles.h"

namespace {

// Any folder whose full path contains this, in any letter case, is never entered: the Windows
// folder of every drive and every top-level folder whose name begins with Windows.
const char kWindowsGuard[] = ":\\Windows";

// From the last "." of the name on, dot included; empty when there is none. "." is never the
// trail byte of a double-byte character, so a plain search is safe.
std::string ExtensionOf(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool IsDirectory(const WIN32_FIND_DATAA& entry) { return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

// A junction or symbolic link (and, under Wine, a Unix symbolic link). The walks never enter
// one: a link back to a folder above it would make them loop, and the folder it leads to is
// walked on its own when it lies in the walked tree.
bool IsLink(const WIN32_FIND_DATAA& entry) { return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

// Calls visit(entry) for every entry of folder (which ends in "\") but "." and "..", in the order
// the file system gives them. Every kind of entry is seen, hidden and system ones included, as
// the walk's "*.*" search with the attribute filter 0x3F sees them.
template <typename Visit>
void ForEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA entry;
    FindHandle search((folder + "*.*").c_str(), entry);
    for (bool more = search.IsOpen(); more; more = search.Next(entry)) {
        if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
        visit(entry);
    }
}

// Field 1 of each record, in record order. A record without a second field, or with a blank
// one, names nothing and is passed over.
StringList SecondFieldsOf(const StringList& records) {
    StringList names, fields;
    for (const std::string& record : records)
        if (SplitByBar(record, fields) && fields.size() >= 2 && !Trimmed(fields[1]).empty())
            names.push_back(fields[1]);
    return names;
}

}  // namespace

void FindProgramDirectories(const std::string& root, const StringList& folder_records,
                            const StringList& process_records, StringList& output) {
    const StringList directory_names = SecondFieldsOf(folder_records);
    const StringList file_names = SecondFieldsOf(process_records);
    output.clear();
    WalkForProgramDirectories(root, directory_names, file_names, output);
}

void WalkForProgramDirectories(const std::string& directory, const StringList& directory_names,
                               const StringList& file_names, StringList& output) {
    // An empty folder names nothing ("\" alone would be the current drive's root).
    if (directory.empty()) return;
    const std::string folder = IncludeTrailingSeparator(directory);
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
        if (!IsDirectory(entry)) return;
        const std::string path = folder + entry.cFileName;
        ScanInfoText::Set(path);
        if (IsLink(entry) || TextContains(path, kWindowsGuard)) return;
        // A match is taken whole: nothing below it is searched.
        if (IsNamedDirectory(path, directory_names) || DirectoryHoldsKnownFile(path, file_names, true)) {
            AddOnce(output, path);
            return;
        }
        WalkForProgramDirectories(path, directory_names, file_names, output);
    });
}

bool IsNamedDirectory(const std::string& path, const StringList& directory_names) {
    // The last name is cut at the last real separator rather than split out of the whole path:
    // splitting groups quotes, so a folder below one named "Sid Meier's" would never match.
    const std::string name = FileNameOf(WithoutTrailingSeparators(path));
    if (name.empty()) return false;
    for (const std::string& known : directory_names)
        if (EqualWhenUpper(name, known)) return true;
    return false;
}

bool DirectoryHoldsKnownFile(const std::string& path, const StringList& file_names, bool guard_windows) {
    if (path.empty()) return false;
    if (guard_windows && (path.size() <= 3 || TextContains(Trimmed(path), kWindowsGuard))) return false;
    const std::string folder = IncludeTrailingSeparator(path);
    // Attributes only: the walk runs over a whole drive and never opens a file.
    for (const std::string& name : file_names) {
        const DWORD attributes = GetFileAttributesA((folder + name).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return true;
    }
    return false;
}

void FindFilesByExtension(const std::string& directory, const std::string& extension, StringList& output) {
    if (directory.empty()) return;
    const std::string folder = IncludeTrailingSeparator(directory);
    ForEachEntry(folder, [&](const WIN32_FIND_DATAA& entry) {
        const std::string path = folder + entry.cFileName;
        if (IsDirectory(entry)) {
            if (!IsLink(entry)) FindFilesByExtension(path, extension, output);
            return;
        }
        ScanInfoText::Set(path);
        if (IsSameName(Trimmed(ExtensionOf(entry.cFileName)), extension)) AddOnce(output, path);
    });
}
