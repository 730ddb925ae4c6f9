// Status reports of an update run: each numbered status goes to the log file when logging is on
// and to the run's status handler; a WinInet error is reported with the system's text and shown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "status_sink.h"

namespace update {

// The log file's name, held once for the process: a name with "\", "/" or ":" is a path,
// any other lies in the user's documents folder.
void SetLogFileName(const std::string& name);
std::string LogFilePath();

class StatusReporter {
public:
    bool logging = false;     // statuses to the log file
    bool error_boxes = true;  // system errors in a message box
    HWND owner = nullptr;     // of that box
    std::function<void(const std::string& text, int status_code, int error_code)> on_status;

    void Report(int number, const std::string& argument, int status_code, int error_code);
    // The calling thread's last error, with wininet's text for it (the server's last answer for
    // an extended error); nothing when there is no error.
    void ReportSystemError();
    // A line appended to the log file; throws std::runtime_error when it cannot be written.
    void AppendLogLine(const std::string& text);
    StatusSink Sink();
};

}  // namespace update
