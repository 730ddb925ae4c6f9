// qxcli backups and qxcli restore: the clean-ups' backups listed, and one of them put back, each
// line printed as it comes.
#pragma once

#include <functional>
#include <string>

#include "backup_restore.h"

using ConsolePrint = std::function<void(const std::string&)>;

// "ID<TAB>ITEMS<TAB>PROGRAM" per backup below root, newest first ("?" items when its manifest
// cannot be read); "没有备份" when there is none.
void ListConsoleBackups(const std::string& root, const ConsolePrint& print);

// Restores backup id below root (a dry run when asked), printing every line of the report.
// False, with nothing printed or changed, when id names no backup there; the reason in error.
bool RestoreConsoleBackup(const std::string& root, const std::string& id, bool dry_run, const ConsolePrint& print,
                          RestoreCounts& counts, std::string& error);
