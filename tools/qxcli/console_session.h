// One qxcli run over the engine: its own working folder (so a running window is never
// disturbed), COM and a message loop on this thread so the workers' hand-over works exactly as
// in the window, and the engine's reports collected in the order they come.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cleanup_selection.h"
#include "main_thread_invoker.h"
#include "tqx.h"
#include "trace_kinds.h"
#include "worker_launcher.h"

struct Trace {
    TraceKind kind;
    std::string text;
};

class ConsoleSession {
public:
    // package_path empty: REZ.hdb3 beside the exe.
    explicit ConsoleSession(const std::string& package_path);
    ~ConsoleSession();
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

    // Unpacks the package; false when there is none. Database errors are raised.
    bool Open();
    const std::string& PackagePath() const { return engine_.PackageFile; }

    // The catalogue lines of a type that pass the filters.
    StringList ListSoftware(const std::string& type, const std::string& sub_type, const std::string& os);
    // The row of the unfiltered catalogue named by "N" or "key=KEY"; -1 when there is none.
    int FindProgram(const std::string& type, const std::string& program);
    StringList ListInstallPaths(const std::string& type, int row);

    // Runs the analysis worker to its end. False, with error set, when a step failed.
    bool Analyze(const std::string& type, int row, std::vector<Trace>& traces, std::string& error);
    // Hands the selection to the clean-up and runs its worker to the end; the clean-up lines
    // come back in order.
    bool Clean(const CleanupSelection& selection, StringList& lines, std::string& error);

    TQX& Engine() { return engine_; }

private:
    bool RunWorker(std::unique_ptr<TQXWorkerThread> worker, std::string& error);

    std::string temp_folder_;
    TQX engine_;
    MainThreadInvoker invoker_;
    WorkerLauncher launcher_{engine_};
};
