// What the update's rules learn about installed files and folders, asked of Windows itself:
// version resources of a real program, sizes, byte sums and times of real files, the user's
// short date, and the folders behind the control file's tokens.
#include <windows.h>

#include <fstream>
#include <string>

#include "check.h"
#include "comparison_rule.h"
#include "folder_lookup_win.h"
#include "local_file_facts_win.h"
#include "scratch_folder.h"
#include "system_folders.h"
#include "win32/handles.h"

using namespace update;

namespace {

std::string ThisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// update_version_probe.exe lies beside the test program; its file version is 2.1.0.7.
std::string VersionProbe() {
    const std::string self = ThisProgram();
    return self.substr(0, self.find_last_of('\\') + 1) + "update_version_probe.exe";
}

std::string TempFolder() {
    char path[MAX_PATH + 1] = {};
    GetTempPathA(sizeof path, path);
    return path;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file << bytes;
    CHECK(file.good());
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Sets the file's last write time to a local date and time.
void SetModified(const std::string& path, WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    const SYSTEMTIME parts = {year, month, 0, day, hour, minute, second, 0};
    FILETIME local = {}, utc = {};
    CHECK(SystemTimeToFileTime(&parts, &local) && LocalFileTimeToFileTime(&local, &utc));
    KernelHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    CHECK(file.IsOpen() && SetFileTime(file.Get(), nullptr, nullptr, &utc));
}

UpdateTime Time(int year, int month, int day, int hour, int minute, int second) {
    UpdateTime time = 0;
    CHECK(EncodeUpdateTime(year, month, day, hour, minute, second, time));
    return time;
}

void IgnoreStatus(int, const std::string&, int, int) {}

}  // namespace

TEST(the_version_is_the_file_version_of_the_version_resource) {
    ScratchFolder folder(TempFolder(), "kestrune-update-versions");
    WriteBytes(folder / "notes.txt", "MZ but no program");
    const WindowsFileFacts files;
    const struct {
        std::string name;
        std::string path;
        const char* version;  // nullptr: invalid
    } cases[] = {
        {"program with a version resource", VersionProbe(), "2.1.0.7"},
        {"program without one", ThisProgram(), nullptr},
        {"text file", folder / "notes.txt", nullptr},
        {"folder", folder.Path(), nullptr},
        {"missing file", folder / "missing.exe", nullptr},
    };
    for (const auto& row : cases) {
        CONTEXT(row.name);
        const FileVersion version = files.Version(row.path);
        CHECK_EQ(version.valid, row.version != nullptr);
        if (row.version && version.valid) CHECK_EQ(VersionText(version), row.version);
    }
    // An installed 2.1.0.7 is updated by 2,1,0,8 and not by 2.1.
    CHECK(IsNewerThanInstalled("2,1,0,8", VersionProbe(), -1, 0, files, IgnoreStatus));
    CHECK(!IsNewerThanInstalled("2.1", VersionProbe(), -1, 0, files, IgnoreStatus));
}

TEST(sizes_and_byte_sums_come_from_the_files_as_they_are) {
    ScratchFolder folder(TempFolder(), "kestrune-update-sums");
    // Longer than two blocks of 4,096 bytes, under a name with a double-byte character.
    const std::string long_file = folder / "\xB1\xED\x95\x5C.dat";
    WriteBytes(long_file, std::string(10000, '\xFF') + "\x01\x02");
    WriteBytes(folder / "empty.dat", "");
    WriteBytes(folder / "locked.dat", "abc");
    KernelHandle lock(CreateFileA((folder / "locked.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    CHECK(lock.IsOpen());
    const WindowsFileFacts files;
    const struct {
        std::string name;
        std::string path;
        int64_t size;
        uint32_t sum;
    } cases[] = {
        {"long file", long_file, 10002, 0xFFFFFFFFu + 10000u * 255u + 3u},
        {"empty file", folder / "empty.dat", 0, 0xFFFFFFFFu},
        {"file opened by another without sharing", folder / "locked.dat", 3, 0xFFFFFFFFu},
        {"folder", folder.Path(), -1, 0xFFFFFFFFu},
        {"missing file", folder / "missing.dat", -1, 0xFFFFFFFFu},
    };
    for (const auto& row : cases) {
        CONTEXT(row.name);
        CHECK_EQ(files.Size(row.path), row.size);
        CHECK_EQ(files.ByteSum(row.path), row.sum);
    }
}

TEST(modification_times_are_local_and_kept_to_two_seconds) {
    ScratchFolder folder(TempFolder(), "kestrune-update-times");
    WriteBytes(folder / "odd.dat", "x");
    WriteBytes(folder / "even.dat", "x");
    SetModified(folder / "odd.dat", 2010, 1, 31, 23, 59, 59);
    SetModified(folder / "even.dat", 2010, 7, 15, 12, 30, 20);
    const WindowsFileFacts files;
    const struct {
        std::string name;
        std::string path;
        std::optional<UpdateTime> time;
    } cases[] = {
        {"odd second", folder / "odd.dat", Time(2010, 1, 31, 23, 59, 58)},
        {"even second, summer", folder / "even.dat", Time(2010, 7, 15, 12, 30, 20)},
        {"folder", folder.Path(), std::nullopt},
        {"missing file", folder / "missing.dat", std::nullopt},
    };
    for (const auto& row : cases) {
        CONTEXT(row.name);
        const std::optional<UpdateTime> time = files.ModifiedTime(row.path);
        CHECK_EQ(time.has_value(), row.time.has_value());
        if (time && row.time) CHECK(!IsEarlier(*time, *row.time) && !IsEarlier(*row.time, *time));
    }
}

TEST(short_dates_are_in_the_user_form) {
    const WindowsFileFacts files;
    // The test prefix runs in the Chinese locale: year/month/day without leading zeros.
    CHECK_EQ(files.ShortDate(Time(2010, 2, 1, 13, 45, 0)), "2010/2/1");
    CHECK_EQ(files.ShortDate(Time(1999, 12, 31, 0, 0, 0)), "1999/12/31");
    CHECK_EQ(files.ShortDate(Time(1500, 1, 1, 0, 0, 0)), "");  // before the system's calendar
}

TEST(folder_tokens_name_this_machines_folders) {
    const FolderLookup lookup = WindowsFolderLookup("C:\\Program Files\\Kestrune");
    CHECK_EQ(lookup("APP"), "C:\\Program Files\\Kestrune");
    CHECK_EQ(lookup("WIN"), WindowsFolder());
    CHECK_EQ(lookup("SYS"), SystemFolder());
    CHECK_EQ(lookup("TMP"), TempFolder());
    CHECK_EQ(lookup("XYZ"), "");
    CHECK_EQ(lookup("app"), "");  // names come upper-cased
    for (const char* name : {"WIN", "SYS", "TMP", "DOC", "PF", "LAD"}) {
        CONTEXT(name);
        CHECK(IsFolder(lookup(name)));
    }
    std::string temp = TempFolder();
    temp.pop_back();
    const struct {
        const char* value;
        std::string expanded;
    } cases[] = {
        {"{app}\\REZ.hdb3", "C:\\Program Files\\Kestrune\\REZ.hdb3"},
        {"{TMP}\\qv_update.INF", temp + "\\qv_update.INF"},
        {"{WIN}\\win.ini", WindowsFolder() + "\\win.ini"},
        {"{XYZ}\\x.dat", ".\\x.dat"},
    };
    for (const auto& row : cases) {
        CONTEXT(row.value);
        CHECK_EQ(ExpandFolderTokens(row.value, lookup), row.expanded);
    }
}
