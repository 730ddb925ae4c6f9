#include "command_line.h"

namespace {

const std::string kUpdateUrlSwitch = "--update-url";

}  // namespace

CommandLineOptions ReadCommandLine(int argc, char** argv) {
    CommandLineOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == kUpdateUrlSwitch) {
            if (i + 1 < argc)
                options.update_url = argv[++i];
            else
                options.error = kUpdateUrlSwitch + " needs a URL";
        } else if (argument.compare(0, kUpdateUrlSwitch.size() + 1, kUpdateUrlSwitch + "=") == 0) {
            options.update_url = argument.substr(kUpdateUrlSwitch.size() + 1);
        }
        // Other arguments (such as the restart's parameters) are not ours to judge.
    }
    return options;
}
