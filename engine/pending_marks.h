// A file or folder that an earlier clean-up scheduled for deletion at the next restart is still on
// disk until then: an analysis shows it marked as pending rather than as found, and a clean-up
// passes it over as already scheduled.
#pragma once

#include <string>

#include "safety_guard.h"

// The item (a path as the machine names it) as an analysis reports it: marked with the safety
// rules' reason when they refuse it, marked pending when it waits for the restart, plain otherwise.
std::string ShownFileTrace(const SafetyVerdict& verdict, const std::string& path);
bool IsMarkedPendingDeletion(const std::string& text);
