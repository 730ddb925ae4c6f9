// The process probes against real processes: two instances of a sleeper, run under a name that
// belongs to this run alone, so other runs in the same Wine prefix are never touched.
#include <windows.h>
#include <tlhelp32.h>

#include <cctype>

#include "check.h"
#include "file_system.h"
#include "process_probes.h"
#include "win32/handles.h"

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string FolderOfThisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string text = path;
    return text.substr(0, text.size() - FileNameOf(text).size());
}

// Counted without the probes: the snapshot's names compared exactly.
int CountProcessesNamed(const std::string& name) {
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry))
        if (name == entry.szExeFile) ++count;
    return count;
}

// A copy of the sleeper named "KestruneSleeper-<pid>.exe" in the temporary folder, with two
// instances of it running. Whatever still runs is ended, and the copy deleted, at the end.
class TwoSleepers {
public:
    TwoSleepers() : name_("KestruneSleeper-" + std::to_string(GetCurrentProcessId()) + ".exe") {
        char temporary[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temporary);
        path_ = JoinPath(temporary, name_);
        CHECK(CopyFileA((FolderOfThisProgram() + "kestrune_sleeper.exe").c_str(), path_.c_str(), FALSE));
        for (KernelHandle& process : processes_) Start(process);
        for (int attempt = 0; attempt < 100 && CountProcessesNamed(name_) < 2; ++attempt) Sleep(50);
        CHECK_EQ(CountProcessesNamed(name_), 2);
    }
    ~TwoSleepers() {
        for (KernelHandle& process : processes_) {
            TerminateProcess(process.Get(), 0);
            WaitForSingleObject(process.Get(), 5000);
            process.Reset();
        }
        DeleteFileA(path_.c_str());
    }
    TwoSleepers(const TwoSleepers&) = delete;
    TwoSleepers& operator=(const TwoSleepers&) = delete;

    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }
    // How many of the two have ended.
    int Ended() const {
        int ended = 0;
        for (const KernelHandle& process : processes_)
            if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) ++ended;
        return ended;
    }

private:
    void Start(KernelHandle& process) {
        std::string command_line = "\"" + path_ + "\" 60000";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        CHECK(CreateProcessA(path_.c_str(), &command_line[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                             nullptr, &startup, &started));
        process.Reset(started.hProcess);
        KernelHandle thread(started.hThread);
    }

    std::string name_, path_;
    KernelHandle processes_[2];
};

}  // namespace

TEST(RunningProcessesAreFoundByTheirBareExecutableName) {
    TwoSleepers sleepers;
    const std::string name = sleepers.Name();
    struct NameCase {
        std::string wanted;
        bool running;
    };
    const NameCase cases[] = {
        {name, true},
        {Lower(name), true},
        {Upper(name), true},
        {" \t" + name + "  ", true},
        {sleepers.Path(), false},  // a name with its folder never matches
        {".\\" + name, false},
        {name.substr(0, name.size() - 4), false},
        {name + "x", false},
        {"", false},
        {"   ", false},
    };
    for (const NameCase& c : cases) {
        CONTEXT(c.wanted);
        CHECK_EQ(IsProcessRunning(c.wanted), c.running);
    }
}

TEST(KillProcessByNameEndsOnlyTheFirstOfItsName) {
    TwoSleepers sleepers;
    const std::string name = sleepers.Name();

    CHECK(KillProcessByName(" " + Upper(name) + " "));
    CHECK_EQ(sleepers.Ended(), 1);  // ended before the call returned; the other keeps running
    CHECK(IsProcessRunning(name));

    // Nothing of these names runs: that is no failure, and nothing is ended.
    for (const std::string& absent : {sleepers.Path(), name + "x", std::string()}) {
        CONTEXT(absent);
        CHECK(KillProcessByName(absent));
    }
    CHECK_EQ(sleepers.Ended(), 1);

    CHECK(KillProcessByName(name));
    CHECK_EQ(sleepers.Ended(), 2);
    CHECK(!IsProcessRunning(name));
    CHECK(KillProcessByName(name));
}
