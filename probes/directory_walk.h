// Walks of the file system: the program's folders on the system drive, and files by extension.
#pragma once

#include <string>

#include "splitters.h"

// Every folder below root (never inside a ":\Windows" folder) whose own name equals field 1 of
// a folder record, or that directly holds a file named in field 1 of a process record. A match
// is not descended into. The output is emptied first; paths carry no trailing backslash.
void FindProgramDirectories(const std::string& root, const StringList& folder_records,
                            const StringList& process_records, StringList& output);

void WalkForProgramDirectories(const std::string& directory, const StringList& directory_names,
                               const StringList& file_names, StringList& output);
bool IsNamedDirectory(const std::string& path, const StringList& directory_names);
bool DirectoryHoldsKnownFile(const std::string& path, const StringList& file_names, bool guard_windows);

// Adds once every file below directory, at any depth, whose extension is the same name as
// extension (".lnk" finds "A.LNK", not "a.lnk.bak").
void FindFilesByExtension(const std::string& directory, const std::string& extension, StringList& output);
