// The last step of a download: the verified temporary file takes the target's place in one
// step, or is deleted and the target stays as it was.
#pragma once

#include <string>

#include "status_report.h"

namespace update {

// Moves temporary onto target, replacing a target that is read-only or hidden too. "" when
// placed; else the reason, after status 972 (the target could not be replaced) or 973 (the move
// failed), a line in the log, and the deletion of temporary.
std::string PlaceDownload(const std::string& temporary, const std::string& target, StatusReporter& status);

// Deletes a temporary download that will not be placed; one that stays is named in the log.
void DiscardDownload(const std::string& temporary, StatusReporter& status);

}  // namespace update
