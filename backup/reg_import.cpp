#include "reg_import.h"

#include <cstring>
#include <cwchar>

#include "file_system.h"
#include "registry_access.h"
#include "registry_item.h"
#include "wide_registry.h"
#include "win32/error_text.h"

namespace {

const wchar_t kHeader[] = L"Windows Registry Editor Version 5.00";

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Trimmed(const std::wstring& text) {
    size_t first = 0, last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.substr(first, last - first);
}

// Lines end in CR LF as regedit writes them; a bare LF is taken as well.
std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    for (std::wstring& line : lines)
        if (!line.empty() && line.back() == L'\r') line.pop_back();
    return lines;
}

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// One to max_digits hex digits and nothing else.
bool ReadHexNumber(const std::wstring& digits, size_t max_digits, DWORD& number) {
    if (digits.empty() || digits.size() > max_digits) return false;
    number = 0;
    for (const wchar_t c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0) return false;
        number = number * 16 + static_cast<DWORD>(digit);
    }
    return true;
}

// The key a section's root names, among the four the backups write.
HKEY RootNamed(const std::wstring& name) {
    for (const char* abbreviation : {"HKLM", "HKCU", "HKU", "HKCR"}) {
        const RegistryRoot* root = FindRegistryRoot(abbreviation);
        if (root && WideFromAnsi(root->editor_name) == name) return root->key;
    }
    return nullptr;
}

// A "[ROOT\key]" line, trimmed.
bool ReadSection(const std::wstring& line, RegSection& section, std::string& fault) {
    if (line.back() != L']') return fault = "a [key] line does not end with \"]\"", false;
    if (line.size() > 1 && line[1] == L'-') return fault = "it deletes a key; a restore only adds", false;
    section.path = line.substr(1, line.size() - 2);
    const size_t root_end = section.path.find(L'\\');
    section.root = RootNamed(section.path.substr(0, root_end));
    if (!section.root) return fault = "unknown root key in [" + AnsiFromWide(section.path) + "]", false;
    if (root_end == std::wstring::npos || root_end + 1 == section.path.size())
        return fault = "[" + AnsiFromWide(section.path) + "] names a root key, not a key below it", false;
    section.sub_key = section.path.substr(root_end + 1);
    if (section.sub_key.find(L"\\\\") != std::wstring::npos || section.sub_key.back() == L'\\')
        return fault = "an empty key name in [" + AnsiFromWide(section.path) + "]", false;
    return true;
}

// One value line, continuation lines already joined: "name"=DATA or @=DATA.
class ValueLine {
public:
    explicit ValueLine(const std::wstring& text) : text_(text) {}

    bool Read(RegValue& value, std::string& fault) {
        if (text_[at_] == L'@')
            ++at_;
        else if (!ReadQuoted(value.name, fault))
            return false;
        SkipBlanks();
        if (at_ == text_.size() || text_[at_] != L'=') return fault = "no \"=\" after the value's name", false;
        ++at_;
        SkipBlanks();
        return ReadData(value, fault);
    }

private:
    void SkipBlanks() {
        while (at_ < text_.size() && IsBlank(text_[at_])) ++at_;
    }
    bool StartsWith(const wchar_t* prefix) const {
        return _wcsnicmp(text_.c_str() + at_, prefix, wcslen(prefix)) == 0;
    }

    // "text" with \\ and \" for a backslash and a quote, the only escapes regedit writes.
    bool ReadQuoted(std::wstring& text, std::string& fault) {
        text.clear();
        for (++at_; at_ < text_.size();) {
            wchar_t c = text_[at_++];
            if (c == L'"') return true;
            if (c == L'\\' && at_ < text_.size()) {
                c = text_[at_++];
                if (c != L'\\' && c != L'"')
                    return fault = "unknown escape \\" + AnsiFromWide(std::wstring(1, c)) + " in a quoted text", false;
            }
            text += c;
        }
        return fault = "a quoted text does not end", false;
    }

    bool ReadData(RegValue& value, std::string& fault) {
        if (at_ == text_.size()) return fault = "no data after \"=\"", false;
        if (text_[at_] == L'"') {
            std::wstring text;
            if (!ReadQuoted(text, fault)) return false;
            SkipBlanks();
            if (at_ != text_.size()) return fault = "more after the quoted data", false;
            const BYTE* bytes = reinterpret_cast<const BYTE*>(text.c_str());
            value.type = REG_SZ;
            value.data.assign(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
            return true;
        }
        if (StartsWith(L"dword:")) {
            DWORD number = 0;
            if (!ReadHexNumber(Trimmed(text_.substr(at_ + 6)), 8, number))
                return fault = "dword: needs one to eight hex digits", false;
            value.type = REG_DWORD;
            value.data.resize(sizeof number);
            std::memcpy(value.data.data(), &number, sizeof number);
            return true;
        }
        if (StartsWith(L"hex:")) {
            value.type = REG_BINARY;
            return ReadHexBytes(text_.substr(at_ + 4), value.data, fault);
        }
        if (StartsWith(L"hex(")) {
            const size_t close = text_.find(L')', at_);
            if (close == std::wstring::npos || close + 1 == text_.size() || text_[close + 1] != L':' ||
                !ReadHexNumber(text_.substr(at_ + 4, close - at_ - 4), 8, value.type))
                return fault = "hex(N): needs a type number of one to eight hex digits", false;
            return ReadHexBytes(text_.substr(close + 2), value.data, fault);
        }
        if (text_[at_] == L'-') return fault = "it deletes a value; a restore only adds", false;
        return fault = "unknown kind of data (a quoted text, dword:, hex: or hex(N): expected)", false;
    }

    // "aa,bb,cc", or nothing for no bytes.
    static bool ReadHexBytes(const std::wstring& list, std::vector<BYTE>& bytes, std::string& fault) {
        bytes.clear();
        if (Trimmed(list).empty()) return true;
        size_t start = 0;
        for (bool more = true; more;) {
            const size_t comma = list.find(L',', start);
            more = comma != std::wstring::npos;
            const std::wstring token = Trimmed(list.substr(start, more ? comma - start : std::wstring::npos));
            DWORD byte = 0;
            if (!ReadHexNumber(token, 2, byte)) return fault = "\"" + AnsiFromWide(token) + "\" is not a hex byte", false;
            bytes.push_back(static_cast<BYTE>(byte));
            start = comma + 1;
        }
        return true;
    }

    const std::wstring& text_;
    size_t at_ = 0;
};

}  // namespace

bool ParseRegText(const std::wstring& text, RegFile& file, std::string* failure) {
    const std::vector<std::wstring> lines = Lines(text);
    RegFile parsed;
    std::string fault;
    size_t number = 0;
    for (size_t i = 0; i < lines.size() && fault.empty(); ++i) {
        number = i + 1;
        std::wstring line = Trimmed(lines[i]);
        if (i == 0) {
            if (line != kHeader) fault = "not a registry editor 5.00 file (no \"Windows Registry Editor Version 5.00\")";
        } else if (line.empty() || line[0] == L';') {
            continue;
        } else if (line[0] == L'[') {
            RegSection section;
            if (ReadSection(line, section, fault)) parsed.sections.push_back(section);
        } else if (line[0] != L'"' && line[0] != L'@') {
            fault = "neither a [key] line, a value nor a comment";
        } else if (parsed.sections.empty()) {
            fault = "a value before the first [key] line";
        } else {
            // Long hex data goes on in the next line after a backslash.
            while (fault.empty() && line.back() == L'\\') {
                if (i + 1 == lines.size()) fault = "the value goes on past the end of the file";
                line.pop_back();
                if (i + 1 < lines.size()) line += Trimmed(lines[++i]);
            }
            RegValue value;
            if (fault.empty() && ValueLine(line).Read(value, fault)) parsed.sections.back().values.push_back(value);
        }
    }
    if (!fault.empty()) {
        if (failure) *failure = "line " + std::to_string(number) + ": " + fault;
        return false;
    }
    file = parsed;
    return true;
}

bool ReadRegFile(const std::string& path, RegFile& file, std::string* failure) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        if (failure) *failure = ErrorText("cannot read the file");
        return false;
    }
    if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') {
        if (failure) *failure = "line 1: not UTF-16LE text with its byte-order mark";
        return false;
    }
    if (bytes.size() % 2 != 0) {
        if (failure) *failure = "the file ends in half a character";
        return false;
    }
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(&text[0], bytes.data() + 2, bytes.size() - 2);
    return ParseRegText(text, file, failure);
}

bool RegFileHoldsKey(const RegFile& file, const std::string& location, std::string* failure) {
    if (file.sections.empty()) {
        if (failure) *failure = "the copy holds no key";
        return false;
    }
    const std::wstring& key = file.sections[0].path;
    std::string held = AnsiFromWide(key);
    for (const RegSection& section : file.sections)
        if (section.path != key && section.path.compare(0, key.size() + 1, key + L"\\") != 0)
            held = AnsiFromWide(section.path);
    if (held == location) return true;
    if (failure) *failure = "the copy holds " + held + ", which is not " + location + " or below it";
    return false;
}

bool RegFileHoldsValue(const RegFile& file, const std::string& location, std::string* failure) {
    if (file.sections.size() != 1 || file.sections[0].values.size() != 1) {
        if (failure) *failure = "the copy holds more or less than one value";
        return false;
    }
    const std::string held = AnsiFromWide(file.sections[0].path) + "|" + AnsiFromWide(file.sections[0].values[0].name);
    if (held == location) return true;
    if (failure) *failure = "the copy holds " + held + ", not " + location;
    return false;
}

bool RegKeyPresent(const RegSection& section, RegistryView view) {
    WideRegistryKey key;
    const LONG status = key.Open(section.root, section.sub_key, QueryAccessMask(view));
    return status == ERROR_SUCCESS || status == ERROR_ACCESS_DENIED;
}

bool RegValuePresent(const RegSection& section, const RegValue& value, RegistryView view) {
    WideRegistryKey key;
    return key.Open(section.root, section.sub_key, QueryAccessMask(view)) == ERROR_SUCCESS &&
           RegQueryValueExW(key.Get(), value.name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool ImportRegFile(const RegFile& file, RegistryView view, std::string* failure) {
    for (const RegSection& section : file.sections) {
        WideRegistryKey key;
        LONG status = key.Create(section.root, section.sub_key, ViewAccess(KEY_WRITE, view));
        if (status != ERROR_SUCCESS) {
            if (failure) *failure = ErrorText("cannot create the key " + AnsiFromWide(section.path), status);
            return false;
        }
        for (const RegValue& value : section.values) {
            status = RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type,
                                    value.data.empty() ? nullptr : value.data.data(),
                                    static_cast<DWORD>(value.data.size()));
            if (status != ERROR_SUCCESS) {
                if (failure)
                    *failure = ErrorText("cannot write the value " + AnsiFromWide(section.path) + "|" +
                                             AnsiFromWide(value.name),
                                         status);
                return false;
            }
        }
    }
    return true;
}
