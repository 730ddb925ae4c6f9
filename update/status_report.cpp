#include "status_report.h"

#include <wininet.h>

#include <stdexcept>

#include "folder_lookup_win.h"
#include "status_messages.h"
#include "win32/handles.h"

namespace update {

namespace {

constexpr int kSystemError = 976;
constexpr DWORD kMessageCapacity = 1025;

std::string& HeldLogFileName() {
    static std::string name = "QV_update.LOG";
    return name;
}

// The user's date and time separators, for the log line.
char LocaleSeparator(LCTYPE type, char fallback) {
    char text[8] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text) > 1 ? text[0] : fallback;
}

std::string ServerResponseText() {
    DWORD code = 0, length = kMessageCapacity;
    char text[kMessageCapacity] = {};
    return InternetGetLastResponseInfoA(&code, text, &length) ? std::string(text) : "";
}

// WinInet's own message table first; codes it does not hold (a socket or file error reaching
// WinInet's caller) come from the system's.
std::string MessageTableText(DWORD error) {
    char text[kMessageCapacity] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       GetModuleHandleA("wininet.dll"), error, 0, text, kMessageCapacity, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

}  // namespace

std::string InternetErrorText(DWORD error) {
    return error == ERROR_INTERNET_EXTENDED_ERROR ? ServerResponseText() : MessageTableText(error);
}

void SetLogFileName(const std::string& name) { HeldLogFileName() = name; }

std::string LogFilePath() {
    const std::string& name = HeldLogFileName();
    if (name.find_first_of("\\/:") != std::string::npos) return name;
    const std::string documents = DocumentsFolder();
    return documents.empty() ? "" : documents + name;
}

void StatusReporter::AppendLogLine(const std::string& text) {
    const std::string path = LogFilePath();
    if (path.empty()) throw std::runtime_error("cannot write the update log: the documents folder is unknown");
    // Appending only: every write lands at the end, whoever else has the log open.
    KernelHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const std::string line = text + "\r\n";
    DWORD written = 0;
    if (!file.IsOpen() || !WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size())
        throw std::runtime_error("cannot write the update log " + path + " (error " + std::to_string(GetLastError()) +
                                 ")");
}

void StatusReporter::Report(int number, const std::string& argument, int status_code, int error_code) {
    const std::string text = StatusText(number, argument);
    if (logging) {
        SYSTEMTIME now = {};
        GetLocalTime(&now);
        const LogTime time{now.wDay, now.wMonth, now.wYear, now.wHour, now.wMinute, now.wSecond};
        AppendLogLine(FormatLogLine(time, LocaleSeparator(LOCALE_SDATE, '/'), LocaleSeparator(LOCALE_STIME, ':'),
                                    number, text, status_code, error_code));
    }
    if (on_status) on_status(text, status_code, error_code);
}

void StatusReporter::ReportSystemError() {
    const DWORD error = GetLastError();
    if (error == 0) return;
    const std::string text = InternetErrorText(error);
    if (text.empty()) return;
    Report(kSystemError, text, 1, static_cast<int>(error));
    if (error_boxes) MessageBoxA(owner, text.c_str(), "Kestrune", MB_OK | MB_ICONERROR);
}

StatusSink StatusReporter::Sink() {
    return [this](int number, const std::string& argument, int status_code, int error_code) {
        Report(number, argument, status_code, error_code);
    };
}

}  // namespace update
