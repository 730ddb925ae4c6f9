// The file a service runs or loads, read from its image path as the service control manager
// reports it: a command line for a Win32 service, an NT-style path for a driver.
#pragma once

#include <string>

// The full Win32 path of the service's file, given the Windows folder ("C:\windows"):
// - "%SystemRoot%" and "%windir%" (any letter case) become the Windows folder; other variables
//   stay as written, since the system expands them in its own environment, not this process's;
// - a quoted path is taken without its quotes and what follows; unquoted, the path runs up to
//   and with the first ".exe" that ends a word (arguments follow it), else it is the whole text;
// - "\??\" and "\\?\" are dropped ("\??\UNC\" and "\\?\UNC\" become "\\"), "\SystemRoot\" is the
//   Windows folder, a path rooted without a drive ("\X\x.sys") is on the Windows folder's drive,
//   a relative one ("System32\drivers\x.sys") lies in the Windows folder, as the system loads
//   drivers, and one that starts with a variable left unexpanded stays as it is.
// Empty for an empty image path. "." and ".." and letter case are left for CanonicalPath.
std::string ServiceImageFile(const std::string& image_path, const std::string& windows_folder);
