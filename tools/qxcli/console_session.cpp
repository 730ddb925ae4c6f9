#include "console_session.h"

#include <windows.h>

#include <memory>

#include "category_files.h"
#include "file_system.h"
#include "machine_views.h"

namespace {

// The engine reports through plain functions: they write into the session that runs.
std::vector<Trace>* g_traces = nullptr;
StringList* g_lines = nullptr;
std::string g_run_error;

int AddLine(const char* text) {
    g_lines->push_back(text);
    return 0;
}

void AddTrace(TraceKind kind, const char* text) {
    if (g_traces) g_traces->push_back({kind, text});
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
    engine_.OnSoftwareItem = AddLine;
    engine_.OnInstalledPath = AddLine;
    ConnectTraceSlots<AddTrace>(engine_);
    engine_.OnCleanInfo = AddLine;
}

ConsoleSession::~ConsoleSession() {
    engine_.Finalize();
    DeleteFolderTree(temp_folder_);
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
    engine_.ListInstallPaths(row, type, MachineView());
    g_lines = nullptr;
    return paths;
}

bool ConsoleSession::RunWorker(std::unique_ptr<TQXWorkerThread> worker, std::string& error) {
    g_run_error.clear();
    worker->OnRunError = OnRunError;
    if (launcher_.Launch(std::move(worker)) != LaunchResult::kStarted) {
        error = "the worker thread could not be started";
        return false;
    }
    // The analysis hands the reading of shortcuts to this thread, which serves it meanwhile.
    launcher_.WaitForRunEnd();
    error = g_run_error;
    return error.empty();
}

bool ConsoleSession::Analyze(const std::string& type, int row, std::vector<Trace>& traces, std::string& error) {
    engine_.SoftwareType = type;
    engine_.SelectedIndex = row;
    g_traces = &traces;
    auto worker = std::make_unique<TQX_Thread_Analyzed>(engine_, type, MachineView());
    worker->Invoker = &invoker_;
    const bool ok = RunWorker(std::move(worker), error);
    g_traces = nullptr;
    return ok;
}

bool ConsoleSession::Clean(const CleanupSelection& selection, StringList& lines, std::string& error) {
    FillCleanupLists(engine_, selection);
    g_lines = &lines;
    const bool ok = RunWorker(std::make_unique<TQX_Thread_Uninstall>(engine_, MachineView()), error);
    g_lines = nullptr;
    return ok;
}
