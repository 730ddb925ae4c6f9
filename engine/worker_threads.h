// The workers: the analysis and the clean-up each run their seven steps on a thread of their
// own and report progress through callbacks; the undoing of a clean-up runs as one step. A WorkerLauncher (worker_launcher.h) starts them,
// keeps them while they run and frees them.
#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "backup_restore.h"
#include "registry_view.h"

class TQX;
class MainThreadInvoker;

// OnStep(-1, text): the status text of the next step; OnStep(n, nullptr): n of kStepCount steps done.
using TQXStepCallback = void (*)(int step, const char* text);
// OnRunState(0) opens a run, OnRunState(-1) closes it.
using TQXRunStateCallback = void (*)(int state);
// A step raised an error: the run ends there, after this call and OnRunState(-1).
using TQXRunErrorCallback = void (*)(const char* message);

class TQXWorkerThread {
public:
    // The steps of either run, announced and counted through OnStep.
    static constexpr int kStepCount = 7;

    // Each optional; set before the launch.
    TQXStepCallback OnStep = nullptr;
    TQXRunStateCallback OnRunState = nullptr;
    TQXRunErrorCallback OnRunError = nullptr;

    virtual ~TQXWorkerThread() = default;
    TQXWorkerThread(const TQXWorkerThread&) = delete;
    TQXWorkerThread& operator=(const TQXWorkerThread&) = delete;

protected:
    // busy: the engine's flag for this kind of run, which the launcher sets and clears.
    TQXWorkerThread(TQX& engine, std::atomic<bool>& busy, RegistryView view);

    struct Step {
        const char* message;
        std::function<void()> work;  // empty: the step only shows its message
    };
    // The progress protocol around the steps. A step that raises ends the run: the error is
    // reported and the run closed all the same, so the owner is never left waiting. A run of
    // fewer steps reports its progress in the same kStepCount parts.
    void RunSteps(const Step* steps, int count, const char* final_message);
    template <int count>
    void RunSteps(const Step (&steps)[count], const char* final_message) {
        RunSteps(steps, count, final_message);
    }

    TQX& engine_;
    const RegistryView view_;

private:
    friend class WorkerLauncher;
    // The whole run, on the worker's thread.
    virtual void Execute() = 0;
    std::atomic<bool>& busy_;
};

class TQX_Thread_Analyzed : public TQXWorkerThread {
public:
    // The reading of shortcuts, which are COM objects, runs through the invoker on the thread
    // that owns COM; without one it runs on the worker itself.
    MainThreadInvoker* Invoker = nullptr;

    TQX_Thread_Analyzed(TQX& engine, const std::string& software_type, RegistryView view);

private:
    void Execute() override;
    const std::string software_type_;
};

class TQX_Thread_Uninstall : public TQXWorkerThread {
public:
    TQX_Thread_Uninstall(TQX& engine, RegistryView view);

private:
    void Execute() override;
};

// Puts back what the clean-up whose backup is in backup_folder removed, one line per item through
// the engine's OnCleanInfo; busy as a clean-up is. Counts() holds the outcome once the run ended.
class TQX_Thread_Restore : public TQXWorkerThread {
public:
    TQX_Thread_Restore(TQX& engine, std::string backup_folder, RestoreCounts& counts);

private:
    void Execute() override;
    const std::string backup_folder_;
    RestoreCounts& counts_;
};
