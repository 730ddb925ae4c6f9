#include "tqx.h"

#include "file_codec.h"
#include "file_system.h"

namespace {

constexpr const char kPackageName[] = "REZ.hdb3";
constexpr const char kWorkFolderName[] = "SID_UP";

void Free(StringList& list) { StringList().swap(list); }

}  // namespace

TQX::TQX(const std::string& app_dir, const std::string& temp_dir)
    : AppDir(IncludeTrailingSeparator(app_dir)),
      WorkDir(IncludeTrailingSeparator(temp_dir) + kWorkFolderName),
      PackageFile(AppDir + kPackageName) {}

std::array<StringList*, 13> TQX::AllLists() {
    return {&MWSoftwareList, &SWSoftwareList, &NMSoftwareList, &DirList,     &NewRegList,
            &AXCLSIDList,    &CoreFileList,   &ProcessRunList, &SysFileList, &ShellLinkList,
            &DirUpperList,   &ProcessUpperList, &CLSIDList};
}

void TQX::Initialize() {
    for (StringList* list : AllLists()) list->clear();
    for (TQXCallback* slot : {&OnSoftwareItem, &OnInstalledPath, &OnProcessRun, &OnCoreFile, &OnRelatedDir,
                              &OnAXCLSID, &OnSysFile, &OnNewReg, &OnShellLink, &OnCleanInfo})
        *slot = nullptr;
}

bool TQX::UnpackDatabase() {
    if (PackageFile.empty() || WorkDir.empty() || !FileExists(PackageFile)) return false;
    return UnpackPackage(PackageFile, WorkDir);
}

StringList* TQX::SoftwareListOf(const std::string& type) {
    if (type == "MW") return &MWSoftwareList;
    if (type == "SW") return &SWSoftwareList;
    if (type == "NM") return &NMSoftwareList;
    return nullptr;
}

void TQX::ClearSoftwareList(const std::string& type) {
    if (StringList* list = SoftwareListOf(type)) list->clear();
}

void TQX::Finalize() {
    if (!WorkDir.empty()) DeleteFolderTree(WorkDir);
    for (StringList* list : AllLists()) Free(*list);
}
