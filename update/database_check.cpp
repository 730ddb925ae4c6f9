#include "database_check.h"

#include "errors.h"
#include "unpacked_package.h"

namespace update {

std::string DatabasePackageFault(const std::string& package_path) {
    try {
        UnpackedPackage package(package_path);
        if (package.EntryNames().empty()) return "the package holds no database file";
        for (const std::string& name : package.EntryNames()) {
            const DecodedFile file = package.Decode(name);
            if (!file.fault.empty()) return name + ": " + file.fault;
            for (const DecodedRecord& record : file.records)
                if (!record.fault.empty()) return name + " line " + std::to_string(record.line) + ": " + record.fault;
        }
    } catch (const EDatabaseError& error) {
        return error.what();
    }
    return "";
}

}  // namespace update
