// Fuzzes the package reader and unpacker with whole packages. Every input ends in success or a
// database error; a package unpacks only when it holds files, each exactly the size its entry
// announces, and no half-written file stays behind.
#include <cstdint>
#include <map>
#include <string>

#include "errors.h"
#include "file_codec.h"
#include "file_system.h"
#include "fuzz_scratch.h"
#include "package_reader.h"

namespace {

// The announced size of every entry read before the package ends or breaks; a later entry of
// the same name replaces an earlier one, as in the working folder.
std::map<std::string, std::uint32_t> AnnouncedSizes(const std::string& package) {
    std::map<std::string, std::uint32_t> sizes;
    try {
        TPackageReader reader(package);
        PackageEntry entry;
        while (reader.Next(entry)) sizes[entry.name] = static_cast<std::uint32_t>(entry.unpacked_size);
    } catch (const EDatabaseError&) {
    }
    return sizes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string package = ScratchPath("REZ.hdb3"), work = ScratchPath("SID_UP");
    WriteScratchFile(package, data, size);
    bool unpacked = false;
    try {
        unpacked = UnpackPackage(package, work);
        FuzzExpect(unpacked, "an existing package is unpacked or refused with an error");
    } catch (const EDatabaseError&) {
    }
    const std::map<std::string, std::uint32_t> sizes = AnnouncedSizes(package);
    FuzzExpect(!unpacked || !sizes.empty(), "a package without files is refused");
    for (const auto& entry : sizes) {
        const std::string path = JoinPath(work, entry.first);
        FuzzExpect(!FileExists(path + ".part"), "no half-written file stays behind");
        if (!unpacked) continue;
        std::string contents;
        FuzzExpect(ReadWholeFile(path, contents), "every entry of an unpacked package is a file");
        FuzzExpect(contents.size() == entry.second, "an unpacked file is the size its entry announces");
    }
    return 0;
}
