// qvrelease: makes an update folder ready for any static web server, and checks it before it
// is published.
//   qvrelease sign FOLDER --key PRIVATE.pem         fills sha256= and filesize= of every file
//                                                   entry from the files, then signs qv_update.INF
//   qvrelease check FOLDER --public-key PUBLIC.pem  the signature, and every entry's hash and size
// Exit codes: 0 done, 1 refused or not ready (the reason on standard error), 2 usage error.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "commands.h"

namespace {

const char kUsage[] =
    "usage: qvrelease sign FOLDER --key PRIVATE.pem\n"
    "       qvrelease check FOLDER --public-key PUBLIC.pem\n";

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }
    const bool sign = arguments.size() == 4 && arguments[0] == "sign" && arguments[2] == "--key";
    const bool check = arguments.size() == 4 && arguments[0] == "check" && arguments[2] == "--public-key";
    if (!sign && !check) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    try {
        return sign ? SignCommand(arguments[1], arguments[3]) : CheckCommand(arguments[1], arguments[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qvrelease: %s\n", error.what());
        return kExitNotReady;
    }
}
