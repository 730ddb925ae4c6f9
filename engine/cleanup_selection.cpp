#include "cleanup_selection.h"

#include "matching.h"
#include "tqx.h"

void FillCleanupLists(TQX& engine, const CleanupSelection& selection) {
    TQXWorkLists& lists = engine.work_lists_;
    lists.DirList = selection.related_dirs;
    for (const std::string& path : selection.install_paths) AddOnce(lists.DirList, path);

    lists.NewRegList = selection.registry_items;

    lists.AXCLSIDList.clear();
    for (const std::string& row : selection.component_items) {
        StringList fields;
        SplitByBar(row, fields);
        if (fields.size() == 2)
            lists.AXCLSIDList.push_back(row);
        else if (fields.size() == 3)
            lists.AXCLSIDList.push_back(fields[0] + "|" + fields[1]);
    }

    lists.CoreFileList = selection.core_files;
    lists.ProcessRunList = selection.processes;
    lists.SysFileList = selection.driver_files;
    lists.ShellLinkList = selection.shortcuts;
}
