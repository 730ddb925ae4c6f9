// The two worker threads: the analysis and the clean-up each run their seven steps on a thread
// of their own and report progress through two callbacks. A worker frees itself when its run
// ends; the owner does not touch it after Resume.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "handles.h"

class TQX;
class MainThreadInvoker;

// OnStep(-1, text): the status text of the next step; OnStep(n, nullptr): n of 7 steps done.
using TQXStepCallback = void (*)(int step, const char* text);
// OnRunState(0) opens a run, OnRunState(-1) closes it.
using TQXRunStateCallback = void (*)(int state);
// A step raised an error: the run ends there, after this call and OnRunState(-1).
using TQXRunErrorCallback = void (*)(const char* message);

class TQXWorkerThread {
public:
    TQXStepCallback OnStep = nullptr;
    TQXRunStateCallback OnRunState = nullptr;
    TQXRunErrorCallback OnRunError = nullptr;  // optional

    TQXWorkerThread(const TQXWorkerThread&) = delete;
    TQXWorkerThread& operator=(const TQXWorkerThread&) = delete;

    // Starts the run. OnStep and OnRunState must be set first.
    void Resume();

protected:
    TQXWorkerThread(TQX& engine, bool use_64bit_view);
    virtual ~TQXWorkerThread() = default;
    virtual void Execute() = 0;

    struct Step {
        const char* message;
        std::function<void()> work;  // empty: the step only shows its message
    };
    // The progress protocol around seven steps. The busy flag is set for the whole run and
    // cleared also when a step throws, so the owner is never left blocked.
    void RunSteps(const Step (&steps)[7], const char* final_message, std::atomic<bool>& busy);

    TQX& engine_;
    const bool use_64bit_view_;

private:
    static DWORD WINAPI ThreadMain(void* self);
    KernelHandle thread_;
};

class TQX_Thread_Analyzed : public TQXWorkerThread {
public:
    // The shortcut step runs through the invoker on the thread that owns COM; without one it
    // runs on the worker itself.
    MainThreadInvoker* Invoker = nullptr;

    TQX_Thread_Analyzed(TQX& engine, const std::string& software_type, bool use_64bit_view);

private:
    void Execute() override;
    const std::string software_type_;
};

class TQX_Thread_Uninstall : public TQXWorkerThread {
public:
    TQX_Thread_Uninstall(TQX& engine, bool use_64bit_view);

private:
    void Execute() override;
};
