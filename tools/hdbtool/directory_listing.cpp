#include "directory_listing.h"

#include <dirent.h>

#include <algorithm>

#include "file_system.h"

namespace {

// An open directory stream, closed at scope exit.
class DirectoryStream {
public:
    explicit DirectoryStream(const std::string& folder) : dir_(opendir(folder.c_str())) {}
    ~DirectoryStream() {
        if (dir_) closedir(dir_);
    }
    DirectoryStream(const DirectoryStream&) = delete;
    DirectoryStream& operator=(const DirectoryStream&) = delete;

    bool IsOpen() const { return dir_ != nullptr; }
    // The next entry's name, false at the end.
    bool Next(std::string& name) {
        const dirent* entry = readdir(dir_);
        if (!entry) return false;
        name = entry->d_name;
        return true;
    }

private:
    DIR* dir_;
};

}  // namespace

bool ListFolder(const std::string& folder, StringList& files, StringList& folders) {
    files.clear();
    folders.clear();
    DirectoryStream stream(folder);
    if (!stream.IsOpen()) return false;
    std::string name;
    while (stream.Next(name)) {
        if (name == "." || name == "..") continue;
        const std::string path = JoinPath(folder, name);
        if (DirectoryExists(path))
            folders.push_back(name);
        else if (FileExists(path))
            files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    std::sort(folders.begin(), folders.end());
    return true;
}
