// Status texts, the log line and the log file, and the report of a system error, against the
// real file system and WinInet's own message table.
#include <windows.h>
#include <wininet.h>
#include <shlobj.h>

#include <stdexcept>

#include "check.h"
#include "status_messages.h"
#include "status_report.h"
#include "transport_fixture.h"

using update::FormatLogLine;
using update::LogTime;
using update::StatusText;

TEST(StatusTextFillsTheArgument) {
    struct Case {
        int number;
        const char* argument;
        const char* text;
    };
    const Case cases[] = {
        {915, "http://127.0.0.1/QV/REZ.hdb3", "Download : http://127.0.0.1/QV/REZ.hdb3"},
        {916, "404", "Http status : 404"},
        {968, "Threaded update", "Start update : Threaded update ---------------------------"},
        {972, "C:\\a\\b.exe", "Cannot delete file : C:\\a\\b.exe"},
        {976, "%s 100%", "System error : %s 100%"},  // an argument is not a pattern
        {930, "ignored", "No new version found"},
        {909, "ignored", "Download update file : "},
        {908, "x", ""},
        {977, "x", ""},
    };
    for (const Case& row : cases) {
        CONTEXT(std::to_string(row.number));
        CHECK_EQ(StatusText(row.number, row.argument), std::string(row.text));
    }
}

TEST(LogLineFormat) {
    struct Case {
        LogTime time;
        char date_separator, time_separator;
        int number;
        const char* text;
        int status_code, error_code;
        const char* line;
    };
    const Case cases[] = {
        {{7, 3, 2025, 9, 5, 4}, '/', ':', 916, "Http status : 404", 6, 404,
         "07/03/2025 09:05:04 : [916] Http status : 404 (Status:6) (Error:404)"},
        {{31, 12, 1999, 23, 59, 59}, '-', '.', 976, "System error : x", 1, 12029,
         "31-12-1999 23.59.59 : [976] System error : x (Status:1) (Error:12029)"},
        {{1, 1, 2030, 0, 0, 0}, '.', ':', 930, "No new version found", 0, 0,
         "01.01.2030 00:00:00 : [930] No new version found (Status:0) (Error:0)"},
    };
    for (const Case& row : cases) {
        CONTEXT(row.line);
        CHECK_EQ(FormatLogLine(row.time, row.date_separator, row.time_separator, row.number, row.text, row.status_code,
                               row.error_code),
                 std::string(row.line));
    }
}

TEST(LogFilePathPlacesBareNamesInDocuments) {
    char documents[MAX_PATH] = {};
    CHECK(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)));
    const std::string in_documents = std::string(documents) + "\\";
    CHECK_EQ(update::LogFilePath(), in_documents + "QV_update.LOG");  // the name until one is set
    struct Case {
        const char* name;
        std::string path;
    };
    const Case cases[] = {
        {"update.log", in_documents + "update.log"},
        {"C:\\logs\\update.log", "C:\\logs\\update.log"},
        {"logs/update.log", "logs/update.log"},
        {"D:update.log", "D:update.log"},
        {"..\\update.log", "..\\update.log"},
    };
    for (const Case& row : cases) {
        CONTEXT(row.name);
        LogFileAt log(row.name);
        CHECK_EQ(update::LogFilePath(), row.path);
    }
}

TEST(LogFileGetsLinesAppended) {
    ScratchTemporaryFolder scratch;
    const std::string path = scratch / "update.log";
    LogFileAt log(path);
    StatusRecorder recorder;
    update::StatusReporter& reporter = recorder.reporter;

    reporter.AppendLogLine("Unable to delete file C:\\x");
    reporter.Report(915, "quiet", 3, 0);  // logging is off: the handler only
    CHECK_EQ(ReadFile(path), "Unable to delete file C:\\x\r\n");

    reporter.logging = true;
    reporter.Report(929, "1.0.1.0", 5, 0);
    const std::string text = ReadFile(path);
    const std::string first = "Unable to delete file C:\\x\r\n";
    const std::string suffix = " : [929] New version found : 1.0.1.0 (Status:5) (Error:0)\r\n";
    CHECK_EQ(text.size(), first.size() + 19 + suffix.size());
    CHECK_EQ(text.substr(0, first.size()), first);
    if (text.size() == first.size() + 19 + suffix.size()) {
        // "dd?mm?yyyy hh?nn?ss" with the system's separators.
        const std::string stamp = text.substr(first.size(), 19);
        for (size_t at : {0, 1, 3, 4, 6, 7, 8, 9, 11, 12, 14, 15, 17, 18}) CHECK(stamp[at] >= '0' && stamp[at] <= '9');
        CHECK_EQ(stamp[10], ' ');
        CHECK_EQ(stamp[2], stamp[5]);
        CHECK_EQ(stamp[13], stamp[16]);
        CHECK_EQ(text.substr(first.size() + 19), suffix);
    }
    CHECK_EQ(recorder.statuses.size(), size_t(2));
    if (recorder.statuses.size() == 2) CHECK_EQ(recorder.statuses[1].text, std::string("New version found : 1.0.1.0"));
}

TEST(LogFileThatCannotBeWrittenRaises) {
    ScratchTemporaryFolder scratch;
    const std::string path = scratch / "missing\\update.log";
    LogFileAt log(path);
    StatusRecorder recorder;
    CHECK_THROWS(std::runtime_error, recorder.reporter.AppendLogLine("line"), nullptr);
    recorder.reporter.Report(915, "not logged", 3, 0);  // logging off: no write, no error
    recorder.reporter.logging = true;
    CHECK_THROWS(std::runtime_error, recorder.reporter.Report(915, "logged", 3, 0), nullptr);
    try {
        recorder.reporter.AppendLogLine("line");
    } catch (const std::runtime_error& error) {
        CHECK_EQ(std::string(error.what()).rfind("cannot write the update log " + path + " (error ", 0), size_t(0));
    }
}

TEST(SystemErrorReport) {
    struct Case {
        const char* name;
        DWORD error;
        bool reported;
    };
    const Case cases[] = {
        {"a WinInet error", ERROR_INTERNET_CANNOT_CONNECT, true},
        {"a system error", ERROR_ACCESS_DENIED, true},
        {"no error", 0, false},
        // The server's last answer, of which there is none on this thread.
        {"extended error without an answer", ERROR_INTERNET_EXTENDED_ERROR, false},
    };
    for (const Case& row : cases) {
        CONTEXT(row.name);
        StatusRecorder recorder;
        SetLastError(row.error);
        recorder.reporter.ReportSystemError();
        CHECK_EQ(recorder.statuses.size(), size_t(row.reported ? 1 : 0));
        if (recorder.statuses.size() != 1) continue;
        const ReportedStatus& status = recorder.statuses[0];
        CHECK_EQ(status.status_code, 1);
        CHECK_EQ(status.error_code, static_cast<int>(row.error));
        CHECK_EQ(status.text.rfind("System error : ", 0), size_t(0));
        // The message table's text, without the line break it ends with.
        CHECK(status.text.size() > std::string("System error : ").size());
        CHECK(status.text.find("System error : error ") == std::string::npos);
        CHECK(status.text.back() != '\n');
    }
}
