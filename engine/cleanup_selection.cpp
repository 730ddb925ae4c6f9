#include "cleanup_selection.h"

#include <algorithm>

#include "path_identity.h"
#include "safety_guard.h"
#include "tqx.h"

namespace {

// An install folder joins the folders to delete unless one of them names the same folder, in any
// spelling ("C:\A\" and "c:\a", a short name): one folder is backed up and deleted once.
void AddFolderOnce(StringList& folders, const std::string& folder) {
    const std::string canonical = CanonicalPath(SafetyGuard::Unmarked(folder));
    const bool listed = std::any_of(folders.begin(), folders.end(), [&](const std::string& listed_folder) {
        return CanonicalPath(SafetyGuard::Unmarked(listed_folder)) == canonical;
    });
    if (!listed) folders.push_back(folder);
}

}  // namespace

void FillCleanupLists(TQX& engine, const CleanupSelection& selection) {
    TQXWorkLists& lists = engine.work_lists_;
    lists.DirList.clear();
    for (const std::string& path : selection.related_dirs) AddFolderOnce(lists.DirList, path);
    for (const std::string& path : selection.install_paths) AddFolderOnce(lists.DirList, path);

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
    lists.ServiceList = selection.services;
    lists.ShellLinkList = selection.shortcuts;
}
