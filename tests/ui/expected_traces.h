// What the end-to-end run through the console front end expects, read from its own files, so
// that the window is held to the very same traces: the analysis ("kind<TAB>text" lines) and the
// clean-up log. Paths below the user's profile folder are written "<PROFILE>\...".
#pragma once

#include <string>
#include <vector>

struct ExpectedTrace {
    std::string kind;  // process, corefile, dir, com, driver, reg, shortcut
    std::string text;  // code page 936
};

// The lines of a UTF-8 file in code page 936, without line ends; throws when it cannot be read.
std::vector<std::string> ReadUtf8Lines(const std::string& path);
std::vector<ExpectedTrace> ReadExpectedAnalysis(const std::string& path);

// "C:\users\<name>\..." anywhere in text becomes "<PROFILE>\...".
std::string WithProfilePlaceholder(const std::string& text);
