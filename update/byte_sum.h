// The control file's checksum: 0xFFFFFFFF plus every byte of the file, modulo 2^32.
#pragma once

#include <cstdint>
#include <string>

namespace update {

// Read in blocks of 4,096 bytes; a file that cannot be opened gives 0xFFFFFFFF.
uint32_t ByteSumOfFile(const std::string& path);

}  // namespace update
