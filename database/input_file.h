// A file read once from start to end that knows how many bytes are left, so that every length
// field read from it is checked against the file before anything is allocated.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

class InputFile {
public:
    // Raises EFileOpenError when the file cannot be opened or its length found.
    explicit InputFile(const std::string& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::uint64_t Remaining() const { return remaining_; }

    // Raises EReadError when fewer than length bytes are left.
    void ReadExactly(void* out, std::size_t length);
    // The next length bytes; the length is checked before the string is made.
    std::string ReadText(std::uint64_t length);
    // A 4-byte little-endian length field.
    std::uint32_t ReadLittleEndian32();

private:
    std::FILE* file_;
    std::uint64_t remaining_ = 0;
};
