// The facts of this machine that the signature writer needs: the folders Windows names for it
// and its users, and the names other programs already use, read from the snapshot taken before
// the installation.
#pragma once

#include "machine_snapshot.h"
#include "signature_source.h"

TraceMachineFacts ReadTraceMachineFacts(const MachineSnapshot& before);
