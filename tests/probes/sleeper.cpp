// A process for the process probes to find and end: it sleeps for the milliseconds given as its
// argument (60 s by default), so a test that fails half-way leaves nothing running for long.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    const long milliseconds = argc > 1 ? std::atol(argv[1]) : 60000;
    Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
    return 0;
}
