// Runs an installer for the tracer and waits until it and every process it started have ended:
// installers hand their work to a child (an unpacked setup, msiexec, a post-install helper) and
// leave before it is done. The processes live in a job object, which every process they start
// joins as well; what still runs at the timeout is reported by image name and left running.
#pragma once

#include <string>
#include <vector>

// The command line Windows programs read back as program and arguments (CommandLineToArgvW's
// rules): every part quoted when it is empty or holds a blank, a tab or a quote; quotes and the
// backslashes before them escaped.
std::string QuotedCommandLine(const std::vector<std::string>& parts);

// The installer's file: as given when it names an existing file, otherwise looked up as
// SearchPath looks up a program (with ".exe" added when it has no extension). False, with a
// message, when there is none or it is a folder.
bool FindInstaller(const std::string& installer, std::string& path, std::string& error);

struct InstallerRun {
    bool started = false;
    std::string error;               // why it did not start
    std::string command_line;        // as run
    bool installer_ended = false;    // the installer's own process ended in time
    unsigned long exit_code = 0;     // its exit code, when it ended
    bool all_ended = false;          // and every process it started, too
    std::vector<std::string> still_running;  // image names of what ran at the timeout
    std::string note;                // how the wait was limited, when it was
};

// Runs the installer (a .bat or .cmd file through the command interpreter, a .msi package
// through msiexec /i, anything else directly) with the arguments and waits at most
// timeout_seconds for it and every process it started. Nothing is ended at the timeout.
InstallerRun RunInstaller(const std::string& installer, const std::vector<std::string>& arguments,
                          unsigned long timeout_seconds);
