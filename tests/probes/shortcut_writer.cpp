#include "shortcut_writer.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "win32/handles.h"

bool WriteShortcut(const std::string& path, const std::string& target, const std::string& working_directory) {
    ComPointer<IShellLinkA> link;
    ComPointer<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Receive())) ||
        FAILED(link->QueryInterface(IID_IPersistFile, file.Receive())))
        return false;
    WCHAR wide_path[MAX_PATH] = {};
    return SUCCEEDED(link->SetPath(target.c_str())) && SUCCEEDED(link->SetWorkingDirectory(working_directory.c_str())) &&
           MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide_path, MAX_PATH) > 0 &&
           SUCCEEDED(file->Save(wide_path, TRUE));
}
