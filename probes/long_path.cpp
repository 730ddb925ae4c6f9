#include "long_path.h"

#include <windows.h>

#include <vector>

#include "module_cache.h"

namespace {

using GetLongPathNameFunction = DWORD(WINAPI*)(LPCSTR short_path, LPSTR long_path, DWORD length);

// Converts into a buffer of length characters; the required length (terminating zero included)
// when it does not fit, 0 on failure.
DWORD Convert(GetLongPathNameFunction convert, const std::string& path, std::vector<char>& buffer, DWORD length) {
    // One byte beyond the length given, so the text always ends inside the buffer.
    buffer.assign(length + 1, '\0');
    return convert(path.c_str(), buffer.data(), length);
}

}  // namespace

std::string GetLongPath(const std::string& path) {
    const auto convert =
        AsFunction<GetLongPathNameFunction>(GetModuleProc("kernel32.dll", "GetLongPathNameA"));
    if (!convert) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return std::string();
    }
    std::vector<char> buffer;
    DWORD length = MAX_PATH;
    // A long form may still grow between two calls (a folder renamed); a few tries follow it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD result = Convert(convert, path, buffer, length);
        if (result == 0) return std::string();
        if (result < length) return std::string(buffer.data());
        length = result;
    }
    return std::string();
}

const std::string& LongPathCache::LongFormOf(const std::string& path) {
    const auto found = long_forms_.find(path);
    if (found != long_forms_.end()) return found->second;
    return long_forms_.emplace(path, GetLongPath(path)).first->second;
}
