// The difference of two machine snapshots, before and after an installer ran, as the trace the
// installer left: what appeared or changed, with the noise filter's rules applied. Removals are
// not a trace and are not reported.
#pragma once

#include <string>
#include <vector>

#include "machine_snapshot.h"
#include "trace_changes.h"

// ignored_paths: files or folders (with everything below them) that are the tracer's own doing,
// such as the signature file it writes; each one found is listed in filtered as well.
// The new shortcuts are read from the disk, so the diff is made while they are still there;
// COM is initialised on the calling thread for it when it is not already.
TracedChanges DiffSnapshots(const MachineSnapshot& before, const MachineSnapshot& after,
                            const std::vector<std::string>& ignored_paths = {});

// Registry data as TracedValue::data gives it: strings up to their first zero byte, REG_MULTI_SZ
// strings joined by "\n", REG_DWORD (also big-endian) and REG_QWORD in decimal, anything else
// (and a number of the wrong size) as lower-case hex bytes separated by commas ("01,ff").
std::string RegistryDataText(unsigned long type, const std::string& data);
