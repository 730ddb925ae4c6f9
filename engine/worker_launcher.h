// The one way a front end runs a worker, and the owner of the worker while it runs. One run at a
// time per engine: the worker's busy flag (Analyzing or Uninstalling) is set before its thread
// starts, so it is set when Launch returns, and a launch while either flag is set is refused.
// The flag is cleared when the run has ended, after OnRunState(-1) has returned.
// Front ends launch from one thread, the one that owns the launcher.
#pragma once

#include <windows.h>

#include <memory>

#include "win32/handles.h"
#include "worker_threads.h"

enum class LaunchResult {
    kStarted,
    kBusy,      // a worker of the engine runs: nothing was started, no callback is called
    kNoThread,  // the system created no thread: nothing runs, no callback is called
};

class WorkerLauncher {
public:
    explicit WorkerLauncher(TQX& engine);
    // Waits for a running worker to end (WaitForRunEnd).
    ~WorkerLauncher();
    WorkerLauncher(const WorkerLauncher&) = delete;
    WorkerLauncher& operator=(const WorkerLauncher&) = delete;

    // Starts worker, its callbacks set, on a thread of its own.
    LaunchResult Launch(std::unique_ptr<TQXWorkerThread> worker);

    // Returns once the last run launched has ended and its thread is gone, at once when none
    // runs. Meanwhile this thread's messages are dispatched: the analysis hands the reading of
    // shortcuts to it through MainThreadInvoker.
    void WaitForRunEnd();

private:
    static DWORD WINAPI ThreadMain(void* worker);

    TQX& engine_;
    std::unique_ptr<TQXWorkerThread> worker_;
    KernelHandle thread_;
};
