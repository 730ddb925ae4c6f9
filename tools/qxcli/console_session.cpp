#include "console_session.h"

#include <windows.h>

#include "category_files.h"
#include "file_system.h"
#include "matching.h"
#include "worker_threads.h"

namespace {

constexpr UINT kRunEndedMessage = WM_APP + 1;

// The engine reports through plain functions: they write into the session that runs.
std::vector<Trace>* g_traces = nullptr;
StringList* g_lines = nullptr;
TQX* g_engine = nullptr;
std::string g_run_error;
DWORD g_session_thread = 0;

void AddTrace(const char* kind, const char* text) {
    if (g_traces) g_traces->push_back({kind, text});
}

int OnSoftwareItem(const char* text) {
    g_lines->push_back(text);
    return 0;
}
int OnInstalledPath(const char* text) {
    g_lines->push_back(text);
    return 0;
}
int OnProcessRun(const char* text) {
    AddTrace("process", text);
    return 0;
}
int OnCoreFile(const char* text) {
    AddTrace("corefile", text);
    return 0;
}
int OnRelatedDir(const char* text) {
    AddOnce(g_engine->DirList, text);  // the shortcut step reads the folders found
    AddTrace("dir", text);
    return 0;
}
int OnAXCLSID(const char* text) {
    AddTrace("com", text);
    return 0;
}
int OnSysFile(const char* text) {
    AddTrace("driver", text);
    return 0;
}
int OnNewReg(const char* text) {
    AddTrace("reg", text);
    return 0;
}
int OnShellLink(const char* text) {
    AddTrace("shortcut", text);
    return 0;
}
int OnCleanInfo(const char* text) {
    g_lines->push_back(text);
    return 0;
}

void OnStep(int, const char*) {}
void OnRunState(int state) {
    if (state == -1) PostThreadMessageA(g_session_thread, kRunEndedMessage, 0, 0);
}
void OnRunError(const char* message) { g_run_error = message; }

std::string ExeFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string OwnTempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return IncludeTrailingSeparator(temp) + "qxcli-" + std::to_string(GetCurrentProcessId());
}

}  // namespace

ConsoleSession::ConsoleSession(const std::string& package_path)
    : temp_folder_(OwnTempFolder()), engine_(ExeFolder(), temp_folder_) {
    engine_.Initialize();
    if (!package_path.empty()) engine_.PackageFile = package_path;
    engine_.OnSoftwareItem = ::OnSoftwareItem;
    engine_.OnInstalledPath = ::OnInstalledPath;
    engine_.OnProcessRun = ::OnProcessRun;
    engine_.OnCoreFile = ::OnCoreFile;
    engine_.OnRelatedDir = ::OnRelatedDir;
    engine_.OnAXCLSID = ::OnAXCLSID;
    engine_.OnSysFile = ::OnSysFile;
    engine_.OnNewReg = ::OnNewReg;
    engine_.OnShellLink = ::OnShellLink;
    engine_.OnCleanInfo = ::OnCleanInfo;
    g_engine = &engine_;
    g_session_thread = GetCurrentThreadId();
}

ConsoleSession::~ConsoleSession() {
    engine_.Finalize();
    DeleteFolderTree(temp_folder_);
    g_engine = nullptr;
}

bool ConsoleSession::Open() {
    CreateDirectories(temp_folder_);
    return engine_.UnpackDatabase();
}

StringList ConsoleSession::ListSoftware(const std::string& type, const std::string& sub_type, const std::string& os) {
    StringList lines;
    g_lines = &lines;
    engine_.ClearSoftwareList(type);
    engine_.ListSoftware(type, sub_type, os);
    g_lines = nullptr;
    return lines;
}

int ConsoleSession::FindProgram(const std::string& type, const std::string& program) {
    const StringList catalogue = ListSoftware(type, kFilterAll, kFilterAll);
    if (program.compare(0, 4, "key=") == 0) {
        const std::string key = program.substr(4);
        for (std::size_t row = 0; row < catalogue.size(); ++row) {
            StringList fields;
            if (SplitByBar(catalogue[row], fields) && fields[0] == key) return static_cast<int>(row);
        }
        return -1;
    }
    if (program.empty() || program.size() > 9 || program.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    const int row = std::stoi(program);
    return row < static_cast<int>(catalogue.size()) ? row : -1;
}

StringList ConsoleSession::ListInstallPaths(const std::string& type, int row) {
    StringList paths;
    g_lines = &paths;
    engine_.ListInstallPaths(row, type, false);
    g_lines = nullptr;
    return paths;
}

bool ConsoleSession::RunWorker(TQXWorkerThread* worker, std::string& error) {
    g_run_error.clear();
    worker->OnStep = ::OnStep;
    worker->OnRunState = ::OnRunState;
    worker->OnRunError = ::OnRunError;
    worker->Resume();
    // The worker hands the shortcut step to this thread through window messages.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!message.hwnd && message.message == kRunEndedMessage) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    while (engine_.Analyzing || engine_.Uninstalling) Sleep(1);
    error = g_run_error;
    return error.empty();
}

bool ConsoleSession::Analyze(const std::string& type, int row, std::vector<Trace>& traces, std::string& error) {
    engine_.SoftwareType = type;
    engine_.SelectedIndex = row;
    g_traces = &traces;
    auto* worker = new TQX_Thread_Analyzed(engine_, type, false);
    worker->Invoker = &invoker_;
    const bool ok = RunWorker(worker, error);
    g_traces = nullptr;
    return ok;
}

bool ConsoleSession::Clean(const CleanupSelection& selection, StringList& lines, std::string& error) {
    FillCleanupLists(engine_, selection);
    g_lines = &lines;
    const bool ok = RunWorker(new TQX_Thread_Uninstall(engine_, false), error);
    g_lines = nullptr;
    return ok;
}
