#include "file_codec.h"

#include <algorithm>
#include <cstdint>

#include "errors.h"
#include "file_system.h"
#include "input_file.h"
#include "length_limits.h"
#include "package_reader.h"
#include "zlib_inflater.h"

namespace {

constexpr std::size_t kInflatePieceLength = 16 * 1024;
constexpr char kDamagedDatabaseFile[] = "Damaged database file";

// Inflates data into output piece by piece, stopping one byte past the announced length: a
// stream holding more or less than it announces is damage, and output is never committed then.
void InflateExactly(const std::string& data, std::uint64_t announced, AtomicFileWriter& output,
                    const std::string& damaged) {
    ZlibInflater inflater(data.data(), data.size());
    char piece[kInflatePieceLength];
    std::uint64_t written = 0;
    while (written < announced) {
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(sizeof piece, announced - written));
        const std::size_t got = inflater.Read(piece, wanted);
        if (got == 0)
            throw EZlibError(damaged + ": it holds " + std::to_string(written) + " bytes, fewer than the " +
                             std::to_string(announced) + " it announces");
        output.Write(piece, got);
        written += got;
    }
    if (inflater.Read(piece, 1) != 0)
        throw EZlibError(damaged + ": it holds more than the " + std::to_string(announced) + " bytes it announces");
}

void UnpackEntry(const PackageEntry& entry, const std::string& folder) {
    CheckPackageEntryNames(entry);
    if (!entry.folder.empty()) CreateDirectories(folder + entry.folder);

    AtomicFileWriter output(folder + entry.name);
    InflateExactly(entry.data, static_cast<std::uint32_t>(entry.unpacked_size), output,
                   "Damaged package entry \"" + entry.name + "\"");
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
    bool unpacked_any = false;
    while (reader.Next(entry)) {
        UnpackEntry(entry, folder);
        unpacked_any = true;
    }
    if (!unpacked_any) throw EEmptyPackage();
    return true;
}

bool DecompressHdb(const std::string& source_path, const std::string& target_path) {
    if (!FileExists(source_path)) return false;
    InputFile source(source_path);
    const std::uint32_t text_length = source.ReadLittleEndian32();
    const std::uint64_t compressed_length = source.Remaining();
    CheckAnnouncedLength(kDamagedDatabaseFile, text_length, compressed_length);
    const std::string compressed = source.ReadText(compressed_length);

    AtomicFileWriter output(target_path);
    // A file of four zero bytes is an empty text without a stream.
    if (text_length > 0 || compressed_length > 0) InflateExactly(compressed, text_length, output, kDamagedDatabaseFile);
    output.Commit();
    return true;
}
