#include "cleanup_selection.h"

#include "matching.h"
#include "tqx.h"

void FillCleanupLists(TQX& engine, const CleanupSelection& selection) {
    engine.DirList = selection.related_dirs;
    for (const std::string& path : selection.install_paths) AddOnce(engine.DirList, path);

    engine.NewRegList = selection.registry_items;

    engine.AXCLSIDList.clear();
    for (const std::string& row : selection.component_items) {
        StringList fields;
        SplitByBar(row, fields);
        if (fields.size() == 2)
            engine.AXCLSIDList.push_back(row);
        else if (fields.size() == 3)
            engine.AXCLSIDList.push_back(fields[0] + "|" + fields[1]);
    }

    engine.CoreFileList = selection.core_files;
    engine.ProcessRunList = selection.processes;
    engine.SysFileList = selection.driver_files;
    engine.ShellLinkList = selection.shortcuts;
}
