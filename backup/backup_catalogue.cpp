#include "backup_catalogue.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "file_system.h"
#include "splitters.h"
#include "win32/error_text.h"
#include "win32/handles.h"

namespace {

constexpr size_t kStampLength = 19;  // "yyyy-mm-dd hh-mm-ss"

bool Refuse(std::string* reason, const std::string& text) {
    if (reason) *reason = text;
    return false;
}

// "yyyy-mm-dd hh-mm-ss" as "yyyy-mm-dd hh:mm:ss"; empty when the name does not begin with it.
std::string DateTimeOf(const std::string& name) {
    const char pattern[] = "dddd-dd-dd dd-dd-dd";
    if (name.size() < kStampLength || (name.size() > kStampLength && name[kStampLength] != ' ')) return "";
    for (size_t i = 0; i < kStampLength; ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(name[i])) != 0;
        if (pattern[i] == 'd' ? !digit : name[i] != pattern[i]) return "";
    }
    std::string stamp = name.substr(0, kStampLength);
    stamp[13] = stamp[16] = ':';
    return stamp;
}

// A byte search that never takes the trail byte of a double-byte character for c.
size_t FindCharacter(const std::string& text, char c) {
    for (size_t i = 0; i < text.size(); i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1)
        if (text[i] == c) return i;
    return std::string::npos;
}

// The copy's name as the backup gives it: digits, then the extension of its kind.
bool IsStoredName(const std::string& stored, BackupKind kind) {
    const char* extension = kind == BackupKind::kFile ? ".file" : kind == BackupKind::kFolder ? ".folder" : ".reg";
    const size_t dot = stored.find('.');
    return dot != 0 && dot != std::string::npos && stored.compare(dot, std::string::npos, extension) == 0 &&
           std::all_of(stored.begin(), stored.begin() + dot, [](char c) { return c >= '0' && c <= '9'; });
}

// "C:\..." or "\\server\...": a restore never writes relative to its working folder.
bool IsFullPath(const std::string& path) {
    const bool drive = path.size() > 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                       path[2] == '\\';
    return drive || path.compare(0, 2, "\\\\") == 0;
}

}  // namespace

std::vector<BackupSummary> ListBackups(const std::string& root) {
    std::vector<BackupSummary> backups;
    if (root.empty()) return backups;  // no backups folder: never the current drive's root
    WIN32_FIND_DATAA data;
    FindHandle search(JoinPath(root, "*").c_str(), data);
    for (bool more = search.IsOpen(); more; more = search.Next(data)) {
        const std::string name = data.cFileName;
        const std::string date_time = DateTimeOf(name);
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || date_time.empty()) continue;
        BackupSummary backup;
        backup.id = name;
        backup.date_time = date_time;
        backup.program = name.size() > kStampLength ? name.substr(kStampLength + 1) : "";
        const std::string folder = JoinPath(root, name);
        std::vector<ManifestLine> lines;
        if (ReadManifest(folder, lines, nullptr)) backup.item_count = static_cast<int>(lines.size());
        backup.total_bytes = FolderTreeBytes(folder);
        backups.push_back(backup);
    }
    // The names begin with the date and time, so their order is their age.
    std::sort(backups.begin(), backups.end(),
              [](const BackupSummary& a, const BackupSummary& b) { return a.id > b.id; });
    return backups;
}

std::string FindBackupFolder(const std::string& root, const std::string& id, std::string* failure) {
    const bool unsafe = id.empty() || id == "." || FindCharacter(id, '\\') != std::string::npos ||
                        id.find('/') != std::string::npos || id.find("..") != std::string::npos ||
                        id.find(':') != std::string::npos;
    const std::string folder = JoinPath(root, id);
    if (root.empty())
        Refuse(failure, "no backups folder (the common application data folder is unknown)");
    else if (unsafe)
        Refuse(failure, "\"" + id + "\" is not a backup ID (the name of a folder in " + root + ")");
    else if (!DirectoryExists(folder))
        Refuse(failure, "no backup " + id + " in " + root);
    else
        return IncludeTrailingSeparator(folder);
    return "";
}

bool ParseManifestLine(const std::string& text, BackupEntry& entry, std::string* fault) {
    // Four fields end at a tab; the location is the rest. A tab is never part of a double-byte character.
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t tab; fields.size() < 4 && (tab = text.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(text.substr(start, tab - start));
    fields.push_back(text.substr(start));
    if (fields.size() != 5)
        return Refuse(fault, std::to_string(fields.size()) + " fields, not KIND, VIEW, STORED, OUTCOME and LOCATION");

    BackupEntry read;
    const BackupKind kinds[] = {BackupKind::kFile, BackupKind::kFolder, BackupKind::kRegistryKey,
                                BackupKind::kRegistryValue};
    const BackupKind* kind = std::find_if(std::begin(kinds), std::end(kinds),
                                          [&](BackupKind k) { return fields[0] == BackupKindName(k); });
    if (kind == std::end(kinds)) return Refuse(fault, "unknown kind \"" + fields[0] + "\"");
    read.kind = *kind;
    if (fields[1] == "default")
        read.view = RegistryView::kDefault;
    else if (fields[1] == "64-bit")
        read.view = RegistryView::k64Bit;
    else if (fields[1] == "32-bit")
        read.view = RegistryView::k32Bit;
    else
        return Refuse(fault, "unknown view \"" + fields[1] + "\"");
    if (!IsStoredName(fields[2], read.kind))
        return Refuse(fault, "\"" + fields[2] + "\" is not the name of a " + fields[0] + "'s copy");
    read.stored = fields[2];
    read.outcome = fields[3];
    read.location = fields[4];
    const bool on_disk = read.kind == BackupKind::kFile || read.kind == BackupKind::kFolder;
    if (on_disk && !IsFullPath(read.location)) return Refuse(fault, "\"" + read.location + "\" is not a full path");
    if (!on_disk && FindCharacter(read.location, '\\') == std::string::npos)
        return Refuse(fault, "\"" + read.location + "\" is not ROOT\\key");
    if (read.kind == BackupKind::kRegistryValue && FindCharacter(read.location, '|') == std::string::npos)
        return Refuse(fault, "the value's location \"" + read.location + "\" has no \"|\" before its name");
    entry = read;
    return true;
}

bool ReadManifest(const std::string& folder, std::vector<ManifestLine>& lines, std::string* failure) {
    const std::string path = JoinPath(folder, "manifest.txt");
    std::string text;
    if (!ReadWholeFile(path, text))
        return Refuse(failure, ErrorText("cannot read " + path));
    std::vector<ManifestLine> read;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        ManifestLine manifest_line;
        manifest_line.number = static_cast<int>(read.size()) + 1;
        ParseManifestLine(line, manifest_line.entry, &manifest_line.fault);
        read.push_back(manifest_line);
        start = end + 1;
    }
    lines = read;
    return true;
}
