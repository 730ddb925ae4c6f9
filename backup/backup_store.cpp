#include "backup_store.h"

#include <shlobj.h>

#include <algorithm>

#include "errors.h"
#include "file_system.h"
#include "machine_views.h"
#include "registry_export.h"
#include "win32/error_text.h"
#include "win32/handles.h"

namespace {

// Characters a folder name cannot hold become "_". Double-byte characters are taken whole: their
// trail byte may be "\" or "|" and is part of the character, not a separator.
std::string FolderNamePart(const std::string& text) {
    std::string name;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < text.size()) {
            name += text.substr(i++, 2);
            continue;
        }
        const bool allowed = std::string("\\/:*?\"<>|").find(c) == std::string::npos && static_cast<unsigned char>(c) >= 0x20;
        name += allowed ? c : '_';
    }
    return name;
}

// A copy of the folder tree with the attributes of every file and folder.
bool CopyTree(const std::string& source, const std::string& target, std::string* failure) {
    const DWORD attributes = GetFileAttributesA(source.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (failure) *failure = ErrorText("cannot read the folder " + source);
        return false;
    }
    if (!CreateDirectoryA(target.c_str(), nullptr)) {
        if (failure) *failure = ErrorText("cannot create " + target);
        return false;
    }
    WIN32_FIND_DATAA data;
    FindHandle search((source + "\\*").c_str(), data);
    if (search.IsOpen()) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string from = source + "\\" + name, to = target + "\\" + name;
            // A link is recorded as what it is, never followed out of the folder.
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            const bool copied = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CopyTree(from, to, failure)
                                                                                   : CopyFileA(from.c_str(), to.c_str(), TRUE);
            if (!copied) {
                if (failure && failure->empty()) *failure = ErrorText("cannot copy " + from);
                return false;
            }
        } while (search.Next(data));
    }
    SetFileAttributesA(target.c_str(), attributes);
    return true;
}

const char* ViewName(RegistryView view) {
    switch (view) {
        case RegistryView::k64Bit:
            return "64-bit";
        case RegistryView::k32Bit:
            return "32-bit";
        case RegistryView::kDefault:
            break;
    }
    return "default";
}

}  // namespace

unsigned long long FolderTreeBytes(const std::string& folder) {
    unsigned long long size = 0;
    WIN32_FIND_DATAA data;
    FindHandle search((folder + "\\*").c_str(), data);
    if (!search.IsOpen()) return 0;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            size += FolderTreeBytes(folder + "\\" + name);
        else
            size += (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    } while (search.Next(data));
    return size;
}

const char* BackupKindName(BackupKind kind) {
    switch (kind) {
        case BackupKind::kFile: return "file";
        case BackupKind::kFolder: return "folder";
        case BackupKind::kRegistryKey: return "key";
        case BackupKind::kRegistryValue: return "value";
    }
    return "?";
}

std::string DefaultBackupRoot() {
    char common[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, common))) return "";
    return JoinPath(common, "Kestrune\\Backups");
}

std::optional<BackupStore> BackupStore::Create(const std::string& root, const std::string& program,
                                               std::string* failure) {
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    char stamp[32];
    wsprintfA(stamp, "%04d-%02d-%02d %02d-%02d-%02d", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    // Every parent folder is made; the backup's own folder must be new.
    CreateDirectories(root);
    const std::string base = JoinPath(root, stamp) + " " + FolderNamePart(program);
    std::string folder = base;
    for (int attempt = 2; !CreateDirectoryA(folder.c_str(), nullptr); ++attempt) {
        if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 99) {
            if (failure) *failure = ErrorText("cannot create the backup folder " + folder);
            return std::nullopt;
        }
        folder = base + " (" + std::to_string(attempt) + ")";
    }
    return BackupStore(IncludeTrailingSeparator(folder));
}

std::string BackupStore::NextStoredName(const std::string& extension) {
    char name[16];
    wsprintfA(name, "%04u", static_cast<unsigned>(entries_.size() + 1));
    return name + extension;
}

int BackupStore::Add(BackupKind kind, const std::string& location, RegistryView view, const std::string& stored) {
    entries_.push_back(BackupEntry{kind, location, view, stored, "backed up"});
    return static_cast<int>(entries_.size() - 1);
}

int BackupStore::BackUpFile(const std::string& path, std::string* failure) {
    const std::string stored = NextStoredName(".file");
    if (!CopyFileA(AccessPathOf(path).c_str(), (folder_ + stored).c_str(), TRUE)) {
        if (failure) *failure = ErrorText("cannot copy " + path + " into the backup");
        DeleteFileA((folder_ + stored).c_str());
        return -1;
    }
    return Add(BackupKind::kFile, path, RegistryView::kDefault, stored);
}

int BackupStore::BackUpFolder(const std::string& path, std::string* failure) {
    const std::string stored = NextStoredName(".folder");
    std::string reason;
    if (!CopyTree(AccessPathOf(path), folder_ + stored, &reason)) {
        DeleteFolderTree(folder_ + stored);
        if (failure) *failure = reason;
        return -1;
    }
    return Add(BackupKind::kFolder, path, RegistryView::kDefault, stored);
}

int BackupStore::BackUpRegistryKey(HKEY root, const std::string& root_name, const std::string& sub_key,
                                   RegistryView view, std::string* failure) {
    std::wstring body;
    const std::string stored = NextStoredName(".reg");
    if (!ExportRegistryKey(root, root_name, sub_key, view, body, failure) ||
        !WriteRegFile(folder_ + stored, view, body, failure))
        return -1;
    return Add(BackupKind::kRegistryKey, root_name + "\\" + sub_key, view, stored);
}

int BackupStore::BackUpRegistryValue(HKEY root, const std::string& root_name, const std::string& sub_key,
                                     const std::string& value_name, RegistryView view, std::string* failure) {
    std::wstring body;
    const std::string stored = NextStoredName(".reg");
    if (!ExportRegistryValue(root, root_name, sub_key, value_name, view, body, failure) ||
        !WriteRegFile(folder_ + stored, view, body, failure))
        return -1;
    return Add(BackupKind::kRegistryValue, root_name + "\\" + sub_key + "|" + value_name, view, stored);
}

void BackupStore::NoteOutcome(int index, const std::string& outcome) {
    if (index >= 0 && static_cast<size_t>(index) < entries_.size()) entries_[index].outcome = outcome;
}

bool BackupStore::WriteManifest(std::string* failure) const {
    std::string text;
    for (const BackupEntry& entry : entries_)
        text += std::string(BackupKindName(entry.kind)) + "\t" + ViewName(entry.view) + "\t" + entry.stored + "\t" +
                entry.outcome + "\t" + entry.location + "\r\n";
    const std::string path = folder_ + "manifest.txt";
    try {
        AtomicFileWriter manifest(path);
        manifest.Write(text.data(), text.size());
        manifest.Commit();
    } catch (const EDatabaseError&) {
        if (failure) *failure = ErrorText("cannot write " + path);
        return false;
    }
    return true;
}

std::vector<std::string> PruneBackups(const std::string& root, size_t keep_count, unsigned long long max_bytes) {
    // Folder names begin with the date and time, so their order is their age.
    std::vector<std::string> folders;
    WIN32_FIND_DATAA data;
    {
        FindHandle search(JoinPath(root, "*").c_str(), data);
        if (search.IsOpen()) {
            do {
                const std::string name = data.cFileName;
                if (name != "." && name != ".." && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    folders.push_back(name);
            } while (search.Next(data));
        }
    }
    std::sort(folders.rbegin(), folders.rend());
    std::vector<std::string> removed;
    unsigned long long total = 0;
    for (size_t i = 0; i < folders.size(); ++i) {
        const std::string path = JoinPath(root, folders[i]);
        total += FolderTreeBytes(path);
        if (i == 0) continue;  // the newest stays whatever its size
        if (i >= keep_count || total > max_bytes) {
            if (DeleteFolderTree(path)) removed.push_back(path);
        }
    }
    return removed;
}
