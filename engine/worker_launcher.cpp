#include "worker_launcher.h"

#include "tqx.h"

WorkerLauncher::WorkerLauncher(TQX& engine) : engine_(engine) {}

WorkerLauncher::~WorkerLauncher() { WaitForRunEnd(); }

LaunchResult WorkerLauncher::Launch(std::unique_ptr<TQXWorkerThread> worker) {
    if (engine_.Analyzing || engine_.Uninstalling) return LaunchResult::kBusy;
    // The last run has ended, so its thread calls nothing more; it may still be on its way out,
    // and its worker must outlive it.
    if (thread_.IsOpen()) WaitForSingleObject(thread_.Get(), INFINITE);
    worker_ = std::move(worker);
    worker_->busy_ = true;
    thread_.Reset(CreateThread(nullptr, 0, ThreadMain, worker_.get(), 0, nullptr));
    if (thread_.IsOpen()) return LaunchResult::kStarted;
    worker_->busy_ = false;
    worker_.reset();
    return LaunchResult::kNoThread;
}

void WorkerLauncher::WaitForRunEnd() {
    if (!thread_.IsOpen()) return;
    HANDLE thread = thread_.Get();
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    thread_.Reset();
    worker_.reset();
}

DWORD WINAPI WorkerLauncher::ThreadMain(void* worker) {
    TQXWorkerThread& run = *static_cast<TQXWorkerThread*>(worker);
    try {
        run.Execute();
    } catch (...) {
        // The steps' errors are reported by the run itself; nothing may leave the thread.
    }
    run.busy_ = false;
    return 0;
}
