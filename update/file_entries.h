// The control file's file entries ([files] count and the sections file1, file2 ...) and the
// selection of those newer than the installed files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "folder_tokens.h"
#include "ini_text.h"
#include "local_file_facts.h"
#include "status_sink.h"

namespace update {

struct TFileDescription {
    std::string URL;  // folder tokens expanded
    std::string NewVersion;
    int32_t NewSize = 0;
    int32_t NewCheckSum = -1;
    std::string NewCustomVer;
    std::string NewDate;
    std::string NewTime;
    std::string LocalVersion;  // folder tokens expanded
    std::string Description;
    std::string TargetDir;  // folder tokens expanded, with a trailing backslash when not empty
    bool Compressed = false;
    int32_t FileSize = 0;
    bool Mandatory = false;
    bool Preselect = true;
    bool Hidden = false;
    bool Selected = false;
    std::string Sha256;  // key sha256: the file's SHA-256 in lower-case hex, checked after download
};
using TFileList = std::vector<TFileDescription>;

// A hostile count must not make a list of millions: more entries than this are not read.
constexpr int32_t kMostFileEntries = 1000;

// count entries; a missing section gives an entry of defaults; a count of 0 or less none.
TFileList ReadFileList(const IniText& control, const FolderLookup& lookup);
// The entries newer than the installed files, in file order: by date when both the local path
// and a date are set (kept when the file is missing or older), otherwise by the comparison rule.
TFileList SelectFileEntries(const TFileList& entries, const LocalFileFacts& files, const StatusSink& status);

}  // namespace update
