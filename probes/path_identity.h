// One spelling per path, so that "C:\.", "C:\\", "C:\/", "C:\Program Files\..", short 8.3 names,
// trailing separators and letter case all compare as the folder they name.
#pragma once

#include <string>

// The full path (GetFullPathNameA: "." and ".." resolved, "/" read as "\"), in its long form
// when it holds a short name ("~") and exists (or the long form of its longest existing parent with the rest appended),
// without trailing separators except a drive root's ("C:\"), and upper-cased by the
// single-byte rule. Empty for an empty or unusable path.
std::string CanonicalPath(const std::string& path);

// canonical lies strictly below folder (both canonical): "C:\A\B" is inside "C:\A", "C:\AB" is not.
bool IsStrictlyInside(const std::string& canonical, const std::string& folder);

// A drive root ("C:\") or a network share's root ("\\SERVER\SHARE"), canonical form.
bool IsVolumeRoot(const std::string& canonical);
