// hdbtool: the database maker's tool. Builds the signature package from its readable sources,
// lists a package's records and checks a package the way the program will read it.
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "code_page.h"
#include "commands.h"

namespace {

constexpr char kUsage[] =
    "usage: hdbtool build SOURCE_FOLDER OUT.hdb3   make a package from signature sources\n"
    "       hdbtool dump PACKAGE [FILE...]         print the records of every file, or of the named files\n"
    "       hdbtool verify PACKAGE                 check a package as the program will read it\n"
    "Output is UTF-8. Exit code 0: all is well; 1: faults found (a warning is one, a note is not);\n"
    "2: wrong usage.\n";

int Usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Listings and messages are UTF-8 byte for byte, as on Linux: no CR added to line breaks.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    // Nothing escapes main: any error ends in its message and exit code 1, never in abort().
    try {
        const std::string command = argc > 1 ? argv[1] : "";
        const StringList arguments(argv + (argc > 2 ? 2 : argc), argv + argc);
        if (command == "build" && arguments.size() == 2) return RunBuild(arguments[0], arguments[1]);
        if (command == "dump" && !arguments.empty())
            return RunDump(arguments[0], StringList(arguments.begin() + 1, arguments.end()));
        if (command == "verify" && arguments.size() == 1) return RunVerify(arguments[0]);
        return Usage();
    } catch (const std::bad_alloc&) {
        std::fputs("hdbtool: out of memory\n", stderr);  // nothing allocated here
    } catch (const std::exception& error) {
        std::fprintf(stderr, "hdbtool: %s\n", Cp936ToUtf8OrEscaped(error.what()).c_str());
    } catch (...) {
        std::fputs("hdbtool: stopped by an unexpected error\n", stderr);
    }
    return 1;
}
