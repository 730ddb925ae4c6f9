#include <cstdio>

#include "code_page.h"
#include "commands.h"
#include "fault_log.h"
#include "unpacked_package.h"

namespace {

// "[name]", then one line per record, then a blank line. A line that does not decode shows
// as "! line N: error", so the listing still says where the damage is.
bool PrintFile(const DecodedFile& file) {
    std::printf("[%s]\n", Cp936ToUtf8OrEscaped(file.name).c_str());
    if (!file.fault.empty()) std::printf("! damaged database file: %s\n", Cp936ToUtf8OrEscaped(file.fault).c_str());
    for (const DecodedRecord& record : file.records) {
        if (record.fault.empty())
            std::printf("%s\n", Cp936ToUtf8OrEscaped(record.text).c_str());
        else
            std::printf("! line %zu: %s\n", record.line, Cp936ToUtf8OrEscaped(record.fault).c_str());
    }
    std::printf("\n");
    return file.Clean();
}

}  // namespace

int RunDump(const std::string& package_path, const StringList& file_names) {
    const UnpackedPackage package(package_path);
    bool clean = true;
    for (const std::string& name : file_names) {
        if (!package.Holds(name)) {
            std::fprintf(stderr, "%s: no file %s in the package\n", DisplayPath(package_path).c_str(),
                         Quoted(name).c_str());
            clean = false;
        }
    }
    for (const std::string& name : file_names.empty() ? package.EntryNames() : file_names)
        if (package.Holds(name)) clean = PrintFile(package.Decode(name)) && clean;
    return clean ? 0 : 1;
}
