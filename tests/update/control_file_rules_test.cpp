// The control file's decisions: the comparison rule, the update check on [update] and the
// selection of file entries, with the statuses they report. The installed files are described
// by a table (a double of the file system, for these pure rules only).
#include <map>
#include <string>
#include <vector>

#include "check.h"
#include "comparison_rule.h"
#include "file_entries.h"
#include "update_check.h"

using namespace update;

namespace {

struct InstalledFile {
    int64_t size = -1;
    uint32_t byte_sum = 0xFFFFFFFFu;
    std::string version;  // "" for none
    std::optional<UpdateTime> modified;
};

class InstalledFiles : public LocalFileFacts {
public:
    std::map<std::string, InstalledFile> files;
    int64_t Size(const std::string& path) const override { return Find(path).size; }
    uint32_t ByteSum(const std::string& path) const override { return Find(path).byte_sum; }
    FileVersion Version(const std::string& path) const override { return ParseVersionText(Find(path).version); }
    std::optional<UpdateTime> ModifiedTime(const std::string& path) const override { return Find(path).modified; }
    std::string ShortDate(UpdateTime time) const override {
        int year = 0, month = 0, day = 0;
        DecodeUpdateDate(time, year, month, day);
        return std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day);
    }

private:
    InstalledFile Find(const std::string& path) const {
        const auto found = files.find(path);
        return found == files.end() ? InstalledFile() : found->second;
    }
};

// Statuses as "number/status code" or "number/status code argument".
struct StatusLog {
    std::vector<std::string> lines;
    StatusSink Sink() {
        return [this](int number, const std::string& argument, int code, int error) {
            CHECK_EQ(error, 0);
            lines.push_back(std::to_string(number) + "/" + std::to_string(code) + (argument.empty() ? "" : " " + argument));
        };
    }
};

std::string Folder(const std::string& name) { return name == "APP" ? "C:\\Tools" : ""; }

UpdateTime Day(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    UpdateTime time = 0;
    EncodeUpdateTime(year, month, day, hour, minute, second, time);
    return time;
}

}  // namespace

TEST(the_comparison_rule_goes_by_checksum_then_size_then_version) {
    InstalledFiles installed;
    installed.files["C:\\a.exe"] = {100, 5000, "2.1.0.7", std::nullopt};
    installed.files["C:\\empty.dat"] = {0, 0xFFFFFFFFu, "", std::nullopt};
    installed.files["C:\\high.dat"] = {100, 0x80000000u, "", std::nullopt};
    const struct {
        const char* name;
        const char* version;
        const char* path;
        int32_t checksum;
        int32_t size;
        bool newer;
        std::vector<std::string> statuses;
    } cases[] = {
        {"nothing to compare", "", "C:\\a.exe", -1, 0, true, {}},
        {"no local path", "1.0", "", -1, 0, true, {}},
        {"same checksum", "", "C:\\a.exe", 5000, 0, false, {"944/3 Checksum compare of C:\\a.exe:5000:5000"}},
        {"other checksum", "9.9", "C:\\a.exe", 5001, 0, true, {"944/3 Checksum compare of C:\\a.exe:5000:5001"}},
        {"checksum, file missing", "", "C:\\missing", 5000, 0, true,
         {"944/3 Checksum compare of C:\\missing:-1:5000"}},
        {"checksum as signed number", "", "C:\\high.dat", INT32_MIN, 0, false,
         {"944/3 Checksum compare of C:\\high.dat:-2147483648:-2147483648"}},
        {"same size", "", "C:\\a.exe", -1, 100, false, {}},
        {"other size", "", "C:\\a.exe", -1, 101, true, {}},
        {"size, file missing", "", "C:\\missing", -1, 101, false, {}},
        {"size, file empty", "", "C:\\empty.dat", -1, 101, false, {}},
        {"negative size, no version", "", "C:\\a.exe", -1, -5, false, {"944/3 Version compare of C:\\a.exe:2.1.0.7 with :"}},
        {"higher version", "2,1,0,8", "C:\\a.exe", -1, 0, true,
         {"944/3 Version compare of C:\\a.exe:2.1.0.7 with 2,1,0,8:2.1.0.8"}},
        {"lower version", "2.1", "C:\\a.exe", -1, 0, false,
         {"944/3 Version compare of C:\\a.exe:2.1.0.7 with 2.1:2.1.0.0"}},
        {"no local version", "9.0", "C:\\empty.dat", -1, 0, false,
         {"944/3 Version compare of C:\\empty.dat: with 9.0:9.0.0.0"}},
        {"invalid new version", "x", "C:\\a.exe", -1, 0, false, {"944/3 Version compare of C:\\a.exe:2.1.0.7 with x:"}},
    };
    for (const auto& row : cases) {
        CONTEXT(row.name);
        StatusLog log;
        CHECK_EQ(IsNewerThanInstalled(row.version, row.path, row.checksum, row.size, installed, log.Sink()), row.newer);
        CHECK_EQ(log.lines, row.statuses);
    }
    // After a version comparison the new version is shown in its four-number form.
    StatusLog log;
    CHECK_EQ(CompareWithInstalled("2,1,0,8", "C:\\a.exe", -1, 0, installed, log.Sink()).new_version, "2.1.0.8");
    CHECK_EQ(CompareWithInstalled("2,1,0,8", "C:\\a.exe", 1, 0, installed, log.Sink()).new_version, "2,1,0,8");
}

TEST(the_update_section_announces_an_update_by_date_unconditionally_or_by_comparison) {
    InstalledFiles installed;
    installed.files["C:\\Tools\\main.exe"] = {100, 1, "1.0.0.0", Day(2010, 1, 31, 23, 59, 58)};
    const std::string local = "localversion={APP}\\main.exe\n";
    const struct {
        const char* name;
        std::string update;
        bool available;
        std::vector<std::string> statuses;
    } cases[] = {
        {"no criterion", local + "[files]\ncount=1\n[file1]\nurl=http://h/QV/x.dat", false, {}},
        {"nothing at all", "", false, {}},
        {"unreadable date", "date=12/31/2009\n" + local, false, {"928/3", "930/4"}},
        {"date after the file", "date=01/02/2010\n" + local, true, {"928/3", "929/5 2010-2-1"}},
        {"date and time a second after the file", "date=31/01/2010\ntime=23:59:59\n" + local, true,
         {"928/3", "929/5 2010-1-31"}},
        {"date and time of the file", "date=31/01/2010\ntime=23:59:58\n" + local, false, {"928/3", "930/4"}},
        {"date before the file", "date=01/01/2010\n" + local, false, {"928/3", "930/4"}},
        {"date, file missing", "date=01/02/2010\nlocalversion={APP}\\gone.exe", true, {"928/3", "929/5 2010-2-1"}},
        {"date, no localversion", "date=02/01/1980", true, {"928/3", "929/5 1980-1-2"}},
        {"date, no localversion, 1 January 1980", "date=01/01/1980", false, {"928/3", "930/4"}},
        {"old date, unconditional", "date=01/01/2010\nunconditional=1\n" + local, true, {"928/3", "930/4"}},
        {"old date, newer version", "date=01/01/2010\nnewversion=9.0\n" + local, false, {"928/3", "930/4"}},
        {"unconditional", "unconditional=yes\nnewversion=1.0.0.0\n" + local, true, {}},
        {"newer version", "newversion=1,0,1,0\n" + local, true,
         {"933/3", "944/3 Version compare of C:\\Tools\\main.exe:1.0.0.0 with 1,0,1,0:1.0.1.0", "929/5 1.0.1.0"}},
        {"same version", "newversion=1.0.0.0\n" + local, false,
         {"933/3", "944/3 Version compare of C:\\Tools\\main.exe:1.0.0.0 with 1.0.0.0:1.0.0.0", "930/4"}},
        {"version, no localversion", "newversion=2.0", false, {}},
        {"checksum", "newchecksum=2\nnewversion=1,1\n" + local, true,
         {"931/3", "944/3 Checksum compare of C:\\Tools\\main.exe:1:2", "929/5 1,1"}},
        {"checksum -1 in hexadecimal", "newchecksum=$FFFFFFFF\n" + local, false, {}},
        {"same size", "newsize=100\n" + local, false, {"932/3", "930/4"}},
        {"other size", "newsize=0x65\n" + local, true, {"932/3", "929/5"}},
        {"negative size and a version", "newsize=-1\nnewversion=2.0\n" + local, true,
         {"933/3", "944/3 Version compare of C:\\Tools\\main.exe:1.0.0.0 with 2.0:2.0.0.0", "929/5 2.0.0.0"}},
    };
    for (const auto& row : cases) {
        CONTEXT(row.name);
        StatusLog log;
        CHECK_EQ(UpdateAvailable(IniText::Parse("[update]\n" + row.update), Folder, installed, log.Sink()), row.available);
        CHECK_EQ(log.lines, row.statuses);
    }
}

TEST(file_entries_are_read_with_defaults) {
    const IniText control = IniText::Parse(
        "[files]\ncount=3\n"
        "[file1]\nurl={APP}/QV/main.exe\nnewversion=1.0.1.0\nnewsize=$10\nnewchecksum=77\ncustomversion=c\n"
        "date=01/02/2010\ntime=10:00\nlocalversion={APP}\\main.exe\ndescr=program\ntargetdir={APP}\n"
        "compressed=1\nfilesize=1234\nmandatory=1\npreselect=0\nhidden=1\nsha256=ABCDEF0123\n"
        "[file2]\ntargetdir=C:\\Data\\\npreselect=yes\n");
    const TFileList entries = ReadFileList(control, Folder);
    CHECK_EQ(entries.size(), size_t(3));  // the third has no section: all defaults
    if (entries.size() != 3) return;
    const TFileDescription& full = entries[0];
    CHECK_EQ(full.URL, "C:\\Tools/QV/main.exe");
    CHECK_EQ(full.NewVersion, "1.0.1.0");
    CHECK(full.NewSize == 16 && full.NewCheckSum == 77 && full.FileSize == 1234);
    CHECK_EQ(full.NewCustomVer, "c");
    CHECK(full.NewDate == "01/02/2010" && full.NewTime == "10:00");
    CHECK_EQ(full.LocalVersion, "C:\\Tools\\main.exe");
    CHECK_EQ(full.Description, "program");
    CHECK_EQ(full.TargetDir, "C:\\Tools\\");
    CHECK(full.Compressed && full.Mandatory && !full.Preselect && full.Hidden && !full.Selected);
    CHECK_EQ(full.Sha256, "abcdef0123");
    CHECK_EQ(entries[1].TargetDir, "C:\\Data\\\\");  // a backslash is appended whatever the value ends in
    CHECK(entries[1].Preselect);                     // "yes" is no number: the default, 1
    const TFileDescription& empty = entries[2];
    CHECK(empty.URL.empty() && empty.LocalVersion.empty() && empty.TargetDir.empty() && empty.Sha256.empty());
    CHECK(empty.NewSize == 0 && empty.NewCheckSum == -1 && empty.FileSize == 0);
    CHECK(!empty.Compressed && !empty.Mandatory && empty.Preselect && !empty.Hidden && !empty.Selected);

    const struct {
        const char* files;
        size_t count;
    } counts[] = {
        {"count=-3", 0}, {"count=0", 0}, {"count=abc", 0}, {"", 0}, {"count=2000000000", size_t(kMostFileEntries)},
    };
    for (const auto& row : counts) {
        CONTEXT(row.files);
        CHECK_EQ(ReadFileList(IniText::Parse(std::string("[files]\n") + row.files), Folder).size(), row.count);
    }
}

TEST(file_entries_are_kept_when_newer_than_the_installed_files) {
    InstalledFiles installed;
    installed.files["C:\\Tools\\main.exe"] = {100, 7, "1.0.0.0", Day(2010, 1, 31)};
    const IniText control = IniText::Parse(
        "[files]\ncount=8\n"
        "[file1]\nurl=http://h/1\nnewversion=1.0.1.0\nlocalversion={APP}\\main.exe\n"
        "[file2]\nurl=http://h/2\nnewversion=1.0.0.0\nlocalversion={APP}\\main.exe\n"
        "[file3]\nurl=http://h/3\nnewsize=10\nlocalversion={APP}\\new.dat\n"
        "[file4]\nurl=http://h/4\nnewchecksum=10\nlocalversion={APP}\\new.dat\n"
        "[file5]\nurl=http://h/5\ndate=01/02/2010\nlocalversion={APP}\\main.exe\nnewversion=0.1\n"
        "[file6]\nurl=http://h/6\ndate=01/01/2010\nlocalversion={APP}\\main.exe\nnewversion=9.0\n"
        "[file7]\nurl=http://h/7\ndate=01/01/2010\nlocalversion={APP}\\gone.exe\n"
        "[file8]\nurl=http://h/8\nnewversion=9.0\n");
    StatusLog log;
    const TFileList kept = SelectFileEntries(ReadFileList(control, Folder), installed, log.Sink());
    std::vector<std::string> kept_urls;
    for (const TFileDescription& entry : kept) kept_urls.push_back(entry.URL);
    // Newer version kept, same dropped; size against a missing file dropped, checksum kept; the
    // date decides alone, and a missing file is older than any date; no local path: kept.
    CHECK_EQ(kept_urls, (std::vector<std::string>{"http://h/1", "http://h/4", "http://h/5", "http://h/7", "http://h/8"}));
    CHECK_EQ(log.lines, (std::vector<std::string>{
                            "971/0 http://h/1[C:\\Tools\\main.exe,nv=1.0.1.0,nd=,ns=0,nc=-1]",
                            "944/3 Version compare of C:\\Tools\\main.exe:1.0.0.0 with 1.0.1.0:1.0.1.0",
                            "971/0 http://h/2[C:\\Tools\\main.exe,nv=1.0.0.0,nd=,ns=0,nc=-1]",
                            "944/3 Version compare of C:\\Tools\\main.exe:1.0.0.0 with 1.0.0.0:1.0.0.0",
                            "930/0",
                            "971/0 http://h/3[C:\\Tools\\new.dat,nv=,nd=,ns=10,nc=-1]",
                            "930/0",
                            "971/0 http://h/4[C:\\Tools\\new.dat,nv=,nd=,ns=0,nc=10]",
                            "944/3 Checksum compare of C:\\Tools\\new.dat:-1:10",
                            "971/0 http://h/5[C:\\Tools\\main.exe,nv=0.1,nd=01/02/2010,ns=0,nc=-1]",
                            "971/0 http://h/6[C:\\Tools\\main.exe,nv=9.0,nd=01/01/2010,ns=0,nc=-1]",
                            "971/0 http://h/7[C:\\Tools\\gone.exe,nv=,nd=01/01/2010,ns=0,nc=-1]",
                            "971/0 http://h/8[,nv=9.0,nd=,ns=0,nc=-1]",
                        }));
}

TEST(a_file_list_longer_than_its_sections_keeps_the_entries_without_criteria) {
    // count 3 with only [file1]: the second and third have nothing to compare by and stay, to
    // fail at their download.
    InstalledFiles installed;
    installed.files["C:\\Tools\\main.exe"] = {100, 7, "1.0.0.0", Day(2010, 1, 31)};
    const IniText control =
        IniText::Parse("[files]\ncount=3\n[file1]\nurl=http://h/1\nnewversion=1.0.0.0\nlocalversion={APP}\\main.exe\n");
    StatusLog log;
    const TFileList kept = SelectFileEntries(ReadFileList(control, Folder), installed, log.Sink());
    CHECK_EQ(kept.size(), size_t(2));
    for (const TFileDescription& entry : kept) CHECK(entry.URL.empty());
}
