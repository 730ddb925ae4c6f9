#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "file_system.h"

namespace {

bool IsKind(const std::string& path, mode_t kind) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == kind;
}

}  // namespace

bool FileExists(const std::string& path) { return IsKind(path, S_IFREG); }

bool DirectoryExists(const std::string& path) { return IsKind(path, S_IFDIR); }

bool CreateDirectories(const std::string& path) {
    if (path.empty()) return false;
    if (DirectoryExists(path)) return true;
    const std::string parent = WithoutTrailingSeparators(path);
    const std::size_t cut = LastSeparator(parent);
    if (cut != std::string::npos && cut > 0) CreateDirectories(parent.substr(0, cut));
    return mkdir(parent.c_str(), 0755) == 0 || DirectoryExists(path);
}

bool DeleteFileAlways(const std::string& path) {
    struct stat info;
    return unlink(path.c_str()) == 0 || lstat(path.c_str(), &info) != 0;
}

bool DeleteFolderTree(const std::string& path) {
    std::string folder = WithoutTrailingSeparators(path);
    if (folder.empty()) folder = path.substr(0, 1);
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            const std::string child = JoinPath(folder, name);
            struct stat info;
            if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
                DeleteFolderTree(child);
            else
                unlink(child.c_str());  // files and links alike: a link is never followed
        }
        closedir(dir);
    }
    return rmdir(folder.c_str()) == 0 || !DirectoryExists(folder);
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}
