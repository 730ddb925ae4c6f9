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

std::string WithEntry(const std::string& name, const std::string& data) {
    std::string package = Pack(SoundFiles());
    PackageEntry entry;
    entry.name = name;
    entry.unpacked_size = static_cast<std::int32_t>(data.size());
    entry.data = data;
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
         WithEntry("..\\SID_SW_X.hdb", ZlibCompress(CompressHdb(""))),
         {"entry 5 \"..\\SID_SW_X.hdb\": Unsafe package entry name"}},
        {"damaged compressed data", bad_checksum, {"entry 4 \"SID_SW_RN.hdb\": damaged compressed data"}},
        {"damaged database file",
         WithEntry("SID_SW_IS.hdb", ZlibCompress("\x05")),
         {"SID_SW_IS.hdb: damaged database file: Stream read error"}},
        {"missing catalogue", Without("SID_SW_LI.hdb"), {"type SW has files but no SID_SW_LI.hdb"}},
        {"missing MAPPED", Without("SID_SW_MAPPED.hdb"), {"type SW has files but no SID_SW_MAPPED.hdb"}},
        {"file of no type", WithEntry("notes.txt", ZlibCompress(CompressHdb(""))), {"notes.txt: not a database file"}},
        {"empty package", "", {"holds no database files"}},
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
