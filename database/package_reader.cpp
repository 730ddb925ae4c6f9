#include "package_reader.h"

#include "errors.h"
#include "splitters.h"

namespace {

std::int32_t LittleEndian32(const unsigned char bytes[4]) {
    return static_cast<std::int32_t>(std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                     std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
}

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
    std::string base = component.substr(0, component.find('.'));
    for (char& c : base)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
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

TPackageReader::TPackageReader(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {
    if (!file_) throw EFileOpenError(path);
    std::fseek(file_, 0, SEEK_END);
    remaining_ = std::ftell(file_);
    std::fseek(file_, 0, SEEK_SET);
}

TPackageReader::~TPackageReader() { std::fclose(file_); }

void TPackageReader::ReadExactly(void* out, std::size_t length) {
    if (static_cast<long long>(length) > remaining_ || std::fread(out, 1, length, file_) != length) throw EReadError();
    remaining_ -= static_cast<long long>(length);
}

bool TPackageReader::Next(PackageEntry& entry) {
    if (remaining_ <= 0) return false;
    unsigned char length_byte;
    unsigned char sizes[8];

    ReadExactly(&length_byte, 1);
    entry.folder.assign(length_byte, '\0');
    if (length_byte) ReadExactly(&entry.folder[0], length_byte);

    ReadExactly(&length_byte, 1);
    entry.name.assign(length_byte, '\0');
    if (length_byte) ReadExactly(&entry.name[0], length_byte);

    ReadExactly(sizes, sizeof sizes);
    entry.unpacked_size = LittleEndian32(sizes);
    const std::int32_t data_length = LittleEndian32(sizes + 4);
    if (data_length < 1 || data_length > remaining_) throw EReadError();
    entry.data.assign(static_cast<std::size_t>(data_length), '\0');
    ReadExactly(&entry.data[0], entry.data.size());
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
