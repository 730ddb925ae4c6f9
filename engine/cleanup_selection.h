// What a front end hands to the clean-up: the report rows the user kept, by kind, and the
// install folders of the install-path page.
#pragma once

#include "splitters.h"

class TQX;

struct CleanupSelection {
    StringList related_dirs;      // ticked "相关目录" rows
    StringList registry_items;    // ticked "相关注册表" rows
    StringList component_items;   // ticked "组件注册表" rows, as the analysis reported them
    StringList core_files;        // ticked "核心文件" rows
    StringList processes;         // ticked "进程信息" rows
    StringList driver_files;      // ticked "驱动文件" rows
    StringList services;          // ticked "系统服务" rows
    StringList shortcuts;         // every "快捷方式" row
    StringList install_paths;     // every row of the install-path page
};

// The one way a front end sets the engine's work lists, before a clean-up: refills them
// from the selection. A folder named twice (in any spelling: letter case, a trailing separator,
// a short name) is listed once, and component items lose the matched server file so that they
// name their key; component rows of another shape are left out.
void FillCleanupLists(TQX& engine, const CleanupSelection& selection);
