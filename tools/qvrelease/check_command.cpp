#include <cstdio>
#include <stdexcept>

#include "commands.h"
#include "release_crypto.h"
#include "release_files.h"
#include "release_folder.h"

namespace {

// "" when the signature file holds the key's signature of the control text.
std::string SignatureFault(const std::string& folder, const std::string& control_text, const ReleaseKey& key) {
    const std::string path = PathInFolder(folder, kSignatureFileName);
    if (RegularFileSize(path) < 0) return "missing";
    if (!key.Verifies(control_text, FileBytes(path)))
        return "does not match " + std::string(kControlFileName) + " and the public key";
    return "";
}

// "" when the file in the folder is what the control file says of it.
std::string EntryFault(const std::string& folder, const ReleaseEntry& entry) {
    const std::string path = PathInFolder(folder, entry.name);
    const long long size = RegularFileSize(path);
    if (size < 0) return "missing from the folder";
    if (entry.sha256.empty()) return "the control file gives no sha256";
    if (size != entry.file_size)
        return "size " + std::to_string(size) + " differs from the control file's filesize " +
               std::to_string(entry.file_size);
    if (Sha256HexOfFile(path) != entry.sha256) return "SHA-256 differs from the control file's sha256";
    return "";
}

bool Report(const std::string& what, const std::string& fault) {
    std::printf("%s: %s\n", what.c_str(), fault.empty() ? "ok" : fault.c_str());
    return fault.empty();
}

}  // namespace

int CheckCommand(const std::string& folder, const std::string& public_key_pem) {
    const ReleaseKey key = ReleaseKey::ReadPublic(public_key_pem);
    const std::string control_text = FileBytes(PathInFolder(folder, kControlFileName));
    int faults = 0;
    if (!Report(kSignatureFileName, SignatureFault(folder, control_text, key))) ++faults;
    for (const ReleaseEntry& entry : ReadReleaseEntries(control_text))
        if (!Report(entry.Label(), EntryFault(folder, entry))) ++faults;
    if (faults > 0) {
        std::fprintf(stderr, "qvrelease: %s is not ready to publish: %d fault%s\n", folder.c_str(), faults,
                     faults == 1 ? "" : "s");
        return kExitNotReady;
    }
    std::printf("%s is ready to publish\n", folder.c_str());
    return kExitDone;
}
