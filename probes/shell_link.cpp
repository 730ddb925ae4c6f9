#include "shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "long_path.h"
#include "win32/handles.h"

namespace {

// What IShellLinkA wrote into a zero-filled buffer of MAX_PATH characters (one more byte keeps
// the text terminated whatever the call did).
struct PathBuffer {
    char text[MAX_PATH + 1] = {};
};

// The long form of what the shortcut holds; empty for an empty text.
std::string LongFormOf(const PathBuffer& buffer) { return buffer.text[0] ? GetLongPath(buffer.text) : std::string(); }

}  // namespace

void ResolveShellLink(const std::string& shortcut_path, std::string& working_directory, std::string& target) {
    working_directory.clear();
    target.clear();

    ComPointer<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Receive())))
        return;
    ComPointer<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, file.Receive()))) return;

    // A path that does not fit in MAX_PATH wide characters is not cut: a shortened path could
    // name another shortcut, so it reads as one that cannot be read.
    WCHAR wide_path[MAX_PATH] = {};
    if (MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, shortcut_path.c_str(), -1, wide_path, MAX_PATH) == 0) return;
    if (FAILED(file->Load(wide_path, STGM_READ))) return;

    // Each text goes through its long form, so a target or folder that no longer exists reads
    // as empty.
    PathBuffer target_buffer;
    link->GetPath(target_buffer.text, MAX_PATH, nullptr, SLGP_UNCPRIORITY);
    target = LongFormOf(target_buffer);

    PathBuffer directory_buffer;
    link->GetWorkingDirectory(directory_buffer.text, MAX_PATH);
    working_directory = LongFormOf(directory_buffer);
}
