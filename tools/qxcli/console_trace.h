// qxcli trace: a snapshot of the machine, the installer run until it and every process it started
// have ended, a second snapshot, and their difference written as a signature source for the
// maintainer to review. No database is needed.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ConsoleTraceOptions {
    std::string signature_file;  // must not exist yet; its folder must
    std::string type;            // empty: from the file's type folder
    std::string sub_type;        // empty: the writer's default
    std::string program_name;    // empty: the registration's DisplayName
    unsigned long timeout_seconds = 600;
    std::vector<std::string> installer;  // the installer and its arguments
};

// The exit code: 0 written; 2 a usage error, a missing installer, or a trace that gives no
// catalogue name (no registration and no --name); 3 the file could not be written; 4 the installer
// could not start (nothing written), or timed out or failed (the source is written all the same,
// saying so). What went wrong is in error, code page 936, for standard error.
int RunConsoleTrace(const ConsoleTraceOptions& options, const std::function<void(const std::string&)>& print,
                    std::string& error);
