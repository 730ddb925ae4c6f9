#include "file_entries.h"

#include "comparison_rule.h"
#include "rules_statuses.h"

namespace update {

namespace {

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

TFileList ReadFileList(const IniText& control, const FolderLookup& lookup) {
    TFileList list;
    const int32_t count = control.Integer("files", "count", 0);
    for (int32_t k = 1; k <= count && k <= kMostFileEntries; ++k) {
        const std::string section = "file" + std::to_string(k);
        TFileDescription entry;
        entry.URL = ExpandFolderTokens(control.String(section, "url"), lookup);
        entry.NewVersion = control.String(section, "newversion");
        entry.NewSize = control.Integer(section, "newsize", 0);
        entry.NewCheckSum = control.Integer(section, "newchecksum", -1);
        entry.NewCustomVer = control.String(section, "customversion");
        entry.NewDate = control.String(section, "date");
        entry.NewTime = control.String(section, "time");
        entry.LocalVersion = ExpandFolderTokens(control.String(section, "localversion"), lookup);
        entry.Description = control.String(section, "descr");
        entry.TargetDir = ExpandFolderTokens(control.String(section, "targetdir"), lookup);
        if (!entry.TargetDir.empty()) entry.TargetDir += '\\';
        entry.Compressed = control.YesNo(section, "compressed");
        entry.FileSize = control.Integer(section, "filesize", 0);
        entry.Mandatory = control.YesNo(section, "mandatory");
        entry.Preselect = control.Integer(section, "preselect", 1) == 1;
        entry.Hidden = control.YesNo(section, "hidden");
        entry.Sha256 = LowerAscii(control.String(section, "sha256"));
        list.push_back(entry);
    }
    return list;
}

TFileList SelectFileEntries(const TFileList& entries, const LocalFileFacts& files, const StatusSink& status) {
    TFileList kept;
    for (const TFileDescription& entry : entries) {
        status(kStatusProcessingFile,
               entry.URL + "[" + entry.LocalVersion + ",nv=" + entry.NewVersion + ",nd=" + entry.NewDate +
                   ",ns=" + std::to_string(entry.NewSize) + ",nc=" + std::to_string(entry.NewCheckSum) + "]",
               kCodeNone, 0);
        bool newer;
        if (!entry.LocalVersion.empty() && !entry.NewDate.empty()) {
            const std::optional<UpdateTime> installed = files.ModifiedTime(entry.LocalVersion);
            newer = !installed || IsEarlier(*installed, ControlFileTime(entry.NewDate, entry.NewTime));
        } else {
            newer = IsNewerThanInstalled(entry.NewVersion, entry.LocalVersion, entry.NewCheckSum, entry.NewSize, files,
                                         status);
            if (!newer) status(kStatusNoNewVersion, "", kCodeNone, 0);
        }
        if (newer) kept.push_back(entry);
    }
    return kept;
}

}  // namespace update
