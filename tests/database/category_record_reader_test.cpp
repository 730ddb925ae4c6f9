#include "category_record_reader.h"

#include "category_files.h"
#include "check.h"
#include "errors.h"
#include "file_system.h"
#include "fixtures.h"
#include "package_writer.h"

namespace {

// MAPPED names two folder files and a registry file; K1's key is inside K12's and K123's.
struct SoftwareDatabase {
    ScopedTempFolder folder;

    SoftwareDatabase() {
        WriteDatabaseFile(folder.Path(), "SID_SW_MAPPED.hdb",
                          {"K1|SID_SW_FL.hdb|SID_SW_RN_2.hdb", "K2|SID_SW_FL.hdb", "K12|SID_SW_FL.hdb",
                           "K5|SID_SW_FL_2.hdb|SID_SW_PR.hdb"});
        WriteDatabaseFile(folder.Path(), "SID_SW_FL.hdb",
                          {"K0|Zero", "K1|One", "K12|Twelve", "K123|OneTwoThree", "K2|Two", "K1|Again"});
        WriteDatabaseFile(folder.Path(), "SID_SW_FL_2.hdb", {"K5|Five", "K5|Fünf"});
        WriteDatabaseFile(folder.Path(), "SID_SW_RN_2.hdb", {"K1|HKLM|SOFTWARE\\One"});
    }
    std::string Path(const std::string& name) const { return folder / name; }
};

// What the one-off lookups give for the key, the reference for the reader.
StringList OneOffRecords(const std::string& folder, const std::string& key, const char* name_template) {
    StringList records;
    LoadCategoryRecords(key, GetCategoryFile(folder, key, "SW", name_template), records);
    return records;
}

}  // namespace

TEST(TheReaderGivesWhatTheOneOffLookupsGive) {
    SoftwareDatabase db;
    const StringList keys = {"K1", "K12", "K2", "K5", "K9", "", "K123"};
    const char* categories[] = {category::kFolders, category::kRegistry, category::kProcesses, category::kDrivers};
    CategoryRecordReader reader(db.folder.Path(), "SW");
    for (const char* name_template : categories) {
        std::vector<StringList> expected;
        for (const std::string& key : keys) {
            CONTEXT(std::string(name_template) + " " + key);
            expected.push_back(OneOffRecords(db.folder.Path(), key, name_template));
            // Asked twice, from what the reader keeps the second time.
            CHECK_EQ(reader.RecordsOf(key, name_template), expected.back());
            CHECK_EQ(reader.RecordsOf(key, name_template), expected.back());
        }
        CONTEXT(name_template);
        CHECK_EQ(CategoryRecordReader(db.folder.Path(), "SW").RecordsOfKeys(keys, name_template), expected);
    }
    CHECK_EQ(reader.RecordsOf("K1", category::kFolders), (StringList{"K1|One", "K12|Twelve", "K123|OneTwoThree"}));
    CHECK_EQ(reader.RecordsOf("K5", category::kProcesses), StringList{});  // named in MAPPED, file missing
    CHECK_EQ(CategoryRecordReader(db.Path("gone"), "SW").RecordsOf("K1", category::kFolders), StringList{});
    CHECK_EQ(CategoryRecordReader(db.folder.Path(), "MW").RecordsOf("K1", category::kFolders), StringList{});
}

TEST(AReaderDecodesOnceAndKeepsWhatItDecodedForItsRun) {
    SoftwareDatabase db;
    CategoryRecordReader reader(db.folder.Path(), "SW");
    CHECK_EQ(reader.RecordsOf("K2", category::kFolders), StringList{"K2|Two"});
    // The database changes under the run: the run goes on with what it read.
    WriteDatabaseFile(db.folder.Path(), "SID_SW_MAPPED.hdb", {"K2|SID_SW_FL_2.hdb"});
    DeleteFileAlways(db.Path("SID_SW_FL.hdb.UPhdb"));
    WriteDatabaseFile(db.folder.Path(), "SID_SW_FL.hdb", {"K2|Replaced"});
    CHECK_EQ(reader.RecordsOf("K2", category::kFolders), StringList{"K2|Two"});
    CHECK_EQ(reader.RecordsOf("K12", category::kFolders), (StringList{"K12|Twelve", "K123|OneTwoThree"}));
    // The next run reads the database anew.
    CHECK_EQ(CategoryRecordReader(db.folder.Path(), "SW").RecordsOf("K2", category::kFolders), StringList{});
    CHECK_EQ(CategoryRecordReader(db.folder.Path(), "SW").RecordsOf("K5", category::kFolders), StringList{});
    WriteDatabaseFile(db.folder.Path(), "SID_SW_MAPPED.hdb", {"K2|SID_SW_FL.hdb"});
    CHECK_EQ(CategoryRecordReader(db.folder.Path(), "SW").RecordsOf("K2", category::kFolders), StringList{"K2|Replaced"});
}

TEST(DamagedLinesFailTheLookupsThatReachThemEveryTime) {
    SoftwareDatabase db;
    WriteFile(db.Path("SID_SW_FL.hdb.UPhdb"), EncipheredText({"K1|One", "K2|Two"}, "SID_SW_FL.hdb") + "NOT HEX\r\n");
    CategoryRecordReader reader(db.folder.Path(), "SW");
    CHECK_EQ(reader.RecordsOf("K1", category::kFolders), StringList{"K1|One"});  // ends before the damage
    for (int time = 0; time < 2; ++time)
        CHECK_THROWS(EConvertError, reader.RecordsOf("K2", category::kFolders), "'0xNO' is not a valid integer value");
    CHECK_EQ(reader.RecordsOfKeys({"K1", "K2"}, category::kFolders), (std::vector<StringList>{{"K1|One"}, {}}));

    // A damaged MAPPED fails every lookup, as its one-off reading does.
    WriteFile(db.Path("SID_SW_MAPPED.hdb"), CompressHdb(EncipheredText({"K1|SID_SW_FL.hdb"}, "SID_SW_MAPPED.hdb") + "\r\n0011"));
    CHECK_THROWS(EReadError, GetCategoryFile(db.folder.Path(), "K1", "SW", category::kFolders), "Stream read error");
    CategoryRecordReader damaged(db.folder.Path(), "SW");
    for (int time = 0; time < 2; ++time)
        CHECK_THROWS(EReadError, damaged.RecordsOf("K1", category::kFolders), "Stream read error");
    CHECK_EQ(damaged.RecordsOfKeys({"K1"}, category::kFolders), std::vector<StringList>{{}});
}
