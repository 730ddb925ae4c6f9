#include "category_files.h"
#include "check.h"
#include "errors.h"
#include "file_system.h"
#include "fixtures.h"
#include "package_writer.h"

namespace {

// A working folder with the files of type SW: catalogue, MAPPED and some category files.
struct SoftwareDatabase {
    ScopedTempFolder folder;

    SoftwareDatabase() {
        WriteDatabaseFile(folder.Path(), "SID_SW_LI.hdb",
                          {"K1|Alpha Player|Video Players|1.0|5.1|6.1|32位",
                           "K2|Beta Zip|File Compression|2.0|6.1|-|64位",
                           "K3|Video Players Pack|Photo Tools|1.0|7.0|-|5.1",
                           "K4|Delta Burner|CD/DVD Burners|3.0|5.1|-|32位"});
        WriteDatabaseFile(folder.Path(), "SID_SW_MAPPED.hdb",
                          {"K1|SID_SW_FL.hdb|SID_SW_RN_2.hdb", "K2|SID_SW_FL.hdb", "K12|SID_SW_FL.hdb"});
        WriteDatabaseFile(folder.Path(), "SID_SW_FL.hdb",
                          {"K0|Zero", "K1|One", "K12|Twelve", "K123|OneTwoThree", "K2|Two", "K1|Again"});
        WriteDatabaseFile(folder.Path(), "SID_SW_RN_2.hdb", {"K1|HKLM|SOFTWARE\\One"});
    }
    std::string Path(const std::string& name) const { return folder / name; }
};

StringList Catalogue(const SoftwareDatabase& db, const std::string& sub_type, const std::string& os) {
    StringList list;
    CHECK(LoadSoftwareList(db.folder.Path(), "SW", sub_type, list, os));
    StringList keys;
    for (const std::string& line : list) keys.push_back(line.substr(0, line.find('|')));
    return keys;
}

}  // namespace

TEST(CategoryNamesFillInTheTypeCode) {
    CHECK_EQ(CategoryName(category::kFolders, "MW"), std::string("SID_MW_FL"));
    CHECK_EQ(CategoryName("XX_XX", "NM"), std::string("NM_NM"));
    CHECK(IsSoftwareType("SW") && !IsSoftwareType("sw") && !IsSoftwareType("XY") && !IsSoftwareType(""));
}

TEST(SplitTextLinesTakesEveryLineBreak) {
    const struct {
        std::string text;
        StringList lines;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"a\n\nb", {"a", "", "b"}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases) {
        CONTEXT(check::Quote(c.text));
        StringList lines;
        SplitTextLines(c.text, lines);
        CHECK_EQ(lines, c.lines);
    }
}

TEST(CatalogueFiltersTestTheWholeLine) {
    SoftwareDatabase db;
    const struct {
        const char* sub_type;
        const char* os;
        StringList keys;
    } cases[] = {
        {"All", "All", {"K1", "K2", "K3", "K4"}},
        {"All", "|5.1|", {"K1", "K4"}},  // K3 ends in 5.1 with no bar after it
        {"All", "|6.1|", {"K1", "K2"}},
        {"Video Players", "All", {"K1", "K3"}},  // K3 names it inside its software name
        {"Video Players", "|6.1|", {"K1"}},
        {"Web Browsers", "All", {}},
        {"", "All", {}},  // an empty text is never contained
    };
    for (const auto& c : cases) {
        CONTEXT(std::string(c.sub_type) + " " + c.os);
        CHECK_EQ(Catalogue(db, c.sub_type, c.os), c.keys);
    }
    StringList list;
    LoadSoftwareList(db.folder.Path(), "SW", "All", list, "All");
    CHECK_EQ(list[0], std::string("K1|Alpha Player|Video Players|1.0|5.1|6.1|32位"));
}

TEST(FixedFileLookupsReturnFalseWhenThereIsNothingToRead) {
    SoftwareDatabase db;
    StringList list = {"untouched"};
    CHECK(!LoadMappedList(db.Path("missing"), "SW", list));
    CHECK(!LoadMappedList(db.folder.Path(), "sw", list));
    CHECK(!LoadMappedList(db.folder.Path(), "MW", list));  // no file of that type
    CHECK(!LoadSoftwareList(db.folder.Path(), "XY", "All", list, "All"));
    CHECK_EQ(list, StringList{"untouched"});
    CHECK(LoadMappedList(db.folder.Path(), "SW", list));
    CHECK_EQ(list.size(), 3u);
}

TEST(CategoryRecordsAreTheFirstRunThatContainsTheKey) {
    SoftwareDatabase db;
    const std::string fl = db.Path("SID_SW_FL.hdb");
    const struct {
        const char* key;
        StringList records;
    } cases[] = {
        {"K1", {"K1|One", "K12|Twelve", "K123|OneTwoThree"}},  // substring match, first run only
        {"K12", {"K12|Twelve", "K123|OneTwoThree"}},
        {"K2", {"K2|Two"}},
        {"K9", {}},
    };
    for (const auto& c : cases) {
        CONTEXT(c.key);
        StringList list = {"old"};
        CHECK(LoadCategoryRecords(c.key, fl, list));
        CHECK_EQ(list, c.records);
    }
    StringList list = {"untouched"};
    CHECK(!LoadCategoryRecords("", fl, list));
    CHECK(!LoadCategoryRecords("K1", "", list));
    CHECK(!LoadCategoryRecords("K1", db.Path("SID_SW_PR.hdb"), list));
    CHECK_EQ(list, StringList{"untouched"});
}

TEST(DamagedLinesFailOnlyTheLookupsThatReachThem) {
    SoftwareDatabase db;
    const std::string good = EncipheredText({"K1|One", "K2|Two"}, "SID_SW_FL.hdb");
    WriteFile(db.Path("SID_SW_FL.hdb.UPhdb"), good + "NOT HEX\r\n");
    StringList list;
    CHECK(LoadCategoryRecords("K1", db.Path("SID_SW_FL.hdb"), list));  // stops before the damage
    CHECK_EQ(list, StringList{"K1|One"});
    CHECK_THROWS(EConvertError, LoadCategoryRecords("K3", db.Path("SID_SW_FL.hdb"), list),
                 "'0xNO' is not a valid integer value");

    // The catalogue decodes every line, so one short line anywhere fails the listing.
    WriteFile(db.Path("SID_SW_LI.hdb"), CompressHdb(EncipheredText({"K1|A|x|y|5.1|-|32"}, "SID_SW_LI.hdb") + "\r\n0011"));
    CHECK_THROWS(EReadError, LoadSoftwareList(db.folder.Path(), "SW", "All", list, "All"), "Stream read error");
}

TEST(ATextOfLineBreaksFailsAtItsFirstLine) {
    // Lines are decoded as they are read: millions of empty lines cost no list of strings.
    SoftwareDatabase db;
    WriteFile(db.Path("SID_SW_LI.hdb"), CompressHdb(std::string(4 << 20, '\n')));
    StringList list;
    CHECK_THROWS(EReadError, LoadSoftwareList(db.folder.Path(), "SW", "All", list, "All"), "Stream read error");
    WriteFile(db.Path("SID_SW_FL.hdb.UPhdb"), std::string(4 << 20, '\n'));
    CHECK_THROWS(EReadError, LoadCategoryRecords("K1", db.Path("SID_SW_FL.hdb"), list), "Stream read error");
}

TEST(GetCategoryFileFindsTheFileNamedInTheMappedLine) {
    SoftwareDatabase db;
    const std::string folder = db.folder.Path();
    CHECK_EQ(GetCategoryFile(folder, "K1", "SW", category::kRegistry), db.Path("SID_SW_RN_2.hdb"));
    CHECK_EQ(GetCategoryFile(folder + kPathSeparator, "K1", "SW", category::kFolders), db.Path("SID_SW_FL.hdb"));
    CHECK_EQ(GetCategoryFile(folder, "K2", "SW", category::kRegistry), std::string());  // no such file named
    CHECK_EQ(GetCategoryFile(folder, "K7", "SW", category::kFolders), std::string());
    CHECK_EQ(GetCategoryFile(folder, "K1", "MW", category::kFolders), std::string());
    CHECK_EQ(GetCategoryFile(db.Path("gone"), "K1", "SW", category::kFolders), std::string());
}

TEST(CategoryFilesAreDecodedOnceWhileFixedFilesAreReadAfresh) {
    SoftwareDatabase db;
    StringList list;
    CHECK(LoadCategoryRecords("K2", db.Path("SID_SW_FL.hdb"), list));
    WriteDatabaseFile(db.folder.Path(), "SID_SW_FL.hdb", {"K2|Replaced"});
    CHECK(LoadCategoryRecords("K2", db.Path("SID_SW_FL.hdb"), list));
    CHECK_EQ(list, StringList{"K2|Two"});

    WriteDatabaseFile(db.folder.Path(), "SID_SW_MAPPED.hdb", {"K1|SID_SW_FL_NEW.hdb"});
    CHECK_EQ(GetCategoryFile(db.folder.Path(), "K1", "SW", category::kFolders), db.Path("SID_SW_FL_NEW.hdb"));
}
