#include "fuzz_scratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "file_system.h"

namespace {

class ScratchFolder {
public:
    ScratchFolder() {
        const char* base = std::getenv("TMPDIR");
        path_ = JoinPath(base ? base : "/tmp", "kestrune-fuzz-" + std::to_string(getpid()));
        DeleteFolderTree(path_);
        if (!CreateDirectories(path_)) {
            std::fprintf(stderr, "cannot create the scratch folder %s\n", path_.c_str());
            std::abort();
        }
    }
    ~ScratchFolder() { DeleteFolderTree(path_); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

std::string ScratchPath(const std::string& name) {
    static const ScratchFolder folder;
    return JoinPath(folder.Path(), name);
}

void WriteScratchFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file && std::fwrite(data, 1, size, file) == size;
    if (!file || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::abort();
    }
}

void FuzzExpect(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "broken promise: %s\n", promise);
    std::abort();
}
