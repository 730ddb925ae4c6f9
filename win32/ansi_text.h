// Text between the ANSI code page (936 for this program) and UTF-16, for the wide Win32 calls:
// registry names, the kernel's key names, pending-rename paths, version resources.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring WideFromAnsi(const std::string& text) {
    if (text.empty()) return L"";
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// Characters without an ANSI spelling become the code page's default character; lossy says
// whether any did (or the conversion failed).
inline std::string AnsiFromWide(const std::wstring& text, bool* lossy = nullptr) {
    BOOL replaced = FALSE;
    std::string ansi;
    if (!text.empty()) {
        const int length =
            WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        if (length > 0) {
            ansi.assign(static_cast<size_t>(length), '\0');
            WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], length, nullptr,
                                &replaced);
        } else {
            replaced = TRUE;
        }
    }
    if (lossy) *lossy = replaced != FALSE;
    return ansi;
}
