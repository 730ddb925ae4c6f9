// Walks of the file system: the program's folders on the system drive, and files by extension.
// Both see hidden and system entries, and neither enters a junction or symbolic link, so a link
// that leads back up the tree cannot make them loop. Paths are ANSI (code page 936) texts;
// a folder argument may end in "\" or not, and an empty one finds nothing.
#pragma once

#include <string>

#include "folder_search.h"
#include "splitters.h"

// How the program-directory walk lists folders and how many threads share it. Whatever is
// chosen, the results are the same and in the same order.
struct WalkOptions {
    unsigned threads = 0;  // 0: WalkThreadCount() (one per processor)
    SearchMethod search = SearchMethod::kQuickest;
};

// Every folder below root (never inside a ":\Windows" folder) whose own name equals field 1 of
// a folder record, or that directly holds a file named in field 1 of a process record. A match
// is not descended into. Records without a second field are passed over. The output is emptied
// first; paths carry no trailing backslash and are added once, in depth-first order.
void FindProgramDirectories(const std::string& root, const StringList& folder_records,
                            const StringList& process_records, StringList& output,
                            const WalkOptions& options = WalkOptions());

// The walk of FindProgramDirectories, over known names rather than records; adds to output
// without emptying it. Names compare by the equal-when-upper rule, file names against the
// entries each folder's listing gives (a folder that cannot be listed is asked for each file
// name, as DirectoryHoldsKnownFile does). Sets ScanInfoText to the folders it examines, from
// every thread of the walk.
void WalkForProgramDirectories(const std::string& directory, const StringList& directory_names,
                               const StringList& file_names, StringList& output,
                               const WalkOptions& options = WalkOptions());

// The last name of path equals a known directory name by the equal-when-upper rule (the whole
// name: Foo matches FOO, not Foo2 nor "foo bar").
bool IsNamedDirectory(const std::string& path, const StringList& directory_names);

// path directly holds a file (not a folder) of one of the names. With guard_windows, a path of
// three characters or fewer (a drive root) or one containing ":\Windows" holds nothing.
bool DirectoryHoldsKnownFile(const std::string& path, const StringList& file_names, bool guard_windows);

// Adds once every file below directory, at any depth, whose extension (from the last "." of its
// name on, trimmed) is the same name as extension: ".lnk" finds "A.LNK", not "a.lnk.bak". Sets
// ScanInfoText to every file it examines.
void FindFilesByExtension(const std::string& directory, const std::string& extension, StringList& output);
