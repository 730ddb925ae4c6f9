// hdbtool build and dump, through the real executable: the fixture tree lists as its golden
// file byte for byte, the same sources give the same package, and bad sources are refused with
// their file and line while the previous package stays as it was.
#include <string>
#include <vector>

#include "check.h"
#include "file_system.h"
#include "fixtures.h"
#include "tool_runner.h"

namespace {

const std::string kFixtureTree = JoinPath(FIXTURE_FOLDER, "signatures");
const std::string kGoldenListing = JoinPath(FIXTURE_FOLDER, "signatures.dump");

struct SourceFile {
    std::string path;  // below the tree's root, "/"-separated
    std::string text;  // UTF-8
};

std::string WriteTree(const ScopedTempFolder& scratch, const std::vector<SourceFile>& files) {
    const std::string root = scratch / "tree";
    CreateDirectories(root);
    for (const SourceFile& file : files) {
        const std::string path = JoinPath(root, file.path);
        CreateDirectories(path.substr(0, path.rfind('/')));
        WriteFile(path, file.text);
    }
    return root;
}

// A program that builds; cases add the one line that is wrong.
std::string Program(const std::string& key, const std::string& lines = "") {
    return u8"# 测试\nKEY: " + key + u8"\nLI: 测试程序|Photo Tools|1.0|5.1|6.1|32位\n" + lines;
}

}  // namespace

TEST(FixtureTreeBuildsToTheGoldenListing) {
    ScopedTempFolder scratch;
    const std::string first = scratch / "first.hdb3", second = scratch / "second.hdb3";
    const ToolRun build = RunHdbtool({"build", kFixtureTree, first}, scratch.Path());
    CHECK_EQ(build.exit_code, 0);
    CHECK_EQ(build.err, std::string());

    const ToolRun dump = RunHdbtool({"dump", first}, scratch.Path());
    CHECK_EQ(dump.exit_code, 0);
    CHECK_EQ(dump.out, ReadFile(kGoldenListing));

    CHECK_EQ(RunHdbtool({"build", kFixtureTree, second}, scratch.Path()).exit_code, 0);
    CHECK(ReadFile(first) == ReadFile(second));

    const ToolRun verify = RunHdbtool({"verify", first}, scratch.Path());
    CHECK_EQ(verify.exit_code, 0);
    CHECK_EQ(verify.err, std::string());
    CHECK_MENTIONS(verify.out, "OK: " + first + ": 22 files, 4 programs, 26 records");
}

TEST(DumpListsOnlyTheNamedFilesInTheOrderGiven) {
    ScopedTempFolder scratch;
    const std::string package = scratch / "fixture.hdb3";
    CHECK_EQ(RunHdbtool({"build", kFixtureTree, package}, scratch.Path()).exit_code, 0);

    const ToolRun dump = RunHdbtool({"dump", package, "SID_SW_LI.hdb", "SID_MW_RN.hdb"}, scratch.Path());
    CHECK_EQ(dump.exit_code, 0);
    CHECK_EQ(dump.out, std::string(u8"[SID_SW_LI.hdb]\n"
                                   u8"SW-GAMMA|伽马播放器|Video Players|3.0.2|5.1|-|32位/64位\n\n"
                                   u8"[SID_MW_RN.hdb]\n"
                                   u8"MW-ALPHA|HKCU|Software\\Alpha|\"誠 | 東\"\n\n"));

    const ToolRun missing = RunHdbtool({"dump", package, "SID_SW_LI.hdb", "SID_SW_XX.hdb"}, scratch.Path());
    CHECK_EQ(missing.exit_code, 1);
    CHECK_MENTIONS(missing.err, "no file \"SID_SW_XX.hdb\" in the package");
}

TEST(BadSourcesAreRefusedWithFileAndLine) {
    const struct {
        const char* what;
        std::vector<SourceFile> files;
        std::string message;
    } cases[] = {
        {"unknown category", {{"SW/a.sig", Program("SW-A", "XY: z\n")}}, "SW/a.sig:4: unknown category \"XY\""},
        {"line without a category",
         {{"SW/a.sig", Program("SW-A", "FL x\n")}},
         "SW/a.sig:4: expected \"CATEGORY: text\""},
        {"missing key",
         {{"SW/a.sig", u8"LI: 测试程序|Photo Tools|1.0|5.1|6.1|32位\nFL: x\n"}},
         "SW/a.sig: no KEY line"},
        {"key of other characters",
         {{"SW/a.sig", Program("SW A", "FL: x\n")}},
         "SW/a.sig:2: key \"SW A\" may hold only"},
        {"key holding a file name prefix", {{"SW/a.sig", Program("SID_A", "FL: x\n")}}, "must not contain SID_"},
        {"duplicate key",
         {{"SW/a.sig", Program("SW-A", "FL: x\n")}, {"SW/b.sig", Program("SW-A", "FL: y\n")}},
         "SW/b.sig:2: key \"SW-A\" is already used by "},
        {"key part of another key",
         {{"SW/a.sig", Program("SW-A", "FL: x\n")}, {"SW/b.sig", Program("SW-AB", "FL: y\n")}},
         "SW/a.sig:2: key \"SW-A\" is part of the key \"SW-AB\""},
        {"key inside another program's record",
         {{"SW/a.sig", Program("SW-A", "FL: x\n")}, {"SW/b.sig", Program("SW-B", "FL: SW-A-Cache\n")}},
         "SW/a.sig:2: key \"SW-A\" occurs in the SID_SW_FL.hdb record \"SW-B|SW-A-Cache\""},
        {"key inside a file name",
         {{"SW/a.sig", Program("FL", "FL: x\n")}, {"SW/b.sig", Program("SW-B", "FL: y\n")}},
         "key \"FL\" occurs in the SID_SW_MAPPED.hdb record"},
        {"record shorter than its layout",
         {{"SW/a.sig", Program("SW-A", "RN: HKLM\n")}},
         "SW/a.sig:4: RN record has 2 field(s), its layout needs 3"},
        {"empty field", {{"SW/a.sig", Program("SW-A", "RN: HKLM||SOFTWARE\\A\n")}}, "SW/a.sig:4: empty field"},
        {"unclosed quote", {{"SW/a.sig", Program("SW-A", "IDN: Tom's Toolbar\n")}}, "SW/a.sig:4: unclosed quote"},
        {"core file without a drive",
         {{"SW/a.sig", Program("SW-A", "CF: Program Files\\A\\a.dll\n")}},
         "SW/a.sig:4: CF field 1 \"Program Files\\A\\a.dll\" must be a full path"},
        {"core file with an unknown variable",
         {{"SW/a.sig", Program("SW-A", "CF: %MYDOCS%\\A\\a.dat\n")}},
         "SW/a.sig:4: CF field 1 \"%MYDOCS%\\A\\a.dat\": unknown variable %MYDOCS% (known: %APPDATA%"},
        {"core file with a variable inside",
         {{"SW/a.sig", Program("SW-A", "CF: C:\\Users\\%USERNAME%\\a.dat\n")}},
         "SW/a.sig:4: CF field 1 \"C:\\Users\\%USERNAME%\\a.dat\": a variable can only begin the path"},
        {"core file with a variable glued to a name",
         {{"SW/a.sig", Program("SW-A", "CF: %APPDATA%A\\a.dat\n")}},
         "SW/a.sig:4: CF field 1 \"%APPDATA%A\\a.dat\": the variable must be followed by a backslash"},
        {"registry root",
         {{"SW/a.sig", Program("SW-A", "RN: HKEY_LOCAL_MACHINE|SOFTWARE\\A\n")}},
         "must be a registry root"},
        {"character code page 936 lacks",
         {{"SW/a.sig", Program("SW-A", u8"FL: 文件夹😀\n")}},
         u8"SW/a.sig:4: \"😀\" has no form in code page 936"},
        {"text not UTF-8", {{"SW/a.sig", Program("SW-A", "FL: \xC3\x28\n")}}, "SW/a.sig:4: not valid UTF-8"},
        {"second catalogue line",
         {{"SW/a.sig", Program("SW-A", u8"FL: x\nLI: 又一个|Photo Tools|1.0|5.1|-|32位\n")}},
         "SW/a.sig:5: second LI line"},
        {"no catalogue line", {{"SW/a.sig", "KEY: SW-A\nFL: x\n"}}, "SW/a.sig: no LI line"},
        {"catalogue line alone", {{"SW/a.sig", Program("SW-A")}}, "SW/a.sig: no records besides the catalogue line"},
        {"unknown sub-type",
         {{"SW/a.sig", u8"KEY: SW-A\nLI: 测试|Games|1.0|5.1|6.1|32位\nFL: x\n"}},
         "SW/a.sig:2: LI field 2 \"Games\" is not a sub-type"},
        {"other sub-type in the name",
         {{"SW/a.sig", u8"KEY: SW-A\nLI: Video Players Pack|Photo Tools|1.0|5.1|6.1|32位\nFL: x\n"}},
         "SW/a.sig:2: the catalogue line contains the sub-type name \"Video Players\" outside field 2"},
        {"Windows fields out of order",
         {{"SW/a.sig", u8"KEY: SW-A\nLI: 测试|Photo Tools|1.0|6.1|5.1|32位\nFL: x\n"}},
         "SW/a.sig:2: LI fields 4 and 5"},
        {"version that a filter takes for Windows 7",
         {{"SW/a.sig", u8"KEY: SW-A\nLI: 测试|Photo Tools|6.1|5.1|-|32位\nFL: x\n"}},
         "SW/a.sig:2: the catalogue line contains |6.1| outside fields 4 and 5"},
        {"source outside a type folder",
         {{"a.sig", Program("SW-A", "FL: x\n")}},
         "a.sig: a source file must lie in a type folder"},
        {"unknown type folder", {{"XY/a.sig", Program("XY-A", "FL: x\n")}}, "XY: not a software type folder"},
        {"record naming a key of Windows",
         {{"SW/a.sig", Program("SW-A", "RN: HKCU|Software\\Microsoft\\Windows\\CurrentVersion\\Run\n")}},
         "warning: SID_SW_RN.hdb:1: registry key \"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\" of "
         "program \"SW-A\" is protected"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        ScopedTempFolder scratch;
        const std::string root = WriteTree(scratch, c.files);
        const std::string package = scratch / "REZ.hdb3";
        WriteFile(package, "the previous package");

        const ToolRun build = RunHdbtool({"build", root, package}, scratch.Path());
        CHECK_EQ(build.exit_code, 1);
        CHECK_MENTIONS(build.err, c.message);
        CHECK_MENTIONS(build.err, "not written");
        CHECK_EQ(ReadFile(package), std::string("the previous package"));
        CHECK(!FileExists(package + ".part"));
    }
}

// A rogue program's own file in System32 is a fair record: noted, and the package is made.
TEST(CoreFileInASystemFolderIsNotedAndBuilt) {
    ScopedTempFolder scratch;
    const std::string root =
        WriteTree(scratch, {{"MW/a.sig", Program("MW-A", "CF: C:\\WINDOWS\\system32\\mwhook.dll\n")}});
    const std::string package = scratch / "REZ.hdb3";
    const ToolRun build = RunHdbtool({"build", root, package}, scratch.Path());
    CHECK_EQ(build.exit_code, 0);
    CHECK_EQ(build.err, std::string("note: SID_MW_CF.hdb:1: core file \"C:\\WINDOWS\\system32\\mwhook.dll\" of "
                                    "program \"MW-A\" lies in a folder of Windows: make sure it is the program's own "
                                    "file\n"));
    CHECK(FileExists(package));
}

// A file in a per-user folder is named by a variable: built as it is, quietly. The known folder
// itself is warned about, and a warning keeps the package from being written.
TEST(CoreFilesBelowKnownFoldersAreBuiltButNeverTheFolderItself) {
    ScopedTempFolder scratch;
    const std::string good = WriteTree(
        scratch, {{"SW/a.sig", Program("SW-A", "CF: %AppData%\\A\\a.dat\nCF: %LOCALAPPDATA%\\Programs\\A\\a.exe\n")}});
    const ToolRun build = RunHdbtool({"build", good, scratch / "REZ.hdb3"}, scratch.Path());
    CHECK_EQ(build.exit_code, 0);
    CHECK_EQ(build.err, std::string());

    ScopedTempFolder other;
    const std::string folder_itself = WriteTree(other, {{"SW/a.sig", Program("SW-A", "CF: %PROGRAMDATA%\\\n")}});
    const ToolRun refused = RunHdbtool({"build", folder_itself, other / "REZ.hdb3"}, other.Path());
    CHECK_EQ(refused.exit_code, 1);
    CHECK(refused.err.find("warning: SID_SW_CF.hdb:1: core file \"%PROGRAMDATA%\\\" of program \"SW-A\" is a known "
                           "folder itself\n") == 0);
}

TEST(WrongUsageShowsTheUsage) {
    ScopedTempFolder scratch;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {"build", "only-one"}, {"verify"}, {"dump"}, {"pack", "a", "b"}}) {
        const ToolRun run = RunHdbtool(arguments, scratch.Path());
        CHECK_EQ(run.exit_code, 2);
        CHECK_MENTIONS(run.err, "usage: hdbtool build");
    }
}
