#include "byte_sum.h"

#include <cstdio>

namespace update {

uint32_t ByteSumOfFile(const std::string& path) {
    uint32_t sum = 0xFFFFFFFFu;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return sum;
    unsigned char block[4096];
    size_t count;
    while ((count = std::fread(block, 1, sizeof block, file)) > 0)
        for (size_t i = 0; i < count; ++i) sum += block[i];
    std::fclose(file);
    return sum;
}

}  // namespace update
