// Status reports of an update run: each numbered status goes to the log file when logging is on
// and to the run's status handler; a WinInet error is reported with the system's text and shown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "status_sink.h"

namespace update {

// The log file's name, held once for the process ("QV_update.LOG" until set): a name with "\",
// "/" or ":" is a path, any other lies in the user's documents folder.
void SetLogFileName(const std::string& name);
// "" when the name needs the documents folder and Windows does not tell it.
std::string LogFilePath();

// The text of a system error as the user reads it: WinInet's message, else the system's, else
// "error N"; for ERROR_INTERNET_EXTENDED_ERROR the server's last answer on this thread ("" when
// there is none).
std::string InternetErrorText(DWORD error);

class StatusReporter {
public:
    bool logging = false;     // statuses to the log file
    bool error_boxes = true;  // system errors in a message box
    HWND owner = nullptr;     // of that box
    std::function<void(const std::string& text, int status_code, int error_code)> on_status;

    // Throws std::runtime_error when logging is on and the log cannot be written.
    void Report(int number, const std::string& argument, int status_code, int error_code);
    // The calling thread's last error as status 976, with WinInet's text for it (the server's
    // last answer for an extended error) and, unless boxes are off, in an error box; nothing
    // when there is no error or the server's answer is empty.
    void ReportSystemError();
    // A line appended to the log file (created when missing), ended by CR LF; throws
    // std::runtime_error when it cannot be written.
    void AppendLogLine(const std::string& text);
    StatusSink Sink();
};

}  // namespace update
