// The file a registry command names, as uninstall registrations and COM servers write them.
#include <windows.h>

#include "check.h"
#include "command_path.h"
#include "program_registrations.h"

TEST(CommandsNameTheirFileQuotedOrNot) {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const struct {
        const char* command;
        std::string file;
        std::string folder;
    } rows[] = {
        {"\"C:\\Program Files\\A B\\uninst.exe\" /S", "C:\\Program Files\\A B\\uninst.exe", "C:\\Program Files\\A B"},
        {"C:\\Program Files\\A B\\uninst.exe /S", "C:\\Program Files\\A B\\uninst.exe", "C:\\Program Files\\A B"},
        {"  C:\\Apps\\tool.EXE,0 ", "C:\\Apps\\tool.EXE", "C:\\Apps"},
        {"C:\\Apps\\icons.dll,3", "C:\\Apps\\icons.dll", "C:\\Apps"},
        {"%SystemRoot%\\system32\\ole32.dll", std::string(windows) + "\\system32\\ole32.dll",
         std::string(windows) + "\\system32"},
        {"MsiExec.exe /X{A956CC3A-6189-4D24-BAE4-5790F95C1EC6}", "MsiExec.exe", ""},
        {"", "", ""},
    };
    for (const auto& row : rows) {
        CONTEXT(row.command);
        CHECK_EQ(CommandFilePath(row.command), row.file);
        CHECK_EQ(ExecutableFolderOf(row.command), row.folder);
    }
}
