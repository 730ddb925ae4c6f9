// Fuzzes the decompression of database files. Every input ends in success or a database error;
// the text written is exactly the length the header announces, and after an error the target
// is not there, not even half-written.
#include <cstdint>
#include <string>

#include "errors.h"
#include "file_codec.h"
#include "file_system.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string source = ScratchPath("SID_SW_LI.hdb"), target = ScratchPath("SID_SW_LI.UPhdb");
    WriteScratchFile(source, data, size);
    DeleteFileAlways(target);
    try {
        FuzzExpect(DecompressHdb(source, target), "an existing file is decompressed or refused with an error");
        FuzzExpect(size >= 4, "a file shorter than its length field is refused");
        const std::uint32_t announced = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 |
                                        std::uint32_t(data[2]) << 16 | std::uint32_t(data[3]) << 24;
        std::string text;
        FuzzExpect(ReadWholeFile(target, text), "the text is written");
        FuzzExpect(text.size() == announced, "the text is the length its header announces");
    } catch (const EDatabaseError&) {
        FuzzExpect(!FileExists(target) && !FileExists(target + ".part"), "a refused file leaves no text behind");
    }
    return 0;
}
