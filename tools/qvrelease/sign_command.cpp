#include <cstdio>
#include <stdexcept>

#include "commands.h"
#include "release_crypto.h"
#include "release_files.h"
#include "release_folder.h"

namespace {

// filesize is a 32-bit signed number in the program.
constexpr long long kLargestFile = 0x7FFFFFFF;

void TakeFileFacts(const std::string& folder, ReleaseEntry& entry) {
    const std::string path = PathInFolder(folder, entry.name);
    const long long size = RegularFileSize(path);
    if (size < 0) throw std::runtime_error(entry.Label() + ": no such file in " + folder);
    if (size == 0) throw std::runtime_error(entry.Label() + ": the file is empty");
    if (size > kLargestFile) throw std::runtime_error(entry.Label() + ": the file is larger than filesize can say (2 GiB)");
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
    for (const ReleaseEntry& entry : entries)
        std::printf("%s: %d bytes, sha256 %s\n", entry.Label().c_str(), entry.file_size, entry.sha256.c_str());
    std::printf("signed %s: %s\n", control_path.c_str(), kSignatureFileName);
    return kExitDone;
}
