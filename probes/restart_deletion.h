// Deletion at the next restart, for what cannot go now because a process holds it open: the
// system's pending-rename list (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT), which Windows
// carries out before anything can open the files again.
#pragma once

#include <string>

// The file (or empty folder, or link) is deleted at the next restart; false with the system
// error when it cannot be scheduled.
bool ScheduleDeletionAtRestart(const std::string& path, std::string* failure = nullptr);
// Everything still in the folder, then the folder itself, deepest first so that each folder is
// empty when its turn comes at start-up. Links are scheduled as themselves, never followed.
bool ScheduleTreeDeletionAtRestart(const std::string& folder, std::string* failure = nullptr);
// The path is on the pending-rename list to be deleted (not renamed) at the next restart.
bool IsPendingDeletionAtRestart(const std::string& path);
