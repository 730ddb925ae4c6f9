// A process for the process probes to find and end: it sleeps for the milliseconds given as its
// argument (60 s by default), so a test that fails half-way leaves nothing running for long.
// With a file as its second argument it holds that file open meanwhile, without delete sharing,
// as a program in use holds its files.
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    const long milliseconds = argc > 1 ? std::atol(argv[1]) : 60000;
    HANDLE held = argc > 2 ? CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                           : INVALID_HANDLE_VALUE;
    Sleep(milliseconds > 0 ? static_cast<DWORD>(milliseconds) : 0);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    return 0;
}
