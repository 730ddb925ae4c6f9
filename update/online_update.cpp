#include "online_update.h"

#include <stdexcept>

#include "folder_lookup_win.h"
#include "http_download.h"
#include "local_file_facts_win.h"
#include "signature_check.h"
#include "update_check.h"
#include "update_folders.h"
#include "win32/handles.h"

namespace update {

// The maker's server; only the path of the control file is fixed.
const char kMakerUpdateUrl[] = "http://update.kestrune.com/QV/qv_update.INF";
const char kDatabasePackageName[] = "REZ.hdb3";

namespace {

const char kSignatureSuffix[] = ".sig";

std::string WindowsVersionText() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    std::string text = std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion);
    if (GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLocaleInfoEx")) text += "(Vista)";
    return text;
}

std::string InternetExplorerVersionText() {
    RegistryKey key;
    char value[256] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (key.Open(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer\\Version Vector", KEY_QUERY_VALUE) !=
            ERROR_SUCCESS ||
        RegQueryValueExA(key.Get(), "IE", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return "(not found)";
    return value;
}

// InternetGetConnectedState is looked up at run time: without it the machine counts as online.
bool MachineIsOnline() {
    using ConnectedState = BOOL(WINAPI*)(LPDWORD, DWORD);
    HMODULE wininet = GetModuleHandleA("wininet.dll");
    if (!wininet) return true;
    auto connected = reinterpret_cast<ConnectedState>(
        reinterpret_cast<void*>(GetProcAddress(wininet, "InternetGetConnectedState")));
    DWORD flags = 0;
    return !connected || connected(&flags, 0);
}

bool IsWebUrl(const std::string& url) {
    for (const char* scheme : {"http://", "https://"}) {
        const std::string prefix = scheme;
        if (url.size() > prefix.size() && EqualsIgnoringCase(url.substr(0, prefix.size()), prefix)) return true;
    }
    return false;
}

}  // namespace

void TOnlineUpdate::Status(int number, const std::string& argument, int status_code, int error_code) {
    status_.Report(number, argument, status_code, error_code);
}

void TOnlineUpdate::StopRun(const std::string& reason) {
    outcome_.stopped = reason;
    if (OnRunStopped) OnRunStopped(reason);
}

std::string TOnlineUpdate::Expand(const std::string& value) const {
    return ExpandFolderTokens(value, WindowsFolderLookup(ProgramFolder()));
}

UpdateOutcome TOnlineUpdate::Execute() {
    Run();
    return outcome_;
}

void TOnlineUpdate::ReportStartOfRun() {
    Status(968, busy_ ? "Threaded update" : "Non threaded update", 0);
    Status(966, WindowsVersionText(), 0);
    Status(967, InternetExplorerVersionText(), 0);
    Status(969, "MinGW-w64 GCC " __VERSION__, 0);
    Status(970, "(not looked for)", 0);
}

void TOnlineUpdate::Run() {
    cancelled_ = false;
    outcome_ = UpdateOutcome();
    files_.clear();
    SetLogFileName(LogFileName);
    status_.logging = Logging;
    status_.error_boxes = host_.ShowsErrorBoxes();
    status_.owner = host_.OwnerWindow();
    status_.on_status = OnStatus;
    if (busy_) SetCurrentDirectoryA(ProgramFolder().c_str());
    ReportStartOfRun();
    component_downloaded_ = false;
    control_path_.clear();
    signature_path_.clear();
    Status(963, Version, 0);
    if (Connect() != 0) return;

    bool selection = false;
    try {
        selection = CheckAndDownload();
    } catch (const std::exception& error) {
        // A folder token that cannot be resolved or a log that cannot be written ends the run.
        app_update_ = false;
        StopRun(error.what());
    }
    Disconnect();
    if (selection && !cancelled_ && !outcome_.declined) {
        if (outcome_.failed.empty()) {
            if (OnSuccess) OnSuccess();
        } else if (OnFilesFailed) {
            OnFilesFailed(outcome_.failed);
        }
    }
    if (RestartCondition() && !busy_) Restart();
}

// From the control file to the placed files; true when the selection was not empty.
bool TOnlineUpdate::CheckAndDownload() {
    if (GetControlFile() != 0) return false;
    WindowsFileFacts facts;
    if (!UpdateAvailable(control_, WindowsFolderLookup(ProgramFolder()), facts, status_.Sink())) {
        app_update_ = false;
        return false;
    }
    outcome_.update_available = true;
    if (ProcessActions() != 0) return false;
    if (!WhatsNewAndLicence()) {
        app_update_ = false;
        outcome_.declined = true;
        return false;
    }
    files_ = ReadFileList(control_, WindowsFolderLookup(ProgramFolder()));
    if (files_.empty()) {
        app_update_ = false;
        return false;
    }
    Status(943, "", 3);
    files_ = SelectFileEntries(files_, facts, status_.Sink());
    if (!ReplaceComponents) SetComponentsAside();
    std::vector<std::string> list;
    for (const TFileDescription& entry : files_) list.push_back(entry.Description);
    if (OnGetFileList) OnGetFileList(list);
    // An entry whose line the host emptied is not fetched.
    TFileList kept;
    for (size_t i = 0; i < files_.size() && i < list.size(); ++i)
        if (!list[i].empty()) kept.push_back(files_[i]);
    files_ = kept;
    for (const TFileDescription& entry : files_) outcome_.selected.push_back(entry.Description);
    if (files_.empty()) return false;
    DownloadSelected();
    Finish();
    return true;
}

int TOnlineUpdate::Connect() {
    internet_ = nullptr;
    Status(918, "", 3);
    if (URL.find("127.0.0.1") == std::string::npos && !MachineIsOnline()) {
        outcome_.stopped = "the machine is offline";
        return 1;
    }
    Status(921, "", 3);
    internet_ = InternetOpenA(Agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!internet_) {
        Status(922, "", 1);
        return 2;
    }
    connected_ = true;
    return 0;
}

int TOnlineUpdate::GetControlFile() {
    cancelled_ = false;
    const std::string url = Expand(URL);
    // Only the web: a switch or a file must not turn the update into a local or FTP copy.
    if (!IsWebUrl(url)) {
        Status(925, "", 2);
        StopRun("升级地址不是 http:// 或 https:// 地址: " + url);
        return 4;
    }
    const Transfer control = Download(url, "", -1);
    if (!control.placed) {
        Status(925, "", 2);
        return 4;
    }
    Status(926, "", 3);
    control_path_ = control.local_path;
    // The signature is fetched in the same run; nothing the file says is acted on before it holds.
    const Transfer signature = Download(url + kSignatureSuffix, "", -1);
    if (signature.placed) signature_path_ = signature.local_path;
    std::string why;
    if (!signature.placed)
        why = "no signature file (" + signature.failure + ")";
    else if (PublicKey.empty())
        why = "no public key built into the program";
    else
        VerifyFileSignature(control_path_, signature_path_, PublicKey, &why);
    if (!why.empty()) {
        Status(927, "", 2);
        StopRun("升级控制文件未通过签名验证, 本次升级未做任何改动: " + why);
        return 4;
    }
    outcome_.control_file_trusted = true;
    control_ = IniText::Load(control_path_);
    ReadApplicationSection();
    return 0;
}

void TOnlineUpdate::ReadApplicationSection() {
    app_update_ = control_.YesNo("application", "appupdate");
    app_name_ = Expand(control_.String("application", "appname"));
    app_params_ = control_.String("application", "appparam");
    if (app_name_.empty()) app_update_ = false;
    if (app_params_.empty()) app_params_ = " ";
    app_comps_ = Expand(control_.String("application", "appcomps"));
    silent_restart_ = control_.YesNo("application", "silentrestart");
}

void TOnlineUpdate::Finish() {
    if (cancelled_) return;
    if (!control_.String("action", "updateURL").empty()) Status(941, "", 3);
    const std::string run_after = Expand(control_.String("action", "runafter"));
    if (!run_after.empty()) host_.StartCommand(run_after);
    Status(948, "", 3);
}

void TOnlineUpdate::Disconnect() {
    if (internet_) {
        InternetCloseHandle(internet_);
        internet_ = nullptr;
        Status(949, "", 3);
    }
    for (std::string* path : {&control_path_, &signature_path_}) {
        if (!path->empty()) DeleteFileA(path->c_str());
        path->clear();
    }
    connected_ = false;
}

bool TOnlineUpdate::RestartCondition() const { return app_update_ && !cancelled_ && component_downloaded_; }

}  // namespace update
