// Runs a real tool executable (hdbtool, qvrelease) and captures what it prints.
#pragma once

#include <string>
#include <vector>

#include "check.h"

struct ToolRun {
    int exit_code = -1;
    std::string out, err;
};

// The tool with the arguments; scratch is a folder for the captured output.
ToolRun RunTool(const std::string& tool, const std::vector<std::string>& arguments, const std::string& scratch);
// hdbtool, in the test programs that know its path.
ToolRun RunHdbtool(const std::vector<std::string>& arguments, const std::string& scratch);

// Checks that the text (hdbtool's output) contains the part; a failure shows both.
#define CHECK_MENTIONS(text, part)                                                                       \
    do {                                                                                                 \
        const std::string check_text_ = (text), check_part_ = (part);                                    \
        if (check_text_.find(check_part_) == std::string::npos)                                          \
            ::check::Fail(__FILE__, __LINE__, "expected " + check_part_ + "\n      in: " + check_text_); \
    } while (0)
