#include "expected_traces.h"

#include <windows.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string Utf8ToAnsi(const std::string& utf8) {
    if (utf8.empty()) return utf8;
    const int wide_length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(wide_length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], wide_length);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wide_length, &ansi[0], length, nullptr, nullptr);
    return ansi;
}

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

std::vector<std::string> ReadUtf8Lines(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(Utf8ToAnsi(line));
    }
    return lines;
}

std::vector<ExpectedTrace> ReadExpectedAnalysis(const std::string& path) {
    std::vector<ExpectedTrace> traces;
    for (const std::string& line : ReadUtf8Lines(path)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) throw std::runtime_error("no kind in line \"" + line + "\" of " + path);
        traces.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return traces;
}

std::string WithProfilePlaceholder(const std::string& text) {
    // Only ASCII letters are lowered, so byte positions stay those of text.
    const std::string users = "c:\\users\\";
    const size_t start = AsciiLower(text).find(users);
    if (start == std::string::npos) return text;
    const size_t end = text.find('\\', start + users.size());
    if (end == std::string::npos) return text;
    return text.substr(0, start) + "<PROFILE>" + text.substr(end);
}
