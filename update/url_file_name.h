// The local name of a downloaded file, taken from its URL, and the names that must never be
// written: a name that leaves the folder or that Windows reads as a device.
#pragma once

#include <string>

namespace update {

// The part after the last "/", then after the last "\", then after the last "?", read as code
// page 936 characters (a double-byte character whose second byte is "\" is not split).
std::string LocalFileNameFromUrl(const std::string& url);
// False for "", ".", "..", a name with \ / : * ? " < > | or a control character, a lead byte
// without its trail byte, a name ending in a dot or blank, and device names (CON, PRN, AUX, NUL,
// CONIN$, CONOUT$, COM1-9, LPT1-9, in any case, with any extension).
bool IsSafeLocalFileName(const std::string& name);

}  // namespace update
