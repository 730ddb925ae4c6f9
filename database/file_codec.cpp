#include "file_codec.h"

#include <cstdint>

#include "errors.h"
#include "file_system.h"
#include "package_reader.h"
#include "zlib_inflater.h"

namespace {

constexpr std::size_t kUnpackPieceLength = 1024;
// Deflate cannot expand data by more than this factor; a larger claim is a damaged length field.
constexpr std::uint64_t kMaxInflationFactor = 1032;

void UnpackEntry(const PackageEntry& entry, const std::string& folder) {
    CheckPackageEntryNames(entry);
    if (!entry.folder.empty()) CreateDirectories(folder + entry.folder);

    AtomicFileWriter output(folder + entry.name);
    ZlibInflater inflater(entry.data.data(), entry.data.size());
    char piece[kUnpackPieceLength];
    while (const std::size_t got = inflater.Read(piece, sizeof piece)) output.Write(piece, got);
    output.Commit();
}

}  // namespace

bool UnpackPackage(const std::string& package_path, const std::string& folder_path) {
    if (package_path.empty() || folder_path.empty() || !FileExists(package_path)) return false;
    const std::string folder = IncludeTrailingSeparator(folder_path);
    if (DirectoryExists(folder)) DeleteFolderTree(folder);
    CreateDirectories(folder);

    TPackageReader reader(package_path);
    PackageEntry entry;
    while (reader.Next(entry)) UnpackEntry(entry, folder);
    return true;
}

bool DecompressHdb(const std::string& source_path, const std::string& target_path) {
    if (!FileExists(source_path)) return false;
    std::string source;
    if (!ReadWholeFile(source_path, source)) throw EFileOpenError(source_path);
    if (source.size() < 4) throw EReadError();

    const auto* header = reinterpret_cast<const unsigned char*>(source.data());
    const std::uint32_t text_length = std::uint32_t(header[0]) | std::uint32_t(header[1]) << 8 |
                                      std::uint32_t(header[2]) << 16 | std::uint32_t(header[3]) << 24;
    const std::size_t compressed_length = source.size() - 4;
    if (text_length > compressed_length * kMaxInflationFactor)
        throw EZlibError("Damaged database file: its length field exceeds what its data can hold");

    std::string text(text_length, '\0');
    std::size_t filled = 0;
    if (text_length > 0 || compressed_length > 0) {
        ZlibInflater inflater(source.data() + 4, compressed_length);
        while (filled < text.size()) {
            const std::size_t got = inflater.Read(&text[filled], text.size() - filled);
            if (got == 0) break;
            filled += got;
        }
        char extra;
        if (filled < text.size() || inflater.Read(&extra, 1) != 0)
            throw EZlibError("Damaged database file: its text is not the length its header gives");
    }

    AtomicFileWriter output(target_path);
    output.Write(text.data(), text.size());
    output.Commit();
    return true;
}
