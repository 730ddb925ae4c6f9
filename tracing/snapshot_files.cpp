// The file part of a snapshot: a walk of the whole system drive.
#include <windows.h>

#include <cstring>

#include "snapshot_walks.h"
#include "win32/handles.h"

namespace {

// Folders this deep or less are told to the progress callback ("C:\" is depth 0).
constexpr int kToldDepth = 2;

std::uint64_t Joined(DWORD high, DWORD low) { return (static_cast<std::uint64_t>(high) << 32) | low; }

void AddFolder(MachineSnapshot& snapshot, const std::string& folder, int depth, SnapshotProgress progress) {
    if (progress && depth <= kToldDepth) progress(folder.c_str());
    const std::string prefix = depth == 0 ? folder : folder + "\\";
    std::vector<std::string> subfolders;
    {
        WIN32_FIND_DATAA entry;
        FindHandle search((prefix + "*").c_str(), entry);
        for (bool more = search.IsOpen(); more; more = search.Next(entry)) {
            if (std::strcmp(entry.cFileName, ".") == 0 || std::strcmp(entry.cFileName, "..") == 0) continue;
            const std::string path = prefix + entry.cFileName;
            SnapshotFile file;
            file.path = snapshot.texts.Add(path);
            file.is_folder = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            file.size = file.is_folder ? 0 : Joined(entry.nFileSizeHigh, entry.nFileSizeLow);
            file.write_time = Joined(entry.ftLastWriteTime.dwHighDateTime, entry.ftLastWriteTime.dwLowDateTime);
            snapshot.files.push_back(file);
            // A junction or symbolic link (under Wine also a Unix link, which may lead anywhere
            // in the Linux file system) is kept as an entry and never entered.
            if (file.is_folder && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) subfolders.push_back(path);
        }
    }
    // The search is closed first, so that open searches do not pile up with the depth.
    for (const std::string& subfolder : subfolders) AddFolder(snapshot, subfolder, depth + 1, progress);
}

}  // namespace

void AddDriveFiles(MachineSnapshot& snapshot, const std::string& drive_root, SnapshotProgress progress) {
    AddFolder(snapshot, drive_root, 0, progress);
}
