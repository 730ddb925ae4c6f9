#include "registry_export.h"

#include <vector>

#include "registry_access.h"
#include "wide_registry.h"
#include "win32/error_text.h"
#include "win32/handles.h"

namespace {

// Long hex lines continue after a backslash on an indented line, as regedit writes them.
constexpr size_t kLineWidth = 80;

std::wstring Quoted(const std::wstring& text) {
    std::wstring quoted = L"\"";
    for (const wchar_t c : text) {
        if (c == L'\\' || c == L'"') quoted += L'\\';
        quoted += c;
    }
    return quoted + L"\"";
}

wchar_t HexDigit(unsigned value) { return static_cast<wchar_t>(value < 10 ? L'0' + value : L'a' + value - 10); }

// "hex:aa,bb" or "hex(N):aa,bb", wrapped as regedit wraps it.
std::wstring HexData(const std::wstring& prefix, DWORD type, const std::vector<BYTE>& data) {
    wchar_t kind[24];
    if (type == REG_BINARY)
        lstrcpyW(kind, L"hex:");
    else
        wsprintfW(kind, L"hex(%x):", type);
    std::wstring line = prefix + kind;
    std::wstring text;
    for (size_t i = 0; i < data.size(); ++i) {
        line += HexDigit(data[i] >> 4);
        line += HexDigit(data[i] & 15);
        if (i + 1 == data.size()) break;
        line += L',';
        if (line.size() >= kLineWidth - 4) {
            text += line + L"\\\r\n";
            line = L"  ";
        }
    }
    return text + line;
}

std::wstring ValueLine(const std::wstring& name, DWORD type, const std::vector<BYTE>& data) {
    const std::wstring prefix = (name.empty() ? std::wstring(L"@") : Quoted(name)) + L"=";
    if (type == REG_SZ && data.size() % 2 == 0) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
        const size_t end = text.find(L'\0');
        // Only a string that ends at its terminator reads back the same way as a quoted string.
        if (end == std::wstring::npos || end + 1 == text.size()) {
            if (end != std::wstring::npos) text.resize(end);
            return prefix + Quoted(text);
        }
    }
    if (type == REG_DWORD && data.size() == 4) {
        DWORD value = 0;
        memcpy(&value, data.data(), 4);
        wchar_t text[16];
        wsprintfW(text, L"dword:%08x", value);
        return prefix + text;
    }
    return HexData(prefix, type, data);
}

bool ReadValue(HKEY key, const std::wstring& name, DWORD& type, std::vector<BYTE>& data) {
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    data.assign(size, 0);
    return RegQueryValueExW(key, name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(), &size) ==
               ERROR_SUCCESS &&
           (data.resize(size), true);
}

// The key's section, its values, then each subkey's, depth first.
bool ExportKeyTree(HKEY parent, const std::wstring& path, const std::wstring& sub_key, REGSAM access,
                   std::wstring& text) {
    WideRegistryKey key;
    if (key.Open(parent, sub_key, access) != ERROR_SUCCESS) return false;
    text += L"[" + path + L"]\r\n";
    DWORD value_count = 0, longest_name = 0, subkey_count = 0, longest_subkey = 0;
    RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkey_count, &longest_subkey, nullptr, &value_count,
                     &longest_name, nullptr, nullptr, nullptr);
    for (DWORD i = 0; i < value_count; ++i) {
        std::vector<wchar_t> name(longest_name + 2);
        DWORD name_length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key.Get(), i, name.data(), &name_length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        const std::wstring value_name(name.data(), name_length);
        DWORD type = 0;
        std::vector<BYTE> data;
        if (ReadValue(key.Get(), value_name, type, data)) text += ValueLine(value_name, type, data) + L"\r\n";
    }
    text += L"\r\n";
    for (DWORD i = 0; i < subkey_count; ++i) {
        std::vector<wchar_t> name(longest_subkey + 2);
        DWORD name_length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExW(key.Get(), i, name.data(), &name_length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            continue;
        const std::wstring child(name.data(), name_length);
        if (!ExportKeyTree(key.Get(), path + L"\\" + child, child, access, text)) return false;
    }
    return true;
}

}  // namespace

bool ExportRegistryKey(HKEY root, const std::string& root_name, const std::string& sub_key, RegistryView view,
                       std::wstring& text, std::string* failure) {
    std::wstring exported;
    if (!ExportKeyTree(root, WideFromAnsi(root_name + "\\" + sub_key), WideFromAnsi(sub_key), ViewAccess(KEY_READ, view), exported)) {
        if (failure) *failure = "cannot read the key " + root_name + "\\" + sub_key + " or one below it";
        return false;
    }
    text += exported;
    return true;
}

bool ExportRegistryValue(HKEY root, const std::string& root_name, const std::string& sub_key,
                         const std::string& value_name, RegistryView view, std::wstring& text, std::string* failure) {
    WideRegistryKey key;
    const LONG status = key.Open(root, WideFromAnsi(sub_key), QueryAccessMask(view));
    DWORD type = 0;
    std::vector<BYTE> data;
    if (status != ERROR_SUCCESS || !ReadValue(key.Get(), WideFromAnsi(value_name), type, data)) {
        if (failure) *failure = ErrorText("cannot read the value " + root_name + "\\" + sub_key + "|" + value_name, status);
        return false;
    }
    text += L"[" + WideFromAnsi(root_name + "\\" + sub_key) + L"]\r\n" + ValueLine(WideFromAnsi(value_name), type, data) + L"\r\n\r\n";
    return true;
}

bool WriteRegFile(const std::string& path, RegistryView view, const std::wstring& body, std::string* failure) {
    // The default view is the process's own: 64-bit in a 64-bit build.
    const bool view_64bit = view == RegistryView::k64Bit || (view == RegistryView::kDefault && sizeof(void*) == 8);
    const std::wstring text = std::wstring(L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n") +
                              (view_64bit ? L"; 64-bit registry view\r\n\r\n" : L"; 32-bit registry view\r\n\r\n") +
                              body;
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    const DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    DWORD written = 0;
    if (!file.IsOpen() || !WriteFile(file.Get(), text.data(), bytes, &written, nullptr) || written != bytes ||
        !FlushFileBuffers(file.Get())) {
        if (failure) *failure = ErrorText("cannot write the backup " + path);
        if (file.IsOpen()) {
            file.Reset();
            DeleteFileA(path.c_str());
        }
        return false;
    }
    return true;
}
