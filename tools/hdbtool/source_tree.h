// The signature source tree: ROOT/<type>/<program>.sig, with type MW, SW or NM. Files that do not
// end in .sig (a README, editor backups) are passed over; anything else out of place is a fault.
#pragma once

#include <vector>

#include "signature_source.h"

// Every program of the tree, ordered by type (MW, SW, NM) and then by key, so that the output
// does not depend on file names or the platform. Faults (with file and line) go to the log;
// programs with faults are left out.
std::vector<ProgramSource> ReadSourceTree(const std::string& root, FaultLog& faults);
