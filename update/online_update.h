// TOnlineUpdate: the update client. One run fetches the signed control file, decides whether
// an update is available, carries out its messages and commands, selects the entries newer than
// the installed files, asks once, downloads and verifies each, places it, and reports. A run
// that brought program components hands them to qvsetup.exe and ends the program.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "file_entries.h"
#include "ini_text.h"
#include "status_report.h"
#include "update_host.h"

namespace update {

// The maker's control file; a command-line switch of the front ends points a run elsewhere.
extern const char kMakerUpdateUrl[];
// The database package, replaced only after it was unpacked and decoded in a scratch folder.
extern const char kDatabasePackageName[];

enum TOnlineUpdateUpdate { ouuPromptOnce, ouuPromptAll, ouuSilent };

// One selected entry that did not reach its place, and why.
struct FailedFile {
    std::string name;
    std::string reason;
};

// What a run did, for the front ends' closing words and the console's exit code.
struct UpdateOutcome {
    bool control_file_trusted = false;  // fetched and its signature verified
    bool update_available = false;
    std::vector<std::string> selected;  // descriptions of the entries kept for download
    bool declined = false;              // a question or dialog was answered No
    std::vector<std::string> placed;    // local paths of the files put in place
    std::vector<FailedFile> failed;
    std::vector<std::string> components_left;  // components the console leaves to the window
    std::string stopped;                // why the run ended before its work, when it did
    bool AllPlaced() const { return !selected.empty() && failed.empty() && !declined; }
};

class TOnlineUpdate {
public:
    explicit TOnlineUpdate(UpdateHost& host);
    ~TOnlineUpdate();
    TOnlineUpdate(const TOnlineUpdate&) = delete;
    TOnlineUpdate& operator=(const TOnlineUpdate&) = delete;

    // Configuration, read at each use.
    std::string Agent = "TOnlineUpdate";
    std::string URL = kMakerUpdateUrl;
    std::string Version = "2.1.3.0";
    bool Logging = false;
    std::string LogFileName = "QV_update.LOG";
    TOnlineUpdateUpdate UpdateUpdate = ouuPromptOnce;
    // The program's own components are fetched and handed to qvsetup.exe; the console leaves
    // them to the window and only lists them.
    bool ReplaceComponents = true;
    // DER public key that must have signed the control file.
    std::vector<unsigned char> PublicKey;

    // Events, on the thread that runs the update (the window's).
    std::function<void(int FileIdx, const std::string& FileDescription, std::string& URL)> OnBeforeFileDownload;
    std::function<void(const std::string& FileName, int Pos, int Size)> OnFileProgress;
    std::function<void(const std::string& FileName)> OnFileDownloaded;
    std::function<void(std::vector<std::string>& List)> OnGetFileList;
    std::function<void()> OnSuccess;
    std::function<void()> OnThreadUpdateDone;
    std::function<void(const std::string& StatusStr, int StatusCode, int ErrCode)> OnStatus;
    // A run that stopped for a reason the user must read (an untrusted control file, ...).
    std::function<void(const std::string& Reason)> OnRunStopped;
    // Some selected files did not reach their place; the installed ones are unchanged.
    std::function<void(const std::vector<FailedFile>& Files)> OnFilesFailed;
    // A new database package was placed at this path.
    std::function<void(const std::string& PackagePath)> OnDatabasePlaced;
    // Instead of ending the process after qvsetup.exe was started.
    std::function<void()> OnAppDoClose;

    // Starts a run whose steps execute on the calling (window) thread through a worker thread
    // that waits for them; returns at once. The caller must not start a second one while Busy.
    void StartThreadedUpdate();
    // A run on the calling thread, to its end.
    UpdateOutcome Execute();
    bool Busy() const { return busy_; }
    const UpdateOutcome& LastOutcome() const { return outcome_; }

private:
    class RunThread;
    friend class RunThread;

    // One transfer into the temporary folder, with the client's events.
    struct Transfer {
        bool placed = false;
        std::string local_path, failure;
    };

    void Run();
    void ThreadDone();
    void ReportStartOfRun();
    int Connect();
    int GetControlFile();
    void ReadApplicationSection();
    bool CheckAndDownload();
    int ProcessActions();
    bool WhatsNewAndLicence();
    std::string FetchText(const std::string& url);
    void SetComponentsAside();
    bool IsComponent(const std::string& name) const;
    void DownloadSelected();
    void PutInTargetFolder(const TFileDescription& entry, const std::string& local_path);
    void Fail(const std::string& name, const std::string& reason);
    void Finish();
    void Disconnect();
    bool RestartCondition() const;
    void Restart();
    Transfer Download(const std::string& url, const std::string& sha256, int64_t size);
    std::string Expand(const std::string& value) const;
    void Status(int number, const std::string& argument, int status_code, int error_code = 0);
    void StopRun(const std::string& reason);

    UpdateHost& host_;
    StatusReporter status_;
    bool busy_ = false;
    bool cancelled_ = false;
    bool connected_ = false;
    HINTERNET internet_ = nullptr;
    std::string control_path_, signature_path_;
    IniText control_;
    // From [application].
    bool app_update_ = false;
    std::string app_name_, app_params_, app_comps_;
    bool silent_restart_ = false;
    bool component_downloaded_ = false;
    TFileList files_;
    UpdateOutcome outcome_;
    std::unique_ptr<RunThread> thread_;
};

}  // namespace update
