#include "tqx.h"

#include "file_codec.h"
#include "file_system.h"

namespace {

constexpr const char kPackageName[] = "REZ.hdb3";
constexpr const char kWorkFolderName[] = "SID_UP";

// The cache of the type, or null for any other text; const or not as the caches are.
template <typename Caches>
auto CacheIn(Caches& caches, const std::string& type) -> decltype(&caches.MWSoftwareList) {
    if (type == "MW") return &caches.MWSoftwareList;
    if (type == "SW") return &caches.SWSoftwareList;
    if (type == "NM") return &caches.NMSoftwareList;
    return nullptr;
}

}  // namespace

TQX::TQX(const std::string& app_dir, const std::string& temp_dir)
    : AppDir(IncludeTrailingSeparator(app_dir)),
      WorkDir(IncludeTrailingSeparator(temp_dir) + kWorkFolderName),
      PackageFile(AppDir + kPackageName),
      BackupRoot(DefaultBackupRoot()) {}

// A fresh group in place of the old one: its lists' memory goes with it.
void TQX::ClearLists() {
    catalogue_ = TQXCatalogueCaches();
    work_lists_ = TQXWorkLists();
    analysis_scratch_ = TQXAnalysisScratch();
}

void TQX::Initialize() {
    ClearLists();
    for (TQXCallback* slot : {&OnSoftwareItem, &OnInstalledPath, &OnProcessRun, &OnCoreFile, &OnRelatedDir,
                              &OnAXCLSID, &OnSysFile, &OnNewReg, &OnShellLink, &OnCleanInfo, &OnService})
        *slot = nullptr;
}

bool TQX::UnpackDatabase() {
    if (PackageFile.empty() || WorkDir.empty() || !FileExists(PackageFile)) return false;
    // A package unpacked anew (a database update) makes every listed catalogue stale.
    catalogue_ = TQXCatalogueCaches();
    run_records_.reset();
    return UnpackPackage(PackageFile, WorkDir);
}

StringList* TQX::CacheOf(const std::string& type) { return CacheIn(catalogue_, type); }

const StringList* TQX::SoftwareListOf(const std::string& type) const { return CacheIn(catalogue_, type); }

void TQX::ClearSoftwareList(const std::string& type) {
    if (StringList* list = CacheOf(type)) list->clear();
}

void TQX::Finalize() {
    if (!WorkDir.empty()) DeleteFolderTree(WorkDir);
    run_records_.reset();
    ClearLists();
}
