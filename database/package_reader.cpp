#include "package_reader.h"

#include "errors.h"
#include "length_limits.h"
#include "splitters.h"
#include "text_rules.h"

namespace {

// Splits at "\" and "/" (never at the trail byte of a double-byte character).
bool HasSeparator(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c)) {
            ++i;
        } else if (c == '\\' || c == '/') {
            return true;
        }
    }
    return false;
}

bool IsDeviceName(const std::string& component) {
    const std::string base = UpperCased(component.substr(0, component.find('.')));
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

// One component of a stored path: a plain name, not "." or "..", no drive, no device.
bool IsSafeComponent(const std::string& component) {
    if (component.empty() || component == "." || component == "..") return false;
    if (component.find(':') != std::string::npos) return false;
    for (unsigned char c : component)
        if (c < 32) return false;
    return !IsDeviceName(component);
}

}  // namespace

TPackageReader::TPackageReader(const std::string& path) : file_(path) {}

bool TPackageReader::Next(PackageEntry& entry) {
    if (file_.Remaining() == 0) return false;
    unsigned char length_byte;

    file_.ReadExactly(&length_byte, 1);
    entry.folder = file_.ReadText(length_byte);
    file_.ReadExactly(&length_byte, 1);
    entry.name = file_.ReadText(length_byte);

    entry.unpacked_size = static_cast<std::int32_t>(file_.ReadLittleEndian32());
    const auto data_length = static_cast<std::int32_t>(file_.ReadLittleEndian32());
    if (data_length < 1 || static_cast<std::uint64_t>(data_length) > file_.Remaining()) throw EReadError();
    // A negative unpacked size reads as a huge one and is refused with it.
    CheckAnnouncedLength("Damaged package entry \"" + entry.name + "\"",
                         static_cast<std::uint32_t>(entry.unpacked_size), static_cast<std::uint64_t>(data_length));
    entry.data = file_.ReadText(static_cast<std::uint64_t>(data_length));
    return true;
}

void CheckPackageEntryNames(const PackageEntry& entry) {
    if (!IsSafeComponent(entry.name) || HasSeparator(entry.name)) throw EUnsafeEntryName(entry.name);
    if (entry.folder.empty()) return;
    // A folder may nest ("a\b\"), but it is relative and every component is a plain name.
    std::string component;
    for (std::size_t i = 0; i <= entry.folder.size(); ++i) {
        const unsigned char c = i < entry.folder.size() ? static_cast<unsigned char>(entry.folder[i]) : '\\';
        if (c == '\\' || c == '/') {
            const bool leading = i == 0;
            if (leading || (!component.empty() && !IsSafeComponent(component))) throw EUnsafeEntryName(entry.folder);
            component.clear();
        } else {
            component += static_cast<char>(c);
            if (IsLeadByte(c) && i + 1 < entry.folder.size()) component += entry.folder[++i];
        }
    }
}
