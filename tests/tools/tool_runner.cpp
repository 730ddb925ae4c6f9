#include "tool_runner.h"

#include <sys/wait.h>

#include <cstdlib>

#include "file_system.h"
#include "fixtures.h"

namespace {

// One shell word: the text in single quotes, with any single quote closed, escaped and reopened.
std::string ShellWord(const std::string& text) {
    std::string word = "'";
    for (char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}

}  // namespace

ToolRun RunTool(const std::string& tool, const std::vector<std::string>& arguments, const std::string& scratch) {
    const std::string out_path = JoinPath(scratch, "tool.out"), err_path = JoinPath(scratch, "tool.err");
    std::string command = ShellWord(tool);
    for (const std::string& argument : arguments) command += " " + ShellWord(argument);
    command += " >" + ShellWord(out_path) + " 2>" + ShellWord(err_path);

    ToolRun run;
    const int status = std::system(command.c_str());
    run.exit_code = status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(out_path);
    run.err = ReadFile(err_path);
    return run;
}

#ifdef HDBTOOL_PATH
ToolRun RunHdbtool(const std::vector<std::string>& arguments, const std::string& scratch) {
    return RunTool(HDBTOOL_PATH, arguments, scratch);
}
#endif
