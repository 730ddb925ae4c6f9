// The seven kinds of trace an analysis reports, each with its slot, found-line prefix and
// report list.
#pragma once

enum class TraceKind { kProcess, kCoreFile, kRelatedDir, kComponent, kDriver, kRegistry, kShortcut };
