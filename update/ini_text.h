// The control file read with the rules of Windows profile files: sections and keys compare
// without regard to case, a value is the text after the first "=" without surrounding blanks
// and without one pair of enclosing quotation marks, and at most 2,047 bytes are read (never
// half a double-byte character). A section or key that appears twice counts where it appears
// first. Lines are code page 936 text ending in CRLF or LF.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace update {

class IniText {
public:
    static IniText Parse(const std::string& bytes);
    // An unreadable file reads as an empty one: every key gives its default. A control file is
    // a few kilobytes; only its first MiB is read.
    static IniText Load(const std::string& path);

    std::string String(const std::string& section, const std::string& key, const std::string& fallback = "") const;
    // A decimal number with optional sign, or hexadecimal after "0x" or "$"; anything else
    // (or a missing key) gives fallback.
    int32_t Integer(const std::string& section, const std::string& key, int32_t fallback) const;
    // Yes only when the integer value is 1.
    bool YesNo(const std::string& section, const std::string& key) const;

private:
    const std::string* Find(const std::string& section, const std::string& key) const;
    // "SECTION\nKEY", upper-cased; the first occurrence of a key in a section counts.
    std::map<std::string, std::string> values_;
};

// Every two-character sequence "\n" becomes a line break "\r\n" (a double-byte character whose
// second byte is a backslash starts no such sequence).
std::string MessageText(const std::string& value);
// The integer rules alone, for the release tool's own checks and the tests.
bool ParseIniInteger(const std::string& text, int32_t& value);

}  // namespace update
