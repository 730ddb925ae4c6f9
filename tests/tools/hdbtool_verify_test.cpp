// hdbtool verify, through the real executable: a sound package passes, and each kind of damage
// the program would trip over is reported with its file and line and a non-zero exit.
#include <string>
#include <vector>

#include "check.h"
#include "file_system.h"
#include "fixtures.h"
#include "package_writer.h"
#include "record_codec.h"
#include "tool_runner.h"

namespace {

// A database file as stored: its name and its decoded text (one record line per line).
struct StoredFile {
    std::string name;
    std::string text;
};

StoredFile Enciphered(const std::string& name, const std::vector<std::string>& records) {
    return {name, EncipheredText(records, name)};
}

std::string Pack(const std::vector<StoredFile>& files) {
    std::string package;
    for (const StoredFile& file : files) AppendStoredFile(package, file.name, CompressHdb(file.text));
    return package;
}

// Two programs of type SW; SW-ALPHA has two folder records and a registry record.
std::vector<StoredFile> SoundFiles(std::vector<std::string> folder_records = {"SW-ALPHA|AlphaDir", "SW-ALPHA|AlphaData",
                                                                              "SW-BETA|BetaDir"}) {
    return {
        Enciphered("SID_SW_MAPPED.hdb", {"SW-ALPHA|SID_SW_FL.hdb|SID_SW_RN.hdb", "SW-BETA|SID_SW_FL.hdb"}),
        Enciphered("SID_SW_LI.hdb",
                   {"SW-ALPHA|Alpha|Photo Tools|1.0|5.1|6.1|32", "SW-BETA|Beta|Video Players|2.0|6.1|-|32"}),
        Enciphered("SID_SW_FL.hdb", folder_records),
        Enciphered("SID_SW_RN.hdb", {"SW-ALPHA|HKLM|SOFTWARE\\Alpha"}),
    };
}

// The sound files with one file's decoded text replaced.
std::string WithText(const std::string& name, const std::string& text) {
    std::vector<StoredFile> files = SoundFiles();
    for (StoredFile& file : files)
        if (file.name == name) file.text = text;
    return Pack(files);
}

std::string Without(const std::string& name) {
    std::vector<StoredFile> files;
    for (const StoredFile& file : SoundFiles())
        if (file.name != name) files.push_back(file);
    return Pack(files);
}

// A folder file whose second line is the given text.
std::string FolderLineTwo(const std::string& line) {
    return EncryptRecord("SW-ALPHA|AlphaDir", "SID_SW_FL.hdb") + "\r\n" + line + "\r\n";
}

// The sound package with one more entry storing contents.
std::string WithEntry(const std::string& name, const std::string& contents) {
    std::string package = Pack(SoundFiles());
    AppendStoredFile(package, name, contents);
    return package;
}

// The sound package with one more entry whose unpacked size is announced as given.
std::string WithEntryAnnouncing(const std::string& name, const std::string& contents, std::int32_t unpacked_size) {
    std::string package = Pack(SoundFiles());
    PackageEntry entry;
    entry.name = name;
    entry.unpacked_size = unpacked_size;
    entry.data = ZlibCompress(contents);
    AppendPackageEntry(package, entry);
    return package;
}

}  // namespace

TEST(SoundPackageVerifies) {
    ScopedTempFolder scratch;
    const std::string package = scratch / "sound.hdb3";
    WriteFile(package, Pack(SoundFiles()));
    const ToolRun run = RunHdbtool({"verify", package}, scratch.Path());
    CHECK_EQ(run.exit_code, 0);
    CHECK_EQ(run.err, std::string());
    CHECK_EQ(run.out, "OK: " + package + ": 4 files, 2 programs, 8 records\n");
}

TEST(DamagedPackagesAreRejectedWithFileAndLine) {
    const std::string sound = Pack(SoundFiles());
    std::string bad_checksum = sound;
    bad_checksum.back() = static_cast<char>(bad_checksum.back() ^ 0x55);  // the last entry's Adler-32

    const struct {
        const char* what;
        std::string package;
        std::vector<std::string> messages;
    } cases[] = {
        {"bad hex line",
         WithText("SID_SW_FL.hdb", FolderLineTwo("ZZ000000" + std::string(32, '0'))),
         {"SID_SW_FL.hdb:2: '0xZZ' is not a valid integer value", "lookups not checked"}},
        {"short line", WithText("SID_SW_FL.hdb", FolderLineTwo("0A0B0C")), {"SID_SW_FL.hdb:2: Stream read error"}},
        {"ciphertext of a bad length",
         WithText("SID_SW_FL.hdb", FolderLineTwo(std::string(8 + 34, '0'))),
         {"SID_SW_FL.hdb:2: Invalid buffer size for decryption"}},
        {"empty line", WithText("SID_SW_FL.hdb", FolderLineTwo("")), {"SID_SW_FL.hdb:2: Stream read error"}},
        {"MAPPED naming a missing file",
         WithText("SID_SW_MAPPED.hdb",
                  EncipheredText({"SW-ALPHA|SID_SW_FL.hdb|SID_SW_RN.hdb", "SW-BETA|SID_SW_FL.hdb|SID_SW_PR.hdb"},
                                 "SID_SW_MAPPED.hdb")),
         {"SID_SW_MAPPED.hdb:2: names \"SID_SW_PR.hdb\", which is not in the package"}},
        {"records not consecutive",
         Pack(SoundFiles({"SW-ALPHA|AlphaDir", "SW-BETA|BetaDir", "SW-ALPHA|AlphaData"})),
         {"SID_SW_FL.hdb:3: records of program \"SW-ALPHA\" are not consecutive",
          "SID_SW_FL.hdb: program \"SW-ALPHA\", lookup of FL finds 1 of its 2 records"}},
        {"record shorter than its layout",
         WithText("SID_SW_RN.hdb", EncipheredText({"SW-ALPHA|HKLM"}, "SID_SW_RN.hdb")),
         {"SID_SW_RN.hdb:1: RN record has 2 field(s), its layout needs 3"}},
        {"record never read",
         WithText("SID_SW_MAPPED.hdb", EncipheredText({"SW-ALPHA|SID_SW_FL.hdb|SID_SW_RN.hdb", "SW-BETA|SID_SW_RN.hdb"},
                                                      "SID_SW_MAPPED.hdb")),
         {"SID_SW_FL.hdb:3: record of program \"SW-BETA\" is never read"}},
        {"key caught by another program's lookups",
         Pack({Enciphered("SID_SW_MAPPED.hdb", {"SW-AL|SID_SW_FL.hdb", "SW-ALPHA|SID_SW_FL.hdb"}),
               Enciphered("SID_SW_LI.hdb",
                          {"SW-AL|Al|Photo Tools|1.0|5.1|-|32", "SW-ALPHA|Alpha|Photo Tools|1.0|5.1|-|32"}),
               Enciphered("SID_SW_FL.hdb", {"SW-ALPHA|AlphaDir", "SW-AL|AlDir"})}),
         {"SID_SW_MAPPED.hdb:2: record of program \"SW-ALPHA\" contains the key \"SW-AL\"",
          "program \"SW-AL\", lookup of FL takes the record \"SW-ALPHA|AlphaDir\" of another program"}},
        {"truncated package",
         sound.substr(0, sound.size() - 3),
         {"truncated: the package ends inside entry 4 (after \"SID_SW_FL.hdb\"): Stream read error"}},
        {"unsafe entry name",
         WithEntry("..\\SID_SW_X.hdb", CompressHdb("")),
         {"entry 5 \"..\\SID_SW_X.hdb\": Unsafe package entry name"}},
        {"damaged compressed data", bad_checksum, {"entry 4 \"SID_SW_RN.hdb\": damaged compressed data"}},
        {"damaged database file",
         WithEntry("SID_SW_IS.hdb", "\x05"),
         {"SID_SW_IS.hdb: damaged database file: Stream read error"}},
        {"missing catalogue", Without("SID_SW_LI.hdb"), {"type SW has files but no SID_SW_LI.hdb"}},
        {"missing MAPPED", Without("SID_SW_MAPPED.hdb"), {"type SW has files but no SID_SW_MAPPED.hdb"}},
        {"file of no type", WithEntry("notes.txt", CompressHdb("")), {"notes.txt: not a database file"}},
        {"empty package", "", {"holds no database files"}},
        {"entry announcing less than it holds",
         WithEntryAnnouncing("SID_SW_IS.hdb", std::string(300 * 1024, '\0'), 1),
         {"Damaged package entry \"SID_SW_IS.hdb\": it holds more than the 1 bytes it announces"}},
        {"database file announcing 2 GiB",
         WithEntry("SID_SW_IS.hdb", std::string("\0\0\0\x80", 4) + std::string(2100 * 1000, '\0')),
         {"SID_SW_IS.hdb: damaged database file: Damaged database file: it announces 2147483648 bytes"}},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        ScopedTempFolder scratch;
        const std::string package = scratch / "damaged.hdb3";
        WriteFile(package, c.package);
        const ToolRun run = RunHdbtool({"verify", package}, scratch.Path());
        CHECK_EQ(run.exit_code, 1);
        CHECK_EQ(run.out, std::string());
        for (const std::string& message : c.messages) CHECK_MENTIONS(run.err, message);
        CHECK_MENTIONS(run.err, package + ": ");
    }
}

// One record of each kind that would aim the clean-up at Windows, a profile or another program,
// next to sound records of the same kinds: each bad one is a warning with its file and line, a
// core file in System32 only a note that does not count.
TEST(RecordsNamingProtectedTargetsAreWarnedAbout) {
    const std::string package = Pack({
        Enciphered("SID_SW_MAPPED.hdb", {"SW-ALPHA|SID_SW_PR.hdb|SID_SW_CF.hdb|SID_SW_FL.hdb|SID_SW_RAXC.hdb|SID_SW_RN.hdb",
                                         "SW-BETA|SID_SW_FL.hdb"}),
        Enciphered("SID_SW_LI.hdb",
                   {"SW-ALPHA|Alpha|Photo Tools|1.0|5.1|6.1|32", "SW-BETA|Beta|Video Players|2.0|6.1|-|32"}),
        Enciphered("SID_SW_PR.hdb", {"SW-ALPHA|svchost.exe", "SW-ALPHA|alpha.exe"}),
        Enciphered("SID_SW_CF.hdb", {"SW-ALPHA|C:\\\\", "SW-ALPHA|C:\\Program Files", "SW-ALPHA|C:\\boot.ini",
                                     "SW-ALPHA|C:\\WINDOWS\\system32\\alpha.dll",
                                     "SW-ALPHA|C:\\Program Files\\Alpha\\alpha.dll"}),
        Enciphered("SID_SW_FL.hdb", {"SW-ALPHA|Temp", "SW-ALPHA|AlphaDir", "SW-BETA|BetaDir"}),
        Enciphered("SID_SW_RAXC.hdb", {"SW-ALPHA|shell32.dll"}),
        Enciphered("SID_SW_RN.hdb", {"SW-ALPHA|HKLM|SOFTWARE\\Microsoft\\Windows",
                                     "SW-ALPHA|HKLM|SOFTWARE\\Microsoft\\Windows|Alpha",
                                     "SW-ALPHA|HKCR|CLSID\\{0A1B2C3D-0000-0000-0000-000000000000}"}),
        // Another type's program names the same process in other letters.
        Enciphered("SID_MW_MAPPED.hdb", {"MW-GAMMA|SID_MW_PR.hdb"}),
        Enciphered("SID_MW_LI.hdb", {"MW-GAMMA|Gamma|Browsers Toolbar|1.0|5.1|-|32"}),
        Enciphered("SID_MW_PR.hdb", {"MW-GAMMA|ALPHA.EXE"}),
    });
    ScopedTempFolder scratch;
    const std::string path = scratch / "dangerous.hdb3";
    WriteFile(path, package);
    const ToolRun run = RunHdbtool({"verify", path}, scratch.Path());
    CHECK_EQ(run.exit_code, 1);
    CHECK_EQ(run.out, std::string());
    for (const char* line : {
             "warning: SID_SW_PR.hdb:1: process \"svchost.exe\" of program \"SW-ALPHA\" is a process of Windows",
             "warning: SID_MW_PR.hdb:1: process \"ALPHA.EXE\" of program \"MW-GAMMA\" is also a process of program "
             "\"SW-ALPHA\" (SID_SW_PR.hdb:2)",
             "warning: SID_SW_CF.hdb:1: core file \"C:\\\\\" of program \"SW-ALPHA\" is a drive root\n",
             "warning: SID_SW_CF.hdb:2: core file \"C:\\Program Files\" of program \"SW-ALPHA\" is a Windows or "
             "profile folder\n",
             "warning: SID_SW_CF.hdb:3: core file \"C:\\boot.ini\" of program \"SW-ALPHA\" is a file of Windows\n",
             "note: SID_SW_CF.hdb:4: core file \"C:\\WINDOWS\\system32\\alpha.dll\" of program \"SW-ALPHA\" lies in a "
             "folder of Windows",
             "warning: SID_SW_FL.hdb:1: folder name \"Temp\" of program \"SW-ALPHA\" is also the name of a Windows or "
             "profile folder",
             "warning: SID_SW_RAXC.hdb:1: COM module \"shell32.dll\" of program \"SW-ALPHA\" is a module of Windows\n",
             "warning: SID_SW_RN.hdb:1: registry key \"HKLM\\SOFTWARE\\Microsoft\\Windows\" of program \"SW-ALPHA\" "
             "is protected",
         })
        CHECK_MENTIONS(run.err, line);
    // The eight warnings and nothing else; the note does not count.
    CHECK_MENTIONS(run.err, path + ": 8 fault(s)\n");
}

TEST(DumpShowsWhereALineIsDamaged) {
    ScopedTempFolder scratch;
    const std::string package = scratch / "damaged.hdb3";
    WriteFile(package, WithText("SID_SW_FL.hdb", FolderLineTwo("0A0B0C")));
    const ToolRun dump = RunHdbtool({"dump", package, "SID_SW_FL.hdb"}, scratch.Path());
    CHECK_EQ(dump.exit_code, 1);
    CHECK_EQ(dump.out, std::string("[SID_SW_FL.hdb]\nSW-ALPHA|AlphaDir\n! line 2: Stream read error\n\n"));
}

TEST(ShippedPackageVerifiesAndUsesEveryCategory) {
    ScopedTempFolder scratch;
    const ToolRun verify = RunHdbtool({"verify", SHIPPED_PACKAGE}, scratch.Path());
    CHECK_EQ(verify.exit_code, 0);
    CHECK_MENTIONS(verify.out, "OK: ");

    const ToolRun dump = RunHdbtool({"dump", SHIPPED_PACKAGE}, scratch.Path());
    CHECK_EQ(dump.exit_code, 0);
    for (const char* type : {"MW", "SW", "NM"})
        for (const char* category : {"MAPPED", "LI", "IDN", "FL", "PR", "CF", "IS", "RAXC", "RN"})
            CHECK_MENTIONS(dump.out, std::string("[SID_") + type + "_" + category + ".hdb]");
}
