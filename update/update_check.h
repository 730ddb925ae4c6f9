// Whether the control file's [update] section announces an update for this installation.
#pragma once

#include "folder_tokens.h"
#include "ini_text.h"
#include "local_file_facts.h"
#include "status_sink.h"

namespace update {

// By date when [update] date is set (then unconditional alone can still announce one), else
// unconditionally when unconditional is set, else by the comparison rule on newversion, newsize
// and newchecksum against localversion (folder tokens expanded through lookup, which may throw).
// Reports each step by number; "New version found" names the new date in the short date form,
// or the new version.
bool UpdateAvailable(const IniText& control, const FolderLookup& lookup, const LocalFileFacts& files,
                     const StatusSink& status);

}  // namespace update
