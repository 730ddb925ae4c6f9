// A throwaway folder tree in the real file system, "<parent>\<name>-<pid>", removed with
// everything in it when the fixture goes out of scope, also when a check has failed.
#pragma once

#include <string>

#include "splitters.h"

class ScratchFolder {
public:
    // parent is an existing folder, such as "C:\" (a drive root) or the temporary folder.
    ScratchFolder(const std::string& parent, const std::string& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, without a trailing backslash.
    const std::string& Path() const { return path_; }
    // Path of an entry below the folder.
    std::string operator/(const std::string& sub_path) const { return path_ + "\\" + sub_path; }

    // Create folders (with their parents) and empty files below the folder; the test fails when
    // one cannot be made. Names may hold double-byte characters whose trail byte is "\".
    void MakeFolders(const StringList& sub_paths) const;
    void MakeFiles(const StringList& sub_paths) const;
    // Removes a folder below the folder with everything in it; true when it is gone.
    bool Remove(const std::string& sub_path) const;

    // Makes sub_path a directory link to target, a full path. False when this system can make none.
    bool MakeDirectoryLink(const std::string& sub_path, const std::string& target);

private:
    std::string path_;
    StringList unix_links_;  // links that only a Unix command can remove
};
