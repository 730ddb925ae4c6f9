#include "file_system.h"

#include "errors.h"
#include "splitters.h"

bool IsPathSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::size_t LastSeparator(const std::string& path) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
#ifdef _WIN32
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
#endif
        if (IsPathSeparator(path[i])) last = i;
    }
    return last;
}

bool EndsWithSeparator(const std::string& path) {
    return !path.empty() && LastSeparator(path) == path.size() - 1;
}

std::string WithoutTrailingSeparators(const std::string& path) {
    std::string trimmed = path;
    while (EndsWithSeparator(trimmed)) trimmed.pop_back();
    return trimmed;
}

std::string IncludeTrailingSeparator(const std::string& path) {
    if (EndsWithSeparator(path)) return path;
    return path + kPathSeparator;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return IncludeTrailingSeparator(folder) + name;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t last = LastSeparator(path);
    return last == std::string::npos ? path : path.substr(last + 1);
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    contents.clear();
    char buffer[64 * 1024];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, got);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path) : path_(path), temporary_path_(path + ".part") {
    file_ = std::fopen(temporary_path_.c_str(), "wb");
    if (!file_) throw EFileCreateError(path_);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (file_) {
        std::fclose(file_);
        DeleteFileAlways(temporary_path_);
    }
}

void AtomicFileWriter::Write(const void* data, std::size_t length) {
    if (length && std::fwrite(data, 1, length, file_) != length) throw EFileCreateError(path_);
}

void AtomicFileWriter::Commit() {
    const bool flushed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !ReplaceFileWith(temporary_path_, path_)) {
        DeleteFileAlways(temporary_path_);
        throw EFileCreateError(path_);
    }
}
