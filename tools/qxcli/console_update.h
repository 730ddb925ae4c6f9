// qxcli update: the update client run from a console. Statuses are printed as lines, questions
// are answered Yes only when the command line says so, and what only a desktop can show is
// skipped with a line saying so.
#pragma once

#include <functional>
#include <string>

struct ConsoleUpdateOptions {
    std::string url;         // empty: the maker's server
    bool answer_yes = false;
};

// The exit code: 0 when every selected file was placed or nothing is newer, 4 when something
// failed or the control file was not trusted.
int RunConsoleUpdate(const ConsoleUpdateOptions& options, const std::function<void(const std::string&)>& print);
