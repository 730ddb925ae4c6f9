// Kestrune.exe as the window tests meet it: a copy in a folder of its own with the signature
// package the case needs, the window started from there, its page pairs told apart by their
// controls, and pictures of each step when the screenshot folder is given.
#pragma once

#include <string>

#include "scratch_folder.h"
#include "window_driver.h"

// The folder of the running test program: the build puts Kestrune.exe and the shipped
// signature package REZ.hdb3 there.
std::string ProgramFolder();
// The engine's working folder: the temporary folder followed by "SID_UP".
std::string WorkingFolder();
bool FolderExists(const std::string& path);
// An environment variable's value, "" when unset.
std::string Environment(const char* name);

// Kestrune.exe in a scratch folder, alone (package "") or with package beside it as REZ.hdb3.
class KestruneCopy {
public:
    // The Kestrune.exe beside the test program, or the one at program_path.
    explicit KestruneCopy(const std::string& package, const std::string& program_path = "");
    std::string ExePath() const { return folder_ / "Kestrune.exe"; }
    std::string Folder() const { return folder_ / ""; }

private:
    ScratchFolder folder_;
};

class KestruneWindow : public WindowDriver {
public:
    explicit KestruneWindow(const KestruneCopy& copy, const std::string& arguments = "");
    // The window Kestrune.exe shows once it has started itself again (after its replacement).
    explicit KestruneWindow(DWORD previous_process_id);

    // The shown page pair by name ("software", "install-path", "analysis", "report", "clean",
    // "about", "submit", "update"); anything else describes what is shown, so that a middle
    // page shown with another page's buttons fails a comparison with a readable value.
    std::string ShownPage() const;

    // With KESTRUNE_SCREENSHOTS naming a folder: the window as <program>-<NN>-<name>.bmp there,
    // NN counting the pictures of this program. Otherwise nothing.
    void Picture(const std::string& name) const;
    // The same with the drop-down list of the combo open; nothing is chosen.
    void PictureOfDropDown(int combo_id, const std::string& name);
};

// Checks that box (the one an action opened) is there and shows expected_text, and presses the
// button; a box with another text is answered too, so that the window can go on.
void AnswerMessage(const KestruneWindow& window, HWND box, const std::string& expected_text, int button_id);
// The same for the box that is open or opens next.
void AnswerMessage(const KestruneWindow& window, const std::string& expected_text, int button_id);

// "下一步" on the analysis page until the report opens: the worker clears its busy flag only
// after its closing message was answered, a moment after the box has gone.
void OpenReportOnceAnalysisEnded(KestruneWindow& window);

// A user's close: no question, the process ends, the working folder goes with it.
void CheckClosesAndRemovesWorkingFolder(KestruneWindow& window);
