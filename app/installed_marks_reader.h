// The software page's installed marks, read on threads of their own: the list shows at once and
// the window keeps answering while thousands of registrations are read. Each read works on
// copies (the working folder, the type, the catalogue lines), so the engine stays free; a read
// started later makes the answer of any earlier one stale.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "registry_view.h"
#include "splitters.h"

class InstalledMarksReader {
public:
    InstalledMarksReader();
    ~InstalledMarksReader();  // waits for the reads still running
    InstalledMarksReader(const InstalledMarksReader&) = delete;
    InstalledMarksReader& operator=(const InstalledMarksReader&) = delete;

    // Starts a read; when it is done, message is posted to window with the read's number as
    // wparam. False when the system made no thread: nothing was started.
    bool Start(HWND window, UINT message, const std::string& work_folder, const std::string& type,
               const StringList& catalogue, RegistryView view);
    // The marks of read number `read` (its wparam), when it is the latest one started and has
    // finished; false for a stale read or one taken before. Finished reads whose answer is no
    // longer wanted are let go.
    bool Take(WPARAM read, std::vector<bool>& marks);
    // The answers of the reads started so far are dropped: what they read is no longer shown.
    void Forget() { forgotten_ = latest_; }
    // Returns once no read runs: before the working folder is rewritten or removed.
    void Wait();

private:
    struct Read;
    static DWORD WINAPI ReadMain(void* read);
    void LetFinishedGo();

    std::vector<std::unique_ptr<Read>> reads_;
    WPARAM latest_ = 0;     // the number of the last read started
    WPARAM forgotten_ = 0;  // reads up to this number are stale
};
