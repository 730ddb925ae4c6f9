// How the control file's texts are read: INI values, message texts, folder tokens, dates,
// versions and the local names of downloaded files. Code page 936 texts are written as bytes:
// "\x95\x5C" is one double-byte character whose second byte is a backslash.
#include <cstdio>
#include <fstream>
#include <string>

#include "check.h"
#include "folder_tokens.h"
#include "ini_text.h"
#include "update_dates.h"
#include "url_file_name.h"
#include "version_text.h"

using namespace update;

namespace {

UpdateTime Day(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    UpdateTime time = 0;
    CHECK(EncodeUpdateTime(year, month, day, hour, minute, second, time));
    return time;
}

std::string Folder(const std::string& name) {
    if (name == "APP") return "C:\\Tools";
    if (name == "SLASHED") return "C:\\Tools\\";
    if (name == "ROOT") return "D:\\";
    if (name == "SHARE") return "\\\\server\\share";
    if (name == "INNER") return "C:\\A{APP}";             // a folder that holds a token itself
    if (name == "DOUBLE_BYTE") return "C:\\\x95\x5C";      // ends in a character, not a backslash
    if (name == "\x81\x61") return "C:\\Lower";           // a double-byte name is not upper-cased
    return "";
}

}  // namespace

TEST(ini_values_follow_the_profile_file_rules) {
    const IniText ini = IniText::Parse(
        "; comment\r\n[Update]\r\n  NewVersion =  \"1.2.3.4\" \r\nquoted='a b'\r\nhalf=\"open\r\nmixed=\"a'\r\n"
        "no equals sign\r\nempty=\r\nequals=a=b\r\n"
        "dup=first\r\ndup=second\r\nlong=" + std::string(3000, 'x') + "\n"
        "[files]\ncount=2\n"
        "[files\nbroken=kept in files\n"  // no section header
        "[UPDATE]\nnewversion=9.9.9.9\nlater=from the repeated section\n"
        "[\x81" "a]\nkey=lower\n[\x81" "A]\nkey=upper\n");
    const struct {
        const char* section;
        const char* key;
        std::string value;
    } cases[] = {
        {"update", "newversion", "1.2.3.4"},
        {"UPDATE", "quoted", "a b"},
        {"update", "half", "\"open"},
        {"update", "mixed", "\"a'"},
        {"update", "no equals sign", "(default)"},
        {"update", "empty", ""},
        {"update", "equals", "a=b"},
        {"update", "dup", "first"},
        {"update", "long", std::string(2047, 'x')},
        {"update", "later", "(default)"},
        {"FILES", "Count", "2"},
        {"files", "broken", "kept in files"},
        {"\x81" "a", "key", "lower"},
        {"\x81" "A", "key", "upper"},
        {"missing", "key", "(default)"},
    };
    for (const auto& row : cases) {
        CONTEXT(std::string(row.section) + "/" + row.key);
        CHECK_EQ(ini.String(row.section, row.key, "(default)"), row.value);
    }
    // A value is cut at 2,047 bytes, but never inside a double-byte character.
    const IniText cut = IniText::Parse("[a]\nkey=" + std::string(2046, 'x') + "\xB1\xED" + "tail\n");
    CHECK_EQ(cut.String("a", "key"), std::string(2046, 'x'));
}

TEST(integers_are_decimal_or_hexadecimal_and_anything_else_reads_as_the_default) {
    const struct {
        const char* text;
        int32_t value;  // 7 is the default
    } cases[] = {
        {"-42", -42}, {"+5", 5}, {"0x1F", 31}, {"0X1f", 31}, {"$ff", 255}, {"-0x10", -16},
        {"0xFFFFFFFF", -1}, {"$80000000", INT32_MIN}, {"2147483647", INT32_MAX}, {"-2147483648", INT32_MIN},
        {"00000000012", 12},
        {"2147483648", 7}, {"4294967295", 7}, {"0x100000000", 7}, {"12abc", 7}, {"1 2", 7}, {"1e3", 7},
        {"0x", 7}, {"$", 7}, {"-", 7}, {"", 7}, {"yes", 7}, {"0xG1", 7},
    };
    for (const auto& row : cases) {
        CONTEXT(row.text);
        CHECK_EQ(IniText::Parse(std::string("[a]\nkey=") + row.text).Integer("a", "key", 7), row.value);
    }
    CHECK_EQ(IniText::Parse("").Integer("a", "key", 7), 7);
    const IniText flags = IniText::Parse("[a]\none=1\nhex=0x1\ntwo=2\nword=yes\n");
    CHECK(flags.YesNo("a", "one") && flags.YesNo("a", "hex"));
    CHECK(!flags.YesNo("a", "two") && !flags.YesNo("a", "word") && !flags.YesNo("a", "missing"));
}

TEST(a_control_file_is_loaded_from_disk_and_an_unreadable_one_reads_as_empty) {
    const std::string path = "control_file_text_test.INF";
    {
        std::ofstream file(path, std::ios::binary);
        file << "[update]\r\nnewversion=1.0.1.0\r\n[files]\r\ncount=3\r\n";
    }
    const IniText loaded = IniText::Load(path);
    std::remove(path.c_str());
    CHECK_EQ(loaded.String("update", "newversion"), "1.0.1.0");
    CHECK_EQ(loaded.Integer("files", "count", 0), 3);
    CHECK_EQ(IniText::Load("no such folder/qv_update.INF").Integer("files", "count", -5), -5);
}

TEST(message_texts_break_lines_at_each_backslash_n) {
    const struct {
        const char* value;
        const char* shown;
    } cases[] = {
        {"first sentence.\\nsecond sentence.", "first sentence.\r\nsecond sentence."},
        {"\\n\\n", "\r\n\r\n"},
        {"a\\\\nb", "a\\\r\nb"},
        {"trailing\\", "trailing\\"},
        {"no breaks", "no breaks"},
        {"\x95\x5Cn", "\x95\x5Cn"},  // the backslash is half of a character
        {"\xB1\xED\\n\xB1\xED", "\xB1\xED\r\n\xB1\xED"},
    };
    for (const auto& row : cases) {
        CONTEXT(row.value);
        CHECK_EQ(MessageText(row.value), row.shown);
    }
}

TEST(folder_tokens_expand_to_normalised_folders) {
    const struct {
        const char* value;
        const char* expanded;
    } cases[] = {
        {"{APP}\\REZ.hdb3", "C:\\Tools\\REZ.hdb3"},
        {"{app}\\x.dat", "C:\\Tools\\x.dat"},
        {"{SLASHED}\\x.dat", "C:\\Tools\\x.dat"},
        {"{XYZ}\\x.dat", ".\\x.dat"},
        {"{}", "."},
        {"{ROOT}x", "D:\\.x"},
        {"{SHARE}\\x", "\\\\server\\share\\.\\x"},
        {"plain {APP} and {APP}", "plain C:\\Tools and C:\\Tools"},
        {"no close {APP", "no close {APP"},
        {"{{APP}}", ".}"},                             // the first "{" opens, the first "}" closes
        {"{INNER}\\x", "C:\\AC:\\Tools\\x"},            // the scan goes on inside the inserted folder
        {"{DOUBLE_BYTE}\\x", "C:\\\x95\x5C\\x"},
        {"C:\\\x81{APP}\\x", "C:\\\x81{APP}\\x"},        // "{" as the second byte of a character
        {"{\x81\x61}", "C:\\Lower"},
    };
    for (const auto& row : cases) {
        CONTEXT(row.value);
        CHECK_EQ(ExpandFolderTokens(row.value, Folder), row.expanded);
    }
    CHECK_EQ(ExpandFolderTokens("{APP}", nullptr), ".");
}

TEST(a_folder_that_names_its_own_token_stops_expanding) {
    const std::string expanded =
        ExpandFolderTokens("{SELF}\\x", [](const std::string& name) { return name == "SELF" ? "C:\\{SELF}" : ""; });
    CHECK(expanded.size() > 1000);
    CHECK_EQ(expanded.substr(0, 6), "C:\\C:\\");
    CHECK_EQ(expanded.substr(expanded.size() - 8), "{SELF}\\x");
}

TEST(dates_read_day_month_year_and_an_optional_time) {
    const struct {
        const char* date;
        const char* time;
        UpdateTime expected;
    } cases[] = {
        {"01/02/2010", "", Day(2010, 2, 1)},
        {"1/2/2010", "", Day(2010, 2, 1)},
        {" 01/02/2010 ", "", Day(2010, 2, 1)},
        {"01/02/2010", "13:30", Day(2010, 2, 1, 13, 30)},
        {"01/02/2010", "13:30:15", Day(2010, 2, 1, 13, 30, 15)},
        {"01/02/2010", "noon", Day(2010, 2, 1)},
        {"01/02/2010", "24:00", Day(2010, 2, 1)},
        {"01/02/2010", "13", Day(2010, 2, 1)},
        {"29/02/2012", "", Day(2012, 2, 29)},
        {"01/02/10", "", Day(2010, 2, 1)},
        {"01/02/99", "", Day(1999, 2, 1)},
        {"12/31/2009", "", Day(1980, 1, 1)},  // month first: no month 31
        {"29/02/2011", "", Day(1980, 1, 1)},
        {"01/02", "", Day(1980, 1, 1)},
        {"01-02-2010", "", Day(1980, 1, 1)},
        {"01/02/2010/5", "", Day(1980, 1, 1)},
        {"", "", Day(1980, 1, 1)},
        {"x", "12:00", Day(1980, 1, 1, 12)},
    };
    for (const auto& row : cases) {
        CONTEXT(std::string(row.date) + " " + row.time);
        CHECK(ControlFileTime(row.date, row.time) == row.expected);
    }
    CHECK(Day(1899, 12, 30) == 0 && Day(1980, 1, 1) == kUnreadableDate && Day(1900, 3, 1) == 61);
}

TEST(a_time_is_earlier_by_a_whole_second_at_any_time_of_day) {
    int wrong = 0;
    for (int second = 0; second + 1 < 86400; ++second) {
        const UpdateTime a = Day(2010, 2, 1, second / 3600, second / 60 % 60, second % 60);
        const UpdateTime b = Day(2010, 2, 1, (second + 1) / 3600, (second + 1) / 60 % 60, (second + 1) % 60);
        if (!IsEarlier(a, b) || IsEarlier(b, a) || IsEarlier(a, a)) ++wrong;
    }
    CHECK_EQ(wrong, 0);
    CHECK(IsEarlier(ControlFileTime("31/01/2010", "23:59:59"), ControlFileTime("01/02/2010", "")));
}

TEST(a_time_gives_back_its_calendar_date) {
    int wrong = 0;
    for (int year = 1600; year <= 2100; ++year)
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= 31; ++day) {
                UpdateTime time = 0;
                if (!EncodeUpdateTime(year, month, day, 23, 59, 59, time)) continue;
                int y = 0, m = 0, d = 0;
                if (!DecodeUpdateDate(time, y, m, d) || y != year || m != month || d != day) ++wrong;
            }
    CHECK_EQ(wrong, 0);
    int y = 0, m = 0, d = 0;
    CHECK(DecodeUpdateDate(Day(1, 1, 1), y, m, d) && y == 1 && m == 1 && d == 1);
    CHECK(DecodeUpdateDate(Day(9999, 12, 31), y, m, d) && y == 9999 && m == 12 && d == 31);
    CHECK(!DecodeUpdateDate(Day(1, 1, 1) - 1, y, m, d));
    CHECK(!DecodeUpdateDate(Day(9999, 12, 31) + 1, y, m, d));
}

TEST(versions_parse_compare_and_print) {
    const struct {
        const char* text;
        const char* printed;  // nullptr: invalid
    } cases[] = {
        {"1.2.3.4", "1.2.3.4"},
        {"2,1,0,8", "2.1.0.8"},
        {"1, 2, 3, 4", "1.2.3.4"},
        {"2.1", "2.1.0.0"},
        {"7", "7.0.0.0"},
        {"1..3.4", "1.0.3.4"},
        {"65535.65535.65535.65535", "65535.65535.65535.65535"},
        {"", nullptr},
        {"x", nullptr},
        {".1", nullptr},
        {"1.2.3.", nullptr},
        {"1.2.3.x", nullptr},
        {"1.x.3.4", nullptr},
        {"1.2.3.4.5", nullptr},
        {"1.65536", nullptr},
        {"1,2.5,3", nullptr},
        {"-1.0", nullptr},
    };
    for (const auto& row : cases) {
        CONTEXT(row.text);
        const FileVersion version = ParseVersionText(row.text);
        CHECK_EQ(version.valid, row.printed != nullptr);
        if (row.printed && version.valid) CHECK_EQ(VersionText(version), row.printed);
    }
    const struct {
        const char* candidate;
        const char* installed;
        bool newer;
    } comparisons[] = {
        {"2,1,0,8", "2.1.0.7", true},
        {"2.1", "2.1.0.7", false},
        {"2.1.0.7", "2.1.0.7", false},
        {"1.0.1.0", "1.0.0.0", true},
        {"1.1", "1.0.9.9", true},
        {"1.0.9.9", "1.1", false},
        {"32768.0", "1.0", false},        // the high word is negative as a signed number
        {"1.0", "32768.0", true},
        {"1.0.32768.0", "1.0.1.0", false},  // and so is the low word
    };
    for (const auto& row : comparisons) {
        CONTEXT(std::string(row.candidate) + " against " + row.installed);
        CHECK_EQ(IsNewerVersion(ParseVersionText(row.candidate), ParseVersionText(row.installed)), row.newer);
    }
}

TEST(local_names_come_from_the_url_and_unsafe_ones_are_refused) {
    const struct {
        const char* url;
        const char* name;
        bool safe;
    } cases[] = {
        {"http://h/QV/REZ.hdb3", "REZ.hdb3", true},
        {"http://h/get?id=7", "id=7", true},
        {"http://h/QV\\sub\\x.exe", "x.exe", true},
        {"http://h/a?b/c", "c", true},
        {"REZ.hdb3", "REZ.hdb3", true},
        {"http://h/QV/\x95\x5C.txt", "\x95\x5C.txt", true},  // the backslash is half of a character
        {"http://h/QV/\x95\x7C", "\x95\x7C", true},          // and so is the bar
        {"http://h/QV/\x80.txt", "\x80.txt", true},
        {"http://h/QV/console.exe", "console.exe", true},
        {"http://h/QV/lpt0", "lpt0", true},
        {"http://h/QV/com10", "com10", true},
        {"http://h/QV/", "", false},
        {"http://h/QV/..", "..", false},
        {"http://h/QV/.", ".", false},
        {"http://h/QV/CON", "CON", false},
        {"http://h/QV/nul.txt", "nul.txt", false},
        {"http://h/QV/nul .txt", "nul .txt", false},
        {"http://h/QV/Aux.tar.gz", "Aux.tar.gz", false},
        {"http://h/QV/com1", "com1", false},
        {"http://h/QV/LPT9.log", "LPT9.log", false},
        {"http://h/QV/conin$", "conin$", false},
        {"http://h/QV/a:b", "a:b", false},
        {"http://h/QV/a|b", "a|b", false},
        {"http://h/QV/a*b", "a*b", false},
        {"http://h/QV/a<b>", "a<b>", false},
        {"http://h/QV/a\"b", "a\"b", false},
        {"http://h/QV/tab\tname", "tab\tname", false},
        {"http://h/QV/trailing.", "trailing.", false},
        {"http://h/QV/trailing ", "trailing ", false},
        {"http://h/QV/half\x95", "half\x95", false},  // a lead byte without its second byte
    };
    for (const auto& row : cases) {
        CONTEXT(row.url);
        const std::string name = LocalFileNameFromUrl(row.url);
        CHECK_EQ(name, row.name);
        CHECK_EQ(IsSafeLocalFileName(name), row.safe);
    }
}
