// Puts back what a clean-up removed, from its backup folder. The manifest's entries are taken
// last first, so a folder is there again before the files removed from it earlier, and a key
// before its values. Nothing that exists is ever written over: an item that is there again is
// reported and left as it is. The backup folder itself is only read, so it can be restored again.
#pragma once

#include <functional>
#include <string>

struct RestoreCounts {
    int restored = 0;
    int not_restored = 0;  // there already, or failed (also a damaged manifest line)
};

// Receives each line of the report, in code page 936.
using RestoreReport = std::function<void(const std::string& line)>;

// One line per entry ("已恢复文件: PATH", "已存在, 未覆盖: PATH", "未能恢复: PATH (reason)" ...),
// then a closing line with the counts. A dry run writes nothing and says what it would do.
RestoreCounts RestoreBackup(const std::string& folder, bool dry_run, const RestoreReport& report);
