#include <windows.h>

#include "code_page_platform.h"

namespace {

constexpr UINT kChineseCodePage = 936;

bool ToWide(UINT code_page, const std::string& in, std::wstring& wide) {
    wide.clear();
    if (in.empty()) return true;
    const int length = static_cast<int>(in.size());
    const int count = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, in.data(), length, nullptr, 0);
    if (count <= 0) return false;
    wide.assign(static_cast<std::size_t>(count), L'\0');
    return MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, in.data(), length, &wide[0], count) == count;
}

// The UTF-8 code page takes no flags and no default-character report; code page 936 takes both,
// so that a character it lacks is an error rather than a question mark.
bool FromWide(UINT code_page, const std::wstring& wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    const bool exact = code_page != CP_UTF8;
    const DWORD flags = exact ? WC_NO_BEST_FIT_CHARS : 0;
    const int length = static_cast<int>(wide.size());
    BOOL used_default = FALSE;
    BOOL* used_default_out = exact ? &used_default : nullptr;
    const int count = WideCharToMultiByte(code_page, flags, wide.data(), length, nullptr, 0, nullptr, used_default_out);
    if (count <= 0 || used_default) return false;
    out.assign(static_cast<std::size_t>(count), '\0');
    return WideCharToMultiByte(code_page, flags, wide.data(), length, &out[0], count, nullptr, used_default_out) ==
               count &&
           !used_default;
}

}  // namespace

namespace code_page_platform {

bool ConvertUtf8ToCp936(const std::string& utf8, std::string& cp936) {
    std::wstring wide;
    return ToWide(CP_UTF8, utf8, wide) && FromWide(kChineseCodePage, wide, cp936);
}

bool ConvertCp936ToUtf8(const std::string& cp936, std::string& utf8) {
    std::wstring wide;
    return ToWide(kChineseCodePage, cp936, wide) && FromWide(CP_UTF8, wide, utf8);
}

}  // namespace code_page_platform
