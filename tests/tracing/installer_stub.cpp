// An installer that hands its work to a child and leaves before it is done: it starts
// kestrune_sleeper.exe (beside it) for the milliseconds given as its argument and ends at once
// with exit code 7.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string sleeper = exe;
    sleeper = sleeper.substr(0, sleeper.find_last_of('\\')) + "\\kestrune_sleeper.exe";
    std::string command = "\"" + sleeper + "\" " + (argc > 1 ? argv[1] : "2000");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    if (!CreateProcessA(sleeper.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child))
        return 1;
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return 7;
}
