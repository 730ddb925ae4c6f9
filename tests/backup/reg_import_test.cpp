// .reg files read back: the registry editor's 5.00 forms that a hand-edited or regedit-written
// backup may hold, every malformed line refused with its line number and nothing kept of the
// file, files that are not UTF-16LE, and the check that a copy holds the manifest's item only.
#include <windows.h>

#include <string>
#include <vector>

#include "check.h"
#include "file_system.h"
#include "item_snapshots.h"
#include "reg_import.h"

namespace {

const std::wstring kHeader = L"Windows Registry Editor Version 5.00\r\n\r\n";
const std::wstring kSection = L"[HKEY_CURRENT_USER\\Software\\X]\r\n";

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

RegFile Parsed(const std::wstring& text) {
    RegFile file;
    std::string failure;
    CHECK(ParseRegText(text, file, &failure));
    CHECK_EQ(failure, "");
    return file;
}

}  // namespace

TEST(every_value_form_of_the_format_is_read) {
    const struct {
        std::wstring line;
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    } cases[] = {
        {L"@=\"默认\"", L"", REG_SZ, Utf16(L"默认")},
        {L"\"a \\\"b\\\" \\\\c\"=\"x\\\\y \\\"z\\\"\\\\\"", L"a \"b\" \\c", REG_SZ, Utf16(L"x\\y \"z\"\\")},
        {L"\"with = sign\"=\"\"", L"with = sign", REG_SZ, Utf16(L"")},
        {L"\"d\"=dword:1", L"d", REG_DWORD, {1, 0, 0, 0}},
        {L"\"D\"=DWORD:FfFfFfFe", L"D", REG_DWORD, {0xfe, 0xff, 0xff, 0xff}},
        {L"\"b\"=hex:01, 2 ,FF,\\\r\n    0a,\\\r\n\t0b", L"b", REG_BINARY, {1, 2, 0xff, 0x0a, 0x0b}},
        {L"\"e\"=hex:", L"e", REG_BINARY, {}},
        {L"\"n\"=hex(0):", L"n", REG_NONE, {}},
        {L"\"m\"=hex(7):61,00,00,00,00,00", L"m", REG_MULTI_SZ, {0x61, 0, 0, 0, 0, 0}},
        {L"\"q\"=hex(b):01,02,03,04,05,06,07,08", L"q", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {L"\"own\"=hex(20):07", L"own", 0x20, {7}},
    };
    for (const auto& row : cases) {
        CONTEXT(Narrow(row.line));
        const RegFile file = Parsed(kHeader + kSection + row.line + L"\r\n");
        CHECK(file.sections.size() == 1 && file.sections[0].values.size() == 1);
        if (file.sections.size() != 1 || file.sections[0].values.size() != 1) continue;
        const RegValue& value = file.sections[0].values[0];
        CHECK(value.name == row.name);
        CHECK_EQ(value.type, row.type);
        CHECK(value.data == row.data);
    }
}

TEST(sections_comments_and_bare_line_feeds) {
    const RegFile file = Parsed(L"Windows Registry Editor Version 5.00\n; a comment\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\n"
                                L"\"x\"=dword:00000002\n[HKEY_CLASSES_ROOT\\.kst]\n  ; indented comment\n"
                                L"[HKEY_USERS\\S-1\\中文]\n@=\"v\"\n");
    CHECK_EQ(file.sections.size(), size_t(3));
    if (file.sections.size() != 3) return;
    CHECK(file.sections[0].root == HKEY_LOCAL_MACHINE && file.sections[0].sub_key == L"SOFTWARE\\A");
    CHECK(file.sections[1].root == HKEY_CLASSES_ROOT && file.sections[1].values.empty());
    CHECK(file.sections[2].root == HKEY_USERS && file.sections[2].path == L"HKEY_USERS\\S-1\\中文");
}

TEST(a_malformed_line_is_refused_with_its_number_and_nothing_is_kept) {
    const struct {
        std::wstring text;
        const char* failure;
    } cases[] = {
        {L"REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\X]\r\n", "line 1: not a registry editor 5.00 file"},
        {L"", "line 1: not a registry editor 5.00 file"},
        {kHeader + L"\"a\"=\"x\"\r\n", "line 3: a value before the first [key] line"},
        {kHeader + L"[HKEY_NOWHERE\\X]\r\n", "line 3: unknown root key in [HKEY_NOWHERE\\X]"},
        {kHeader + L"[HKEY_CURRENT_USER]\r\n", "line 3: [HKEY_CURRENT_USER] names a root key, not a key below it"},
        {kHeader + L"[HKEY_CURRENT_USER\\]\r\n", "line 3: [HKEY_CURRENT_USER\\] names a root key"},
        {kHeader + L"[HKEY_CURRENT_USER\\a\\\\b]\r\n", "line 3: an empty key name in [HKEY_CURRENT_USER\\a\\\\b]"},
        {kHeader + L"[HKEY_CURRENT_USER\\X\r\n", "line 3: a [key] line does not end with \"]\""},
        {kHeader + L"[-HKEY_CURRENT_USER\\X]\r\n", "line 3: it deletes a key; a restore only adds"},
        {kHeader + kSection + L"\"a\"=-\r\n", "line 4: it deletes a value; a restore only adds"},
        {kHeader + kSection + L"\"a\"=dword:123456789\r\n", "line 4: dword: needs one to eight hex digits"},
        {kHeader + kSection + L"\"a\"=dword:\r\n", "line 4: dword: needs one to eight hex digits"},
        {kHeader + kSection + L"\"a\"=hex:0g\r\n", "line 4: \"0g\" is not a hex byte"},
        {kHeader + kSection + L"\"a\"=hex:01,,02\r\n", "line 4: \"\" is not a hex byte"},
        {kHeader + kSection + L"\"a\"=hex:123\r\n", "line 4: \"123\" is not a hex byte"},
        {kHeader + kSection + L"\"a\"=hex(zz):01\r\n", "line 4: hex(N): needs a type number"},
        {kHeader + kSection + L"\"a\"=hex(2)01\r\n", "line 4: hex(N): needs a type number"},
        {kHeader + kSection + L"\"a\"=hex:01,\\", "line 4: the value goes on past the end of the file"},
        {kHeader + kSection + L"\"a\"=hex:01,\\\r\n  02\r\n\"b\"=hex:zz\r\n", "line 6: \"zz\" is not a hex byte"},
        {kHeader + kSection + L"\"a=\"x\"\r\n", "line 4: no \"=\" after the value's name"},
        {kHeader + kSection + L"\"a\"=\"x\r\n", "line 4: a quoted text does not end"},
        {kHeader + kSection + L"\"a\"=\"x\\n\"\r\n", "line 4: unknown escape \\n in a quoted text"},
        {kHeader + kSection + L"\"a\"=\"x\" y\r\n", "line 4: more after the quoted data"},
        {kHeader + kSection + L"\"a\"=\r\n", "line 4: no data after \"=\""},
        {kHeader + kSection + L"\"a\"=word:1\r\n", "line 4: unknown kind of data"},
        {kHeader + kSection + L"a=1\r\n", "line 4: neither a [key] line, a value nor a comment"},
    };
    for (const auto& row : cases) {
        CONTEXT(Narrow(row.text));
        RegFile file;
        file.sections.resize(1);  // stays as it was
        std::string failure;
        CHECK(!ParseRegText(row.text, file, &failure));
        CHECK_EQ(failure.substr(0, std::string(row.failure).size()), std::string(row.failure));
        CHECK(file.sections.size() == 1 && file.sections[0].path.empty());
    }
}

TEST(only_utf16_files_with_a_byte_order_mark_are_read) {
    const std::string folder = "C:\\kestrune-reg-import-test";
    CreateDirectories(folder);
    const std::string body = "Windows Registry Editor Version 5.00\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char c : body) utf16 += std::string(1, c) + '\0';
    const struct {
        const char* name;
        std::string bytes;
        const char* failure;  // nullptr: read
    } cases[] = {
        {"utf16.reg", utf16, nullptr},
        {"ansi.reg", body, "line 1: not UTF-16LE text with its byte-order mark"},
        {"big-endian.reg", "\xFE\xFF", "line 1: not UTF-16LE text with its byte-order mark"},
        {"odd.reg", utf16 + "x", "the file ends in half a character"},
    };
    for (const auto& row : cases) {
        CONTEXT(row.name);
        WriteBytes(folder + "\\" + row.name, row.bytes);
        RegFile file;
        std::string failure;
        CHECK_EQ(ReadRegFile(folder + "\\" + row.name, file, &failure), row.failure == nullptr);
        CHECK_EQ(failure, std::string(row.failure ? row.failure : ""));
    }
    std::string failure;
    RegFile file;
    CHECK(!ReadRegFile(folder + "\\absent.reg", file, &failure));
    CHECK(failure.find("cannot read the file (error ") == 0);
    DeleteFolderTree(folder);
}

TEST(a_copy_must_hold_the_manifests_item_and_nothing_beside_it) {
    const std::string key = "HKEY_CURRENT_USER\\Software\\X";
    const RegFile tree = Parsed(kHeader + kSection + L"[HKEY_CURRENT_USER\\Software\\X\\Child]\r\n");
    const RegFile beside = Parsed(kHeader + kSection + L"[HKEY_CURRENT_USER\\Software\\X2]\r\n");
    const RegFile one_value = Parsed(kHeader + kSection + L"\"v\"=dword:1\r\n");
    const RegFile two_values = Parsed(kHeader + kSection + L"\"v\"=dword:1\r\n\"w\"=dword:2\r\n");
    std::string failure;
    CHECK(RegFileHoldsKey(tree, key, &failure));
    CHECK(!RegFileHoldsKey(tree, key + "\\Child", &failure));
    CHECK(!RegFileHoldsKey(beside, key, &failure));
    CHECK_EQ(failure, "the copy holds " + key + "2, which is not " + key + " or below it");
    CHECK(!RegFileHoldsKey(RegFile(), key, &failure));
    CHECK(RegFileHoldsValue(one_value, key + "|v", &failure));
    CHECK(!RegFileHoldsValue(one_value, key + "|w", &failure));
    CHECK_EQ(failure, "the copy holds " + key + "|v, not " + key + "|w");
    CHECK(!RegFileHoldsValue(two_values, key + "|v", &failure));
    CHECK(!RegFileHoldsValue(tree, key + "|", &failure));
}
