#include "length_limits.h"

#include <zlib.h>

#include "errors.h"

std::uint64_t MaxCompressedLength() { return compressBound(static_cast<uLong>(kMaxUnpackedLength)); }

void CheckAnnouncedLength(const std::string& damaged, std::uint64_t announced, std::uint64_t compressed_length) {
    const std::string limit = std::to_string(kMaxUnpackedLength);
    if (compressed_length > MaxCompressedLength())
        throw EZlibError(damaged + ": it stores " + std::to_string(compressed_length) +
                         " compressed bytes, more than a file of at most " + limit + " bytes needs");
    if (announced > kMaxUnpackedLength)
        throw EZlibError(damaged + ": it announces " + std::to_string(announced) + " bytes, more than the " + limit +
                         " a database file may hold");
    if (announced > compressed_length * kMaxInflationFactor)
        throw EZlibError(damaged + ": it announces " + std::to_string(announced) + " bytes, more than its " +
                         std::to_string(compressed_length) + " compressed bytes can inflate to");
}
