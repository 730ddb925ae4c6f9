// The command line between the update client and qvsetup.exe:
//   PID L|X PROGRAM PARAMETERS "FOLDER\" COMPONENTS
// the program path and its parameters in quotation marks when they hold a blank (the default
// parameters are one blank), the folder always quoted and ending in a backslash right before its
// closing mark, the components as the control file lists them.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace update {

std::string BuildReplacementParameters(unsigned long process_id, bool logging, const std::string& current_directory,
                                       const std::string& app_name, const std::string& app_params,
                                       const std::string& temp_folder, const std::string& components);

struct ReplacementRequest {
    unsigned long process_id = 0;
    bool logging = false;
    std::string program_path;
    std::string program_parameters;        // " " when the program has none
    std::string component_folder;          // with its trailing backslash
    std::vector<std::string> components;   // names separated by blanks, commas or semicolons
};

// The inverse of BuildReplacementParameters on the command line after qvsetup.exe's own name.
// Nothing, with the reason in error, for a line that does not have that form.
std::optional<ReplacementRequest> ParseReplacementParameters(const std::string& command_line_tail, std::string* error);

// A component name that stays inside its folder: no path characters, no "..", no device name.
bool IsPlainComponentName(const std::string& name);

}  // namespace update
