#include "package_writer.h"

#include <zlib.h>

#include <cstdint>

#include "errors.h"

namespace {

void AppendLittleEndian32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i));
}

void AppendShortText(std::string& out, const std::string& text) {
    out += static_cast<char>(static_cast<unsigned char>(text.size()));
    out += text;
}

}  // namespace

std::string ZlibCompress(const std::string& data) {
    uLongf length = compressBound(static_cast<uLong>(data.size()));
    std::string compressed(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&compressed[0]), &length, reinterpret_cast<const Bytef*>(data.data()),
                  static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw EZlibError("Compression failed");
    compressed.resize(length);
    return compressed;
}

std::string CompressHdb(const std::string& text) {
    std::string file;
    AppendLittleEndian32(file, static_cast<std::uint32_t>(text.size()));
    return file + ZlibCompress(text);
}

void AppendPackageEntry(std::string& package, const PackageEntry& entry) {
    AppendShortText(package, entry.folder);
    AppendShortText(package, entry.name);
    AppendLittleEndian32(package, static_cast<std::uint32_t>(entry.unpacked_size));
    AppendLittleEndian32(package, static_cast<std::uint32_t>(entry.data.size()));
    package += entry.data;
}

void AppendStoredFile(std::string& package, const std::string& name, const std::string& contents) {
    PackageEntry entry;
    entry.name = name;
    entry.unpacked_size = static_cast<std::int32_t>(contents.size());
    entry.data = ZlibCompress(contents);
    AppendPackageEntry(package, entry);
}
