#include "local_file_facts_win.h"

#include <windows.h>

#include <vector>

#include "byte_sum.h"

namespace update {

namespace {

// The attributes of a file; a folder of that name counts as no file.
bool FileAttributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

int64_t WindowsFileFacts::Size(const std::string& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!FileAttributes(path, data)) return -1;
    return (static_cast<int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

uint32_t WindowsFileFacts::ByteSum(const std::string& path) const { return ByteSumOfFile(path); }

FileVersion WindowsFileFacts::Version(const std::string& path) const {
    FileVersion version;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (!size) return version;
    std::vector<char> data(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO) || info->dwSignature != 0xFEEF04BD)
        return version;
    version.high = static_cast<int32_t>(info->dwFileVersionMS);
    version.low = static_cast<int32_t>(info->dwFileVersionLS);
    version.valid = true;
    return version;
}

std::optional<UpdateTime> WindowsFileFacts::ModifiedTime(const std::string& path) const {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    FILETIME local = {};
    SYSTEMTIME parts = {};
    if (!FileAttributes(path, data) || !FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToSystemTime(&local, &parts))
        return std::nullopt;
    UpdateTime time = 0;
    // Two-second precision, as the file systems of old keep it.
    if (!EncodeUpdateTime(parts.wYear, parts.wMonth, parts.wDay, parts.wHour, parts.wMinute, parts.wSecond & ~1,
                          time))
        return std::nullopt;
    return time;
}

std::string WindowsFileFacts::ShortDate(UpdateTime time) const {
    int year = 0, month = 0, day = 0;
    if (!DecodeUpdateDate(time, year, month, day) || year < 1601) return "";
    SYSTEMTIME parts = {};
    parts.wYear = static_cast<WORD>(year);
    parts.wMonth = static_cast<WORD>(month);
    parts.wDay = static_cast<WORD>(day);
    char text[80] = {};
    if (!GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &parts, nullptr, text, sizeof text)) return "";
    return text;
}

}  // namespace update
