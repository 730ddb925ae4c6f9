// The program that qvsetup.exe replaces and starts again in the replacement tests: it writes its
// process id, its command line and its working folder, one a line, to restarted.txt beside
// itself and ends. The file appears whole (written aside, then renamed).
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string folder = module;
    folder.erase(folder.find_last_of('\\') + 1);
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, current);
    const std::string text =
        std::to_string(GetCurrentProcessId()) + "\r\n" + GetCommandLineA() + "\r\n" + current + "\r\n";
    const std::string aside = folder + "restarted.tmp";
    HANDLE file = CreateFileA(aside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && MoveFileExA(aside.c_str(), (folder + "restarted.txt").c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
