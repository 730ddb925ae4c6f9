// Fetching the selected entries: one confirmation, each download verified against the control
// file, components kept for the replacement, other files moved into their folders in one step.
#include "database_check.h"
#include "download_placement.h"
#include "file_system.h"
#include "folder_lookup_win.h"
#include "http_download.h"
#include "online_update.h"
#include "update_folders.h"
#include "url_file_name.h"

namespace update {

namespace {

const char kDownloadQuestion[] = "Download update files ?";

bool StaysInTemporaryFolder(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    return EqualsIgnoringCase(extension, ".CAB") || EqualsIgnoringCase(extension, ".PAT");
}

}  // namespace

TOnlineUpdate::Transfer TOnlineUpdate::Download(const std::string& url, const std::string& sha256, int64_t size) {
    DownloadEvents events;
    events.on_progress = [this](const std::string& path, int pos, int total) {
        if (OnFileProgress) OnFileProgress(path, pos, total);
    };
    events.on_downloaded = [this](const std::string& path) {
        if (OnFileDownloaded) OnFileDownloaded(path);
    };
    events.pump_messages = [this] { host_.PumpMessages(); };
    events.cancel_requested = [this] { return cancelled_; };
    DownloadExpectation expect;
    expect.sha256_hex = sha256;
    expect.size = size;
    const DownloadOutcome outcome = DownloadFile(internet_, url, TemporaryFolder(), expect, events, status_);
    if (outcome.cancelled) cancelled_ = true;
    return Transfer{outcome.placed, outcome.local_path, outcome.failure};
}

bool TOnlineUpdate::IsComponent(const std::string& name) const {
    return !name.empty() && ContainsIgnoringCase(app_comps_, name);
}

// The console updates the database and plain files; the program's own components are left to
// the window, which can replace the running program.
void TOnlineUpdate::SetComponentsAside() {
    TFileList kept;
    for (const TFileDescription& entry : files_) {
        const std::string name = LocalFileNameFromUrl(entry.URL);
        if (IsComponent(name))
            outcome_.components_left.push_back(name);
        else
            kept.push_back(entry);
    }
    files_ = kept;
}

void TOnlineUpdate::Fail(const std::string& name, const std::string& reason) {
    app_update_ = false;
    outcome_.failed.push_back(FailedFile{name, reason});
}

void TOnlineUpdate::DownloadSelected() {
    for (size_t index = 0; index < files_.size(); ++index) {
        const TFileDescription& entry = files_[index];
        // One question before the first file; after it the mode is silent.
        if (index == 0 && UpdateUpdate == ouuPromptOnce && !host_.Ask(kDownloadQuestion)) {
            outcome_.declined = true;
            return;
        }
        std::string url = entry.URL;
        const std::string name = LocalFileNameFromUrl(url);
        if (OnBeforeFileDownload) OnBeforeFileDownload(static_cast<int>(index + 1), entry.Description, url);
        if (!entry.TargetDir.empty() && !DirectoryExists(entry.TargetDir)) CreateDirectories(entry.TargetDir);
        // Every file is checked against the signed control file before it goes anywhere.
        if (entry.Sha256.empty()) {
            Status(946, url, 2);
            Fail(name, "the control file gives no SHA-256 for it");
            continue;
        }
        const Transfer transfer = Download(url, entry.Sha256, entry.FileSize > 0 ? entry.FileSize : -1);
        if (!transfer.placed) {
            Status(946, url, 2);
            Fail(name, transfer.failure);
            continue;
        }
        if (IsComponent(FileNameOf(transfer.local_path))) {
            component_downloaded_ = true;
            Status(962, FileNameOf(transfer.local_path), 0);
            outcome_.placed.push_back(transfer.local_path);
            continue;
        }
        PutInTargetFolder(entry, transfer.local_path);
    }
}

void TOnlineUpdate::PutInTargetFolder(const TFileDescription& entry, const std::string& local_path) {
    const std::string name = FileNameOf(local_path);
    if (entry.TargetDir.empty() || StaysInTemporaryFolder(name)) {
        outcome_.placed.push_back(local_path);
        return;
    }
    const bool database = EqualsIgnoringCase(name, kDatabasePackageName);
    if (database) {
        const std::string fault = DatabasePackageFault(local_path);
        if (!fault.empty()) {
            DeleteFileA(local_path.c_str());
            Fail(name, "新特征库无法读取, 未替换: " + fault);
            return;
        }
    }
    const std::string target = entry.TargetDir + name;
    const std::string failure = PlaceDownload(local_path, target, status_);
    if (!failure.empty()) {
        Fail(name, failure);
        return;
    }
    outcome_.placed.push_back(target);
    if (database && OnDatabasePlaced) OnDatabasePlaced(target);
}

}  // namespace update
