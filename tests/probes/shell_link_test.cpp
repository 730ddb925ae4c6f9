// Shortcuts written through the shell's own IShellLinkA and IPersistFile, read back with the
// probe, then left pointing at folders and files that are gone.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "check.h"
#include "scratch_folder.h"
#include "shell_link.h"
#include "shortcut_writer.h"
#include "win32/handles.h"

namespace {

// COM initialised on this thread while the fixture lives, as on the window's thread.
class ComOnThisThread {
public:
    ComOnThisThread() { CHECK(SUCCEEDED(CoInitialize(nullptr))); }
    ~ComOnThisThread() { CoUninitialize(); }
    ComOnThisThread(const ComOnThisThread&) = delete;
    ComOnThisThread& operator=(const ComOnThisThread&) = delete;
};

// The 8.3 form, so the shortcut holds a text that only the long-form conversion turns back.
std::string ShortFormOf(const std::string& path) {
    char short_path[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), short_path, MAX_PATH);
    CHECK(length > 0 && length < MAX_PATH);
    return short_path;
}

struct Resolved {
    std::string working_directory = "left over", target = "left over";
};

Resolved Resolve(const std::string& shortcut_path) {
    Resolved resolved;
    ResolveShellLink(shortcut_path, resolved.working_directory, resolved.target);
    return resolved;
}

// A shortcut below the scratch folder, to an application in a folder of its own that also
// serves as the working directory's parent.
struct ShortcutCase {
    std::string shortcut, folder, working_folder, application;
};

const ShortcutCase kShortcuts[] = {
    {"快捷方式.lnk", "长名称的程序目录", "长名称的程序目录\\工作目录", "长名称的程序目录\\应用程序.exe"},
    {"Long Shortcut Name.lnk", "Long Program Folder", "Long Program Folder\\Working Folder",
     "Long Program Folder\\Long Application.exe"},
};

DWORD WINAPI ResolveWithoutCom(void* shortcut_path) {
    const Resolved resolved = Resolve(*static_cast<const std::string*>(shortcut_path));
    return resolved.target.empty() && resolved.working_directory.empty() ? 0 : 1;
}

}  // namespace

TEST(ShortcutsResolveToLongFormsOfWhatStillExists) {
    ComOnThisThread com;
    ScratchFolder scratch("C:\\", "KestruneShortcuts");
    for (const ShortcutCase& c : kShortcuts) {
        scratch.MakeFolders({c.working_folder});
        scratch.MakeFiles({c.application});
        CHECK(WriteShortcut(scratch / c.shortcut, ShortFormOf(scratch / c.application),
                            ShortFormOf(scratch / c.working_folder)));
    }

    for (const ShortcutCase& c : kShortcuts) {
        CONTEXT(c.shortcut);
        const Resolved resolved = Resolve(scratch / c.shortcut);
        CHECK_EQ(resolved.target, scratch / c.application);
        CHECK_EQ(resolved.working_directory, scratch / c.working_folder);

        // The target deleted: the working directory still resolves.
        CHECK(DeleteFileA((scratch / c.application).c_str()));
        const Resolved without_target = Resolve(scratch / c.shortcut);
        CHECK_EQ(without_target.target, std::string());
        CHECK_EQ(without_target.working_directory, scratch / c.working_folder);

        CHECK(scratch.Remove(c.folder));
        const Resolved without_folder = Resolve(scratch / c.shortcut);
        CHECK_EQ(without_folder.target, std::string());
        CHECK_EQ(without_folder.working_directory, std::string());
    }
}

TEST(WhatIsNoReadableShortcutResolvesToNothing) {
    ComOnThisThread com;
    ScratchFolder scratch("C:\\", "KestruneShortcuts");
    scratch.MakeFolders({"Folder.lnk"});
    scratch.MakeFiles({"Empty.lnk", "Target.exe"});
    CHECK(WriteShortcut(scratch / "Good.lnk", scratch / "Target.exe", scratch.Path()));

    const std::string cases[] = {
        scratch / "Missing.lnk",
        scratch / "Empty.lnk",
        scratch / "Folder.lnk",
        "",
        // Longer than MAX_PATH wide characters: read as no shortcut, never as a cut-down path.
        scratch / (std::string(MAX_PATH, '\\') + "Good.lnk"),
    };
    for (const std::string& path : cases) {
        CONTEXT(path);
        const Resolved resolved = Resolve(path);
        CHECK_EQ(resolved.target, std::string());
        CHECK_EQ(resolved.working_directory, std::string());
    }
    CHECK_EQ(Resolve(scratch / "Good.lnk").target, scratch / "Target.exe");

    // A thread without COM cannot create the shell link object.
    std::string good = scratch / "Good.lnk";
    KernelHandle thread(CreateThread(nullptr, 0, ResolveWithoutCom, &good, 0, nullptr));
    CHECK(thread.IsOpen());
    WaitForSingleObject(thread.Get(), INFINITE);
    DWORD resolved_nothing = 1;
    GetExitCodeThread(thread.Get(), &resolved_nothing);
    CHECK_EQ(resolved_nothing, 0ul);
}
