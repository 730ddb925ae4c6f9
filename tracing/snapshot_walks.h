// The parts of a machine snapshot, each added to the snapshot in the order it reads them;
// TakeMachineSnapshot sorts afterwards.
#pragma once

#include <string>

#include "machine_snapshot.h"

// Every folder and file below drive_root ("C:\"), the links themselves but nothing behind them.
void AddDriveFiles(MachineSnapshot& snapshot, const std::string& drive_root, SnapshotProgress progress);

// HKLM\SOFTWARE and the services' keys in the 64-bit view, and every loaded user hive.
void AddRegistryKeys(MachineSnapshot& snapshot, SnapshotProgress progress);
