// Kestrune: the signature-based uninstaller's wizard window.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdlib>

#include "command_line.h"
#include "main_window.h"
#include "ui_kit.h"
#include "timer_resolution.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
    TimerResolution timer_resolution;
    // Shortcuts are read through COM on this thread, which the analysis hands them to; the
    // folder chooser needs OLE as well.
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    int code;
    {
        TForm_Tarnwick_CN form;
        const CommandLineOptions options = ReadCommandLine(__argc, __argv);
        if (!options.error.empty()) ShowError(nullptr, ("命令行参数无效: " + options.error).c_str());
        form.SetUpdateUrl(options.update_url);
        code = form.Run(show_command);
    }
    OleUninitialize();
    return code;
}
