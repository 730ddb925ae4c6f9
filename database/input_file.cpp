#include "input_file.h"

#include "errors.h"

namespace {

// The file's length in bytes (64-bit: a 32-bit long would fail beyond 2 GB), or -1.
long long LengthOf(std::FILE* file) {
#ifdef _WIN32
    if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
    const long long length = _ftelli64(file);
    return _fseeki64(file, 0, SEEK_SET) == 0 ? length : -1;
#else
    if (fseeko(file, 0, SEEK_END) != 0) return -1;
    const long long length = ftello(file);
    return fseeko(file, 0, SEEK_SET) == 0 ? length : -1;
#endif
}

}  // namespace

InputFile::InputFile(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_) throw EFileOpenError(path);
    const long long length = LengthOf(file_);
    if (length < 0) {
        std::fclose(file_);
        throw EFileOpenError(path);
    }
    remaining_ = static_cast<std::uint64_t>(length);
}

InputFile::~InputFile() { std::fclose(file_); }

void InputFile::ReadExactly(void* out, std::size_t length) {
    if (length > remaining_ || std::fread(out, 1, length, file_) != length) throw EReadError();
    remaining_ -= length;
}

std::string InputFile::ReadText(std::uint64_t length) {
    if (length > remaining_) throw EReadError();
    std::string text(static_cast<std::size_t>(length), '\0');
    if (length) ReadExactly(&text[0], text.size());
    return text;
}

std::uint32_t InputFile::ReadLittleEndian32() {
    unsigned char bytes[4];
    ReadExactly(bytes, sizeof bytes);
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}
