// Kestrune.exe's command line: "--update-url URL" (or "--update-url=URL") points the online
// update at another control file, for a test server or a mirror, without rebuilding.
#pragma once

#include <string>

struct CommandLineOptions {
    std::string update_url;
    std::string error;  // a switch that could not be read; the program then says so and starts anyway
};

CommandLineOptions ReadCommandLine(int argc, char** argv);
