// Checks a package for everything the program would trip over when it reads it: entries it
// cannot unpack, lines it cannot decode, records shorter than their layout, MAPPED lines naming
// missing files, programs whose records are split, and lookups that return other records than
// the program's own; and records that name something of Windows, of the user's profile or of
// another program (see dangerous_records.h).
#pragma once

#include <cstddef>
#include <string>

#include "fault_log.h"

struct PackageSummary {
    std::size_t files = 0;
    std::size_t programs = 0;
    std::size_t records = 0;
};

// Every fault goes to the log with the file and line it was found at.
PackageSummary VerifyPackage(const std::string& package_path, FaultLog& faults);
