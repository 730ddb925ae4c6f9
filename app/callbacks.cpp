#include "callbacks.h"

#include "main_window.h"

namespace {

void HandOver(CallbackKind kind, int number, const char* text) {
    CallbackDelivery delivery{kind, number, text ? text : ""};
    // SendMessage runs the action on the window's thread and returns when it is done; from the
    // window's own thread it is a direct call.
    SendMessageA(MainForm()->Handle(), WM_KESTRUNE_CALLBACK, 0, reinterpret_cast<LPARAM>(&delivery));
}

void TraceFound(TraceKind kind, const char* text) { HandOver(CallbackKind::kTraceFound, static_cast<int>(kind), text); }

int SoftwareItem(const char* text) {
    HandOver(CallbackKind::kSoftwareItem, 0, text);
    return 0;
}
int InstalledPath(const char* text) {
    HandOver(CallbackKind::kInstalledPath, 0, text);
    return 0;
}
int CleanInfo(const char* text) {
    HandOver(CallbackKind::kCleanInfo, 0, text);
    return 0;
}
void AnalyzeStep(int step, const char* text) { HandOver(CallbackKind::kAnalyzeStep, step, text); }
void AnalyzeRunState(int state) { HandOver(CallbackKind::kAnalyzeRunState, state, nullptr); }
void AnalyzeError(const char* message) { HandOver(CallbackKind::kAnalyzeError, 0, message); }
void CleanStep(int step, const char* text) { HandOver(CallbackKind::kCleanStep, step, text); }
void CleanRunState(int state) { HandOver(CallbackKind::kCleanRunState, state, nullptr); }
void CleanError(const char* message) { HandOver(CallbackKind::kCleanError, 0, message); }
void RestoreRunState(int state) { HandOver(CallbackKind::kRestoreRunState, state, nullptr); }

}  // namespace

void ConnectEngineSlots(TQX& engine) {
    engine.OnSoftwareItem = SoftwareItem;
    engine.OnInstalledPath = InstalledPath;
    ConnectTraceSlots<TraceFound>(engine);
    engine.OnCleanInfo = CleanInfo;
}

void ConnectAnalysisWorker(TQX_Thread_Analyzed& worker) {
    worker.OnStep = AnalyzeStep;
    worker.OnRunState = AnalyzeRunState;
    worker.OnRunError = AnalyzeError;
}

void ConnectCleanupWorker(TQX_Thread_Uninstall& worker) {
    worker.OnStep = CleanStep;
    worker.OnRunState = CleanRunState;
    worker.OnRunError = CleanError;
}

void ConnectRestoreWorker(TQX_Thread_Restore& worker) {
    worker.OnStep = CleanStep;
    worker.OnRunState = RestoreRunState;
    worker.OnRunError = CleanError;
}

void CarryOut(TForm_Tarnwick_CN& form, const CallbackDelivery& delivery) {
    switch (delivery.kind) {
        case CallbackKind::kSoftwareItem:
            form.software.OnSoftwareItem(delivery.text);
            break;
        case CallbackKind::kInstalledPath:
            form.install_path.OnInstalledPath(delivery.text);
            break;
        case CallbackKind::kTraceFound:
            form.analysis.OnTraceFound(static_cast<TraceKind>(delivery.number), delivery.text);
            break;
        case CallbackKind::kCleanInfo:
            form.clean.OnCleanInfo(delivery.text);
            break;
        case CallbackKind::kAnalyzeStep:
            form.analysis.OnAnalyzeStep(delivery.number, delivery.text);
            break;
        case CallbackKind::kAnalyzeRunState:
            form.analysis.OnAnalyzeRunState(delivery.number);
            break;
        case CallbackKind::kAnalyzeError:
            form.analysis.OnAnalyzeError(delivery.text);
            break;
        case CallbackKind::kCleanStep:
            form.clean.OnCleanStep(delivery.number, delivery.text);
            break;
        case CallbackKind::kCleanRunState:
            form.clean.OnCleanRunState(delivery.number);
            break;
        case CallbackKind::kCleanError:
            form.clean.OnCleanError(delivery.text);
            break;
        case CallbackKind::kRestoreRunState:
            form.clean.OnRestoreRunState(delivery.number);
            break;
    }
}
