// The kinds of trace an analysis reports, and in one table what every front end needs to
// know about each: the engine's slot that reports it, its name in qxcli's output, the analysis
// page's found-line prefix, where its rows go for the clean-up and the work list they end in.
#pragma once

#include <cstddef>
#include <utility>

#include "cleanup_selection.h"
#include "tqx.h"

enum class TraceKind { kProcess, kCoreFile, kRelatedDir, kComponent, kDriver, kRegistry, kShortcut, kService };
constexpr int kTraceKindCount = 8;

struct TraceKindInfo {
    TraceKind kind;
    TQXCallback TQX::*slot;
    const char* name;          // process, corefile, dir, com, driver, reg, shortcut, service
    const char* found_prefix;  // followed directly by the trace
    StringList CleanupSelection::*selection;
    StringList TQXWorkLists::*work_list;
};

// In TraceKind order.
inline constexpr TraceKindInfo kTraceKinds[kTraceKindCount] = {
    {TraceKind::kProcess, &TQX::OnProcessRun, "process", "找到运行中进程: ", &CleanupSelection::processes,
     &TQXWorkLists::ProcessRunList},
    {TraceKind::kCoreFile, &TQX::OnCoreFile, "corefile", "找到核心文件: ", &CleanupSelection::core_files,
     &TQXWorkLists::CoreFileList},
    {TraceKind::kRelatedDir, &TQX::OnRelatedDir, "dir", "找到相关目录: ", &CleanupSelection::related_dirs,
     &TQXWorkLists::DirList},
    {TraceKind::kComponent, &TQX::OnAXCLSID, "com", "找到组件注册表: ", &CleanupSelection::component_items,
     &TQXWorkLists::AXCLSIDList},
    {TraceKind::kDriver, &TQX::OnSysFile, "driver", "找到驱动服务: ", &CleanupSelection::driver_files,
     &TQXWorkLists::SysFileList},
    {TraceKind::kRegistry, &TQX::OnNewReg, "reg", "找到注册表: ", &CleanupSelection::registry_items,
     &TQXWorkLists::NewRegList},
    // The shortcut line has no blank after its colon.
    {TraceKind::kShortcut, &TQX::OnShellLink, "shortcut", "找到快捷方式:", &CleanupSelection::shortcuts,
     &TQXWorkLists::ShellLinkList},
    {TraceKind::kService, &TQX::OnService, "service", "找到系统服务: ", &CleanupSelection::services,
     &TQXWorkLists::ServiceList},
};

constexpr bool TraceKindsInOrder() {
    for (int index = 0; index < kTraceKindCount; ++index)
        if (static_cast<int>(kTraceKinds[index].kind) != index) return false;
    return true;
}
static_assert(TraceKindsInOrder(), "kTraceKinds is indexed by TraceKind");

constexpr const TraceKindInfo& TraceKindOf(TraceKind kind) { return kTraceKinds[static_cast<int>(kind)]; }

namespace trace_slots {

template <void (*Report)(TraceKind, const char*), TraceKind kind>
int Relay(const char* text) {
    Report(kind, text);
    return 0;
}

template <void (*Report)(TraceKind, const char*), std::size_t... index>
void Connect(TQX& engine, std::index_sequence<index...>) {
    ((engine.*kTraceKinds[index].slot = Relay<Report, static_cast<TraceKind>(index)>), ...);
}

}  // namespace trace_slots

// Sets the engine's trace slots so that each passes its kind and text to Report. A slot
// holds a plain function, so each kind gets one of its own, made here from Report.
template <void (*Report)(TraceKind kind, const char* text)>
void ConnectTraceSlots(TQX& engine) {
    trace_slots::Connect<Report>(engine, std::make_index_sequence<kTraceKindCount>());
}
