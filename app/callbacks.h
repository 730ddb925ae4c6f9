// The window's callback functions: plain functions that the engine and the workers call. Each
// copies its text and hands it to the window's thread with SendMessage, so the caller waits
// until the window has acted and the window's actions keep the order of the calls.
#pragma once

#include <string>

#include "trace_kinds.h"
#include "worker_threads.h"

enum class CallbackKind {
    kSoftwareItem,
    kInstalledPath,
    kTraceFound,  // number: the TraceKind
    kCleanInfo,
    kAnalyzeStep,
    kAnalyzeRunState,
    kAnalyzeError,
    kCleanStep,
    kCleanRunState,
    kCleanError,
    kRestoreRunState,
};

struct CallbackDelivery {
    CallbackKind kind;
    int number;
    std::string text;
};

class TForm_Tarnwick_CN;

void ConnectEngineSlots(TQX& engine);
void ConnectAnalysisWorker(TQX_Thread_Analyzed& worker);
void ConnectCleanupWorker(TQX_Thread_Uninstall& worker);
// The undoing of a clean-up reports on the clean page, through the clean-up's step and error callbacks.
void ConnectRestoreWorker(TQX_Thread_Restore& worker);

// On the window's thread: carries out one delivery.
void CarryOut(TForm_Tarnwick_CN& form, const CallbackDelivery& delivery);
