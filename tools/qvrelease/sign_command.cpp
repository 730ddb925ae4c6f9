#include <cstdio>
#include <stdexcept>

#include "byte_sum.h"
#include "commands.h"
#include "cp936_text.h"
#include "release_crypto.h"
#include "release_files.h"
#include "release_folder.h"

namespace {

// filesize is a 32-bit signed number in the program.
constexpr long long kLargestFile = 0x7FFFFFFF;

bool IsReleaseFile(const std::string& name) {
    const std::string upper = update::UpperAscii(name);
    return upper == update::UpperAscii(kControlFileName) || upper == update::UpperAscii(kSignatureFileName);
}

void TakeFileFacts(const std::string& folder, ReleaseEntry& entry) {
    // Signing rewrites these two after their hashes would have been taken.
    if (IsReleaseFile(entry.name))
        throw std::runtime_error(entry.Label() + ": the control file and its signature cannot be entries");
    const std::string path = PathInFolder(folder, entry.name);
    const long long size = RegularFileSize(path);
    if (size < 0) throw std::runtime_error(entry.Label() + ": no such file in " + folder);
    if (size == 0) throw std::runtime_error(entry.Label() + ": the file is empty");
    if (size > kLargestFile)
        throw std::runtime_error(entry.Label() + ": the file is larger than filesize can say (2 GiB)");
    entry.sha256 = Sha256HexOfFile(path);
    entry.file_size = static_cast<int32_t>(size);
}

}  // namespace

int SignCommand(const std::string& folder, const std::string& private_key_pem) {
    // Everything that can fail comes before the first write.
    const ReleaseKey key = ReleaseKey::ReadPrivate(private_key_pem);
    const std::string control_path = PathInFolder(folder, kControlFileName);
    const std::string original = FileBytes(control_path);
    std::vector<ReleaseEntry> entries = ReadReleaseEntries(original);
    for (ReleaseEntry& entry : entries) TakeFileFacts(folder, entry);
    const std::string signed_text = WithFileFacts(original, entries);
    const std::string signature = key.Sign(signed_text);

    ReplaceFileInOneStep(control_path, signed_text);
    ReplaceFileInOneStep(PathInFolder(folder, kSignatureFileName), signature);
    // The byte sum is what newchecksum= must say for the program to compare an installed copy
    // (such as REZ.hdb3) with this file; the maker sets it where an entry should compare that way.
    for (const ReleaseEntry& entry : entries) {
        const uint32_t byte_sum = update::ByteSumOfFile(PathInFolder(folder, entry.name));
        std::printf("%s: %d bytes, sha256 %s, byte sum 0x%08X\n", entry.Label().c_str(), entry.file_size,
                    entry.sha256.c_str(), static_cast<unsigned>(byte_sum));
    }
    std::printf("signed %s, signature in %s\n", control_path.c_str(), kSignatureFileName);
    return kExitDone;
}
