#include "release_files.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad()) throw std::runtime_error("cannot read " + path);
    return bytes;
}

void ReplaceFileInOneStep(const std::string& path, const std::string& bytes) {
    const std::string part = path + ".part";
    bool written;
    {
        std::ofstream file(part, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        written = static_cast<bool>(file.flush());
    }
    if (!written || std::rename(part.c_str(), path.c_str()) != 0) {
        std::remove(part.c_str());
        throw std::runtime_error("cannot write " + path);
    }
}

long long RegularFileSize(const std::string& path) {
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? static_cast<long long>(info.st_size) : -1;
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
    return !folder.empty() && folder.back() == '/' ? folder + name : folder + "/" + name;
}
