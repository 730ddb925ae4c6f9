// An update folder as the maker publishes it: the control file qv_update.INF, the files its
// entries name (each under the local name its url gives, directly in the folder) and the
// detached signature qv_update.INF.sig.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern const char kControlFileName[];
extern const char kSignatureFileName[];

struct ReleaseEntry {
    int number = 0;        // K of [fileK]
    std::string name;      // the local name its url gives: the file in the folder
    std::string sha256;    // lower-case hex
    int32_t file_size = 0;

    std::string Section() const;  // "[fileK]"
    std::string Label() const;    // "[fileK] name"
};

// The entries 1..[files] count as the program reads them, with the sha256 and filesize the
// control file gives them. Throws std::runtime_error naming the fault: a missing or garbage
// count, an entry without url, a url whose local name is not a plain, safe file name, a
// byte-order mark (the program reads code page 936 and would not see the first section).
std::vector<ReleaseEntry> ReadReleaseEntries(const std::string& control_text);

// The control text with sha256= and filesize= of each entry set from entries: replaced where
// the first appearance of the section has them, added after its last key otherwise. Every
// other line, comment and line ending stays. Throws std::runtime_error when the program would
// not read the new values back (a section header the program reads otherwise).
std::string WithFileFacts(const std::string& control_text, const std::vector<ReleaseEntry>& entries);
