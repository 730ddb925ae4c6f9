#include "unpacked_package.h"

#include <algorithm>

#include "category_files.h"
#include "errors.h"
#include "file_codec.h"
#include "file_system.h"
#include "package_reader.h"
#include "record_codec.h"
#include "text_rules.h"

namespace {

constexpr std::size_t kMostDamagedLinesReported = 100;

constexpr char kWorkingFolder[] = "SID_UP";
constexpr char kDecodedText[] = "decoded.UPhdb";

}  // namespace

bool DecodedFile::Clean() const {
    return fault.empty() &&
           std::all_of(records.begin(), records.end(), [](const DecodedRecord& r) { return r.fault.empty(); });
}

UnpackedPackage::UnpackedPackage(const std::string& package_path) : folder_(JoinPath(scratch_.Path(), kWorkingFolder)) {
    TPackageReader reader(package_path);
    PackageEntry entry;
    while (reader.Next(entry))
        if (std::find(entry_names_.begin(), entry_names_.end(), entry.name) == entry_names_.end())
            entry_names_.push_back(entry.name);
    if (!UnpackPackage(package_path, folder_)) throw EFileOpenError(package_path);
}

bool UnpackedPackage::Holds(const std::string& name) const {
    return std::find(entry_names_.begin(), entry_names_.end(), name) != entry_names_.end();
}

DecodedFile UnpackedPackage::Decode(const std::string& name) const {
    DecodedFile file;
    file.name = name;
    const std::string text_path = JoinPath(scratch_.Path(), kDecodedText);
    std::string text;
    try {
        DecompressHdb(JoinPath(folder_, name), text_path);
        if (!ReadWholeFile(text_path, text)) throw EFileOpenError(text_path);
    } catch (const EDatabaseError& error) {
        file.fault = error.what();
        return file;
    }
    // A damaged file is reported up to a number of damaged lines: a hostile text of line breaks
    // alone would otherwise give a fault per byte.
    std::size_t line_number = 0, damaged_lines = 0;
    ForEachTextLine(text, [&](const std::string& line) {
        DecodedRecord record;
        record.line = ++line_number;
        try {
            record.text = Trimmed(DecryptRecord(line, name));
        } catch (const EDatabaseError& error) {
            record.fault = error.what();
            if (++damaged_lines == kMostDamagedLinesReported) record.fault += " (further lines not read)";
        }
        file.records.push_back(std::move(record));
        return damaged_lines < kMostDamagedLinesReported;
    });
    return file;
}
