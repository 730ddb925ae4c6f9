#include "wide_registry.h"

std::wstring WideFromAnsi(const std::string& text) {
    if (text.empty()) return L"";
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string AnsiFromWide(const std::wstring& text) {
    if (text.empty()) return "";
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &ansi[0], length, nullptr, nullptr);
    return ansi;
}
