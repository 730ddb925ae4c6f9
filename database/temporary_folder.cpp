#include "temporary_folder.h"

#include <cstdlib>

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

#include "errors.h"
#include "file_system.h"

namespace {

#ifdef _WIN32
// Wine hands Linux variables such as TMPDIR through; only the Windows ones name a Windows path.
constexpr const char* kTemporaryFolderVariables[] = {"TEMP", "TMP"};
constexpr char kFallbackTemporaryFolder[] = ".";
#else
constexpr const char* kTemporaryFolderVariables[] = {"TMPDIR"};
constexpr char kFallbackTemporaryFolder[] = "/tmp";
#endif

std::string SystemTemporaryFolder() {
    for (const char* variable : kTemporaryFolderVariables)
        if (const char* value = std::getenv(variable))
            if (*value) return value;
    return kFallbackTemporaryFolder;
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
    static int counter = 0;
    const std::string base = JoinPath(SystemTemporaryFolder(), "kestrune-" + std::to_string(getpid()) + "-");
    do {
        path_ = base + std::to_string(++counter);
    } while (DirectoryExists(path_) || FileExists(path_));
    if (!CreateDirectories(path_)) throw EFileCreateError(path_);
}

TemporaryFolder::~TemporaryFolder() { DeleteFolderTree(path_); }
