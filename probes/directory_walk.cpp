#include "directory_walk.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "file_system.h"
#include "matching.h"
#include "scan_info.h"
#include "subtree_pool.h"

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

bool IsWindowsGuarded(const std::string& path) { return TextContains(path, kWindowsGuard); }

// Calls visit(entry) for every entry of folder (which ends in "\") but "." and "..", in the order
// the file system gives them. Every kind of entry is seen, hidden and system ones included, as
// the walk's "*.*" search with the attribute filter 0x3F sees them. visit returns false to stop.
// False when the folder cannot be listed.
template <typename Visit>
bool ForEachEntry(const std::string& folder, SearchMethod method, Visit visit) {
    WIN32_FIND_DATAA entry;
    FolderSearch search(folder, entry, method);
    if (!search.IsOpen()) return false;
    do {
        if (!IsDotEntry(entry) && !visit(entry)) break;
    } while (search.Next(entry));
    return true;
}

// The program-directory walk of one tree. Each folder is listed once: its file entries tell
// whether it holds a known file, its folder entries are walked in listing order. While another
// thread waits for work, the walk hands it the next sibling folder of the shallowest folder it
// is in (the largest piece of work it knows of); the pool puts the results back in order.
class ProgramDirectoryWalk {
public:
    ProgramDirectoryWalk(const StringList& directory_names, const StringList& file_names, const WalkOptions& options)
        : directory_names_(directory_names),
          file_names_(file_names),
          file_names_list_(file_names),
          search_(options.search),
          pool_(options.threads ? options.threads : WalkThreadCount(),
                [this](const std::string& folder, SubtreePool::Segment& results) {
                    ScanInfoText::Set(folder);
                    Frames frames;
                    Visit(folder, frames, results);
                }) {}

    void Run(const std::string& root, StringList& output) {
        pool_.Run(
            [&](SubtreePool::Segment& results) {
                Frame frame;
                frame.folder = IncludeTrailingSeparator(root);
                // The root itself is no candidate: only its entries are.
                ForEachEntry(frame.folder, search_, [&](const WIN32_FIND_DATAA& entry) {
                    if (IsDirectory(entry)) frame.subfolders.push_back({entry.cFileName, IsLink(entry), nullptr});
                    return true;
                });
                Frames frames{&frame};
                WalkFolder(frame, frames, results);
            },
            output);
    }

private:
    struct Subfolder {
        std::string name;
        bool is_link;
        const SubtreePool::Segment* handed_over;  // its results, when another thread walks it
    };
    // A folder being walked: its subfolders in listing order and how far the walk has come.
    struct Frame {
        std::string folder;  // ends in "\"
        std::vector<Subfolder> subfolders;
        std::size_t next = 0;        // the next subfolder the walk takes
        std::size_t share_from = 0;  // subfolders before this one are no more to hand over
    };
    // The folders a thread is in, the walked root or handed-over folder first.
    using Frames = std::vector<Frame*>;

    // A subfolder the walk enters: not a link, not a Windows folder, not a match by its name.
    bool IsEntered(const Subfolder& subfolder, const std::string& path) const {
        return !subfolder.is_link && !IsWindowsGuarded(path) && !directory_names_.Contains(subfolder.name);
    }

    void WalkFolder(Frame& frame, Frames& frames, SubtreePool::Segment& results) {
        while (frame.next < frame.subfolders.size()) {
            const Subfolder& subfolder = frame.subfolders[frame.next++];
            if (subfolder.handed_over) {
                results.AddSubtree(subfolder.handed_over);
                continue;
            }
            const std::string path = frame.folder + subfolder.name;
            ScanInfoText::Set(path);
            if (subfolder.is_link || IsWindowsGuarded(path)) continue;
            // A match is taken whole: nothing below it is searched.
            if (directory_names_.Contains(subfolder.name)) {
                results.Add(path);
                continue;
            }
            if (pool_.Hungry()) ShareWork(frames);
            Visit(path, frames, results);
        }
    }

    // A folder the walk enters: a match when it directly holds a known file, else walked.
    void Visit(const std::string& path, Frames& frames, SubtreePool::Segment& results) {
        Frame frame;
        frame.folder = IncludeTrailingSeparator(path);
        bool holds_known_file = false;
        const bool listed = ForEachEntry(frame.folder, search_, [&](const WIN32_FIND_DATAA& entry) {
            if (IsDirectory(entry)) {
                frame.subfolders.push_back({entry.cFileName, IsLink(entry), nullptr});
                return true;
            }
            holds_known_file = file_names_.Contains(entry.cFileName);
            return !holds_known_file;
        });
        // A folder that cannot be listed may still let its files be looked up by name.
        if (!listed) holds_known_file = DirectoryHoldsKnownFile(path, file_names_list_, true);
        if (holds_known_file) {
            results.Add(path);
            return;
        }
        frames.push_back(&frame);
        WalkFolder(frame, frames, results);
        frames.pop_back();
    }

    // Hands waiting threads the next subfolders to be entered, shallowest folder first.
    void ShareWork(Frames& frames) {
        for (Frame* frame : frames) {
            std::size_t index = std::max(frame->next, frame->share_from);
            for (; index < frame->subfolders.size() && pool_.Hungry(); ++index) {
                Subfolder& subfolder = frame->subfolders[index];
                const std::string path = frame->folder + subfolder.name;
                if (!subfolder.handed_over && IsEntered(subfolder, path)) subfolder.handed_over = pool_.HandOver(path);
            }
            frame->share_from = index;
            if (!pool_.Hungry()) return;
        }
    }

    const UpperNameSet directory_names_, file_names_;
    const StringList& file_names_list_;
    const SearchMethod search_;
    SubtreePool pool_;
};

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
                            const StringList& process_records, StringList& output, const WalkOptions& options) {
    const StringList directory_names = SecondFieldsOf(folder_records);
    const StringList file_names = SecondFieldsOf(process_records);
    output.clear();
    WalkForProgramDirectories(root, directory_names, file_names, output, options);
}

void WalkForProgramDirectories(const std::string& directory, const StringList& directory_names,
                               const StringList& file_names, StringList& output, const WalkOptions& options) {
    // An empty folder names nothing ("\" alone would be the current drive's root).
    if (directory.empty()) return;
    ProgramDirectoryWalk(directory_names, file_names, options).Run(directory, output);
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
    if (guard_windows && (path.size() <= 3 || IsWindowsGuarded(Trimmed(path)))) return false;
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
    ForEachEntry(folder, SearchMethod::kQuickest, [&](const WIN32_FIND_DATAA& entry) {
        const std::string path = folder + entry.cFileName;
        if (IsDirectory(entry)) {
            if (!IsLink(entry)) FindFilesByExtension(path, extension, output);
            return true;
        }
        ScanInfoText::Set(path);
        if (IsSameName(Trimmed(ExtensionOf(entry.cFileName)), extension)) AddOnce(output, path);
        return true;
    });
}
