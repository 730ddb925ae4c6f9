#include "item_snapshots.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "file_system.h"
#include "wide_registry.h"
#include "win32/handles.h"

namespace {

constexpr DWORD kComparedAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;

std::string Hex(const BYTE* data, size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (size_t i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

void AddDiskEntries(const std::string& path, const std::string& shown, std::vector<std::string>& lines) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    const bool folder = attributes & FILE_ATTRIBUTE_DIRECTORY;
    lines.push_back(shown + "|" + std::to_string(attributes & kComparedAttributes) + "|" +
                    (folder ? "" : FileBytes(path)));
    if (!folder) return;
    WIN32_FIND_DATAA data;
    FindHandle search(JoinPath(path, "*").c_str(), data);
    for (bool more = search.IsOpen(); more; more = search.Next(data)) {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") AddDiskEntries(JoinPath(path, name), shown + "\\" + name, lines);
    }
}

void AddKeyEntries(HKEY parent, const std::wstring& sub_key, const std::string& shown, REGSAM view_flag,
                   std::vector<std::string>& lines) {
    WideRegistryKey key;
    if (key.Open(parent, sub_key, KEY_READ | view_flag) != ERROR_SUCCESS) return;
    lines.push_back(shown);
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        BYTE data[4096];
        DWORD name_length = 512, type = 0, size = sizeof data;
        if (RegEnumValueW(key.Get(), i, name, &name_length, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        lines.push_back(shown + "|" + AnsiFromWide(std::wstring(name, name_length)) + "|" + std::to_string(type) + "|" +
                        Hex(data, size));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[512];
        DWORD name_length = 512;
        if (RegEnumKeyExW(key.Get(), i, name, &name_length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring child(name, name_length);
        AddKeyEntries(key.Get(), child, shown + "\\" + AnsiFromWide(child), view_flag, lines);
    }
}

}  // namespace

std::vector<std::string> DiskSnapshot(const std::string& path) {
    std::vector<std::string> lines;
    AddDiskEntries(path, ".", lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> KeySnapshot(HKEY root, const std::wstring& path, REGSAM view_flag) {
    std::vector<std::string> lines;
    AddKeyEntries(root, path, ".", view_flag, lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

void CreateKey(HKEY root, const std::wstring& path, REGSAM view_flag) {
    WideRegistryKey key;
    key.Create(root, path, KEY_ALL_ACCESS | view_flag);
}

void DeleteKeyTree(HKEY root, const std::wstring& path, REGSAM view_flag) {
    WideRegistryKey key;
    if (key.Open(root, path, KEY_ALL_ACCESS | view_flag) != ERROR_SUCCESS) return;
    std::vector<std::wstring> children;
    wchar_t name[512];
    for (DWORD length = 512; RegEnumKeyExW(key.Get(), static_cast<DWORD>(children.size()), name, &length, nullptr,
                                           nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         length = 512)
        children.emplace_back(name, length);
    for (const std::wstring& child : children) DeleteKeyTree(key.Get(), child, view_flag);
    key.Close();
    RegDeleteKeyExW(root, path.c_str(), view_flag, 0);
}

LONG SetValue(HKEY root, const std::wstring& path, REGSAM view_flag, const std::wstring& name, DWORD type,
              const std::vector<BYTE>& data) {
    WideRegistryKey key;
    const LONG status = key.Create(root, path, KEY_ALL_ACCESS | view_flag);
    if (status != ERROR_SUCCESS) return status;
    return RegSetValueExW(key.Get(), name.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                          static_cast<DWORD>(data.size()));
}

void DeleteValue(HKEY root, const std::wstring& path, REGSAM view_flag, const std::wstring& name) {
    WideRegistryKey key;
    if (key.Open(root, path, KEY_SET_VALUE | view_flag) == ERROR_SUCCESS) RegDeleteValueW(key.Get(), name.c_str());
}

std::vector<BYTE> Utf16(const std::wstring& text) {
    const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
