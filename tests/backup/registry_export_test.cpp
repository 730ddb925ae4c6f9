// Registry backups in the registry editor's format under Wine: the text of each value type as
// regedit writes it, and a round trip through the system's own regedit, which must put back
// every value of the exported key, type and data, byte for byte.
#include <windows.h>
#include <shlwapi.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "check.h"
#include "registry_export.h"

namespace {

const char kKey[] = "Software\\KestruneBackupTest";
const char kBackupFolder[] = "C:\\kestrune-backup-test\\";

struct Value {
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> Utf16(const std::wstring& text) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

std::vector<BYTE> Sequence(size_t count) {
    std::vector<BYTE> bytes;
    for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<BYTE>(i * 7));
    return bytes;
}

// Every kind of value the program's keys hold, with names and data that need escaping.
const std::vector<Value>& PlantedValues() {
    static const std::vector<Value> values = {
        {L"", REG_SZ, Utf16(L"默认值")},
        {L"Path \"quoted\"", REG_SZ, Utf16(L"C:\\Program Files\\Kestrune \"test\"")},
        {L"Count", REG_DWORD, {0xcd, 0xab, 0x34, 0x12}},
        {L"Blob", REG_BINARY, Sequence(40)},
        {L"Expand", REG_EXPAND_SZ, Utf16(L"%SystemRoot%\\x")},
        {L"Multi", REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}},
        {L"Big", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        {L"Empty", REG_BINARY, {}},
    };
    return values;
}

void PlantKey() {
    SHDeleteKeyA(HKEY_CURRENT_USER, kKey);
    HKEY key = nullptr, child = nullptr;
    RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (const Value& value : PlantedValues())
        RegSetValueExW(key, value.name, 0, value.type, value.data.empty() ? nullptr : value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    RegCreateKeyExA(key, "Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr);
    const DWORD one = 1;
    RegSetValueExA(child, "n", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(child);
    RegCloseKey(key);
}

std::wstring FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += c < 128 ? static_cast<char>(c) : '?';
    return narrow;
}

// Runs the system's regedit on the file, as a user restoring by hand would.
bool ImportWithRegedit(const std::string& path) {
    std::string command = "regedit.exe /s \"" + path + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::string FreshPath(const std::string& name) {
    CreateDirectoryA(kBackupFolder, nullptr);
    const std::string path = kBackupFolder + name;
    DeleteFileA(path.c_str());
    return path;
}

}  // namespace

TEST(a_key_is_written_as_regedit_writes_it) {
    PlantKey();
    std::wstring text;
    std::string failure;
    CHECK(ExportRegistryKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kKey, RegistryView::kDefault, text, &failure));
    // The key's section, one line per value in the order the system lists them, then the subkey.
    const std::wstring header = L"[HKEY_CURRENT_USER\\Software\\KestruneBackupTest]\r\n";
    const std::wstring lines[] = {
        L"@=\"默认值\"\r\n",
        L"\"Path \\\"quoted\\\"\"=\"C:\\\\Program Files\\\\Kestrune \\\"test\\\"\"\r\n",
        L"\"Count\"=dword:1234abcd\r\n",
        L"\"Blob\"=hex:00,07,0e,15,1c,23,2a,31,38,3f,46,4d,54,5b,62,69,70,77,7e,85,8c,93,\\\r\n"
        L"  9a,a1,a8,af,b6,bd,c4,cb,d2,d9,e0,e7,ee,f5,fc,03,0a,11\r\n",
        L"\"Expand\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,\\\r\n"
        L"  74,00,25,00,5c,00,78,00,00,00\r\n",
        L"\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n",
        L"\"Big\"=hex(b):01,02,03,04,05,06,07,08\r\n",
        L"\"Empty\"=hex:\r\n",
    };
    const std::wstring child = L"\r\n[HKEY_CURRENT_USER\\Software\\KestruneBackupTest\\Child]\r\n\"n\"=dword:00000001\r\n\r\n";
    CHECK(text.compare(0, header.size(), header) == 0);
    size_t length = header.size() + child.size();
    for (const std::wstring& line : lines) {
        CONTEXT(Narrow(line));
        CHECK(text.find(line) != std::wstring::npos);
        length += line.size();
    }
    CHECK(text.size() == length && text.compare(text.size() - child.size(), child.size(), child) == 0);
}

TEST(regedit_puts_back_every_value_of_a_backup_byte_for_byte) {
    PlantKey();
    std::wstring body;
    CHECK(ExportRegistryKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kKey, RegistryView::kDefault, body, nullptr));
    const std::string path = FreshPath("key.reg");
    std::string failure;
    CHECK(WriteRegFile(path, RegistryView::kDefault, body, &failure));
    const std::wstring file_header = L"\xFEFFWindows Registry Editor Version 5.00\r\n";
    CHECK(FileText(path).compare(0, file_header.size(), file_header) == 0);

    CHECK_EQ(SHDeleteKeyA(HKEY_CURRENT_USER, kKey), DWORD(ERROR_SUCCESS));
    CHECK(ImportWithRegedit(path));
    HKEY key = nullptr;
    CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key), LONG(ERROR_SUCCESS));
    for (const Value& value : PlantedValues()) {
        CONTEXT(Narrow(value.name));
        DWORD type = 0, size = 256;
        BYTE data[256] = {};
        CHECK_EQ(RegQueryValueExW(key, value.name, nullptr, &type, data, &size), LONG(ERROR_SUCCESS));
        CHECK_EQ(type, value.type);
        CHECK(std::vector<BYTE>(data, data + size) == value.data);
    }
    if (key) RegCloseKey(key);
    HKEY child = nullptr;
    DWORD child_value = 0, size = sizeof child_value;
    CHECK_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\KestruneBackupTest\\Child", 0, KEY_READ, &child),
             LONG(ERROR_SUCCESS));
    if (child) RegQueryValueExA(child, "n", nullptr, nullptr, reinterpret_cast<BYTE*>(&child_value), &size);
    if (child) RegCloseKey(child);
    CHECK_EQ(child_value, DWORD(1));
    SHDeleteKeyA(HKEY_CURRENT_USER, kKey);
}

TEST(one_value_alone_and_the_failures_say_what_could_not_be_done) {
    PlantKey();
    std::wstring text;
    CHECK(ExportRegistryValue(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kKey, "Count", RegistryView::kDefault, text,
                              nullptr));
    CHECK(text == L"[HKEY_CURRENT_USER\\Software\\KestruneBackupTest]\r\n\"Count\"=dword:1234abcd\r\n\r\n");

    std::string failure;
    std::wstring untouched = L"kept";
    CHECK(!ExportRegistryKey(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Software\\KestruneNoSuchKey",
                             RegistryView::kDefault, untouched, &failure));
    CHECK(untouched == L"kept");
    CHECK(failure.find("cannot read the key HKEY_CURRENT_USER\\Software\\KestruneNoSuchKey") == 0);
    CHECK(!ExportRegistryValue(HKEY_CURRENT_USER, "HKEY_CURRENT_USER", kKey, "Missing", RegistryView::kDefault,
                               untouched, &failure));
    CHECK(failure.find("cannot read the value") == 0);

    // A backup file is never written over: an existing one stays as it was.
    const std::string path = FreshPath("exists.reg");
    std::ofstream(path) << "earlier backup";
    CHECK(!WriteRegFile(path, RegistryView::kDefault, L"[x]\r\n", &failure));
    CHECK(failure.find("cannot write the backup " + path) == 0);
    std::ifstream earlier(path);
    CHECK_EQ(std::string((std::istreambuf_iterator<char>(earlier)), std::istreambuf_iterator<char>()), "earlier backup");
    SHDeleteKeyA(HKEY_CURRENT_USER, kKey);
}
