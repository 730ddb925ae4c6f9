#include "system_file_owner.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "module_cache.h"
#include "text_rules.h"
#include "win32/ansi_text.h"
#include "win32/handles.h"

namespace {

// The CompanyName of the first translation the resource lists, or of US English.
std::string CompanyNameOf(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::string();
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return std::string();
    struct Translation {
        WORD language, code_page;
    };
    Translation* translations = nullptr;
    UINT length = 0;
    char block[64];
    if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) &&
        length >= sizeof(Translation))
        wsprintfA(block, "\\StringFileInfo\\%04x%04x\\CompanyName", translations[0].language,
                  translations[0].code_page);
    else
        lstrcpyA(block, "\\StringFileInfo\\040904b0\\CompanyName");
    char* company = nullptr;
    if (!VerQueryValueA(data.data(), block, reinterpret_cast<void**>(&company), &length) || !company) return std::string();
    return std::string(company, strnlen(company, length));
}

// Wine marks its own modules in the DOS stub.
bool IsWineModule(const std::string& path) {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file.IsOpen()) return false;
    char header[0x60] = {};
    DWORD read = 0;
    if (!ReadFile(file.Get(), header, sizeof header, &read, nullptr) || read < sizeof header) return false;
    return std::memcmp(header + 0x40, "Wine builtin DLL", 16) == 0 ||
           std::memcmp(header + 0x40, "Wine placeholder DLL", 20) == 0;
}

}  // namespace

bool IsProtectedBySystem(const std::string& path) {
    using SfcIsFileProtectedFunction = BOOL(WINAPI*)(HANDLE, LPCWSTR);
    const auto is_protected =
        AsFunction<SfcIsFileProtectedFunction>(GetModuleProc("sfc.dll", "SfcIsFileProtected"));
    if (!is_protected) return false;
    const std::wstring wide = WideFromAnsi(path);
    return !wide.empty() && is_protected(nullptr, wide.c_str());
}

bool IsMadeBySystemMaker(const std::string& path) {
    return ContainsExact(UpperCased(CompanyNameOf(path)), "MICROSOFT") || IsWineModule(path);
}
