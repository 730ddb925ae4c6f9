// What the installation's new registry keys hold, read from the snapshot taken after it: the COM
// classes it registered with their server modules, and the contents of new keys that no record
// may name because the clean-up never deletes them.
#pragma once

#include <vector>

#include "machine_snapshot.h"
#include "signature_source.h"
#include "trace_changes.h"

// Every class key "...\CLSID\{...}" whose InprocServer32 or LocalServer32 lies in a new key (in
// either half, the machine's classes and the users'), with the module its default value names;
// and every server that appeared or changed in a class that existed, marked replaced.
std::vector<TracedComClass> TracedComClasses(const MachineSnapshot& after, const TracedChanges& changes);

// A new key that the safety rules protect (on a fresh machine the first program to register
// creates the Run or Uninstall key itself) is replaced by what it holds: its sub-keys as new keys,
// opened up in turn when protected, and its values as new values; the noise filter's rules apply
// to both, and what they take out goes to the filtered lines.
void OpenUpProtectedKeys(const MachineSnapshot& after, TracedChanges& changes);
