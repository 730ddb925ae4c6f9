// The first look at a package: its entries as stored, before anything is unpacked.
#pragma once

#include <string>

#include "fault_log.h"

// Checks that every entry has a name the program may write (inside its working folder), data
// that inflates, and its full length; reports entries stored twice. False when the package
// cannot be unpacked safely at all. shown is the package path as messages show it.
bool CheckStoredEntries(const std::string& package_path, const std::string& shown, FaultLog& faults);
