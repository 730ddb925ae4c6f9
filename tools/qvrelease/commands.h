// The release tool's two commands. Each prints its report on standard output and its faults on
// standard error, and returns the exit code.
#pragma once

#include <string>

constexpr int kExitDone = 0;
constexpr int kExitNotReady = 1;  // refused, or the folder is not fit to publish
constexpr int kExitUsage = 2;

// Fills sha256= and filesize= of every file entry from the files in folder, then signs the
// control file with the private key. Changes nothing when any entry or the key is at fault.
int SignCommand(const std::string& folder, const std::string& private_key_pem);
// Verifies the signature and every entry's hash and size against the files, one line per entry.
int CheckCommand(const std::string& folder, const std::string& public_key_pem);
