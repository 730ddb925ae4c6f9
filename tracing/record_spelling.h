// How a traced file or registry key is spelled in a signature record, and what keeps a text out
// of a record. Texts are code page 936: paths are split only at backslashes that are not the
// trail byte of a double-byte character, and only ASCII letters fold when names compare.
#pragma once

#include <string>
#include <vector>

#include "signature_source.h"

// The last name of a path ("C:\a\b.exe" gives "b.exe"), and the folder it lies in ("C:\a").
std::string LastPathName(const std::string& path);
std::string ParentPath(const std::string& path);

// Names compare in any ASCII letter case; trailing backslashes aside.
bool IsSamePath(const std::string& path, const std::string& other);
// path lies strictly inside folder.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// A per-user folder of the current user (its AppData, say) in every profile: itself, and the same
// place below each of the other profiles when it lies below the current profile.
std::vector<std::string> EveryProfilesFolder(const std::string& own_folder, const TraceMachineFacts& facts);

// The core-file record of a file: a path in a user's profile or in a machine folder whose place
// differs between machines begins with the folder's variable (%APPDATA%, %LOCALAPPDATA%,
// %USERPROFILE%, %PROGRAMDATA%, %COMMONPROGRAMFILES%, %PROGRAMFILES%, %WINDIR%), the deepest one
// first; the 32-bit system and program folders of 64-bit Windows are named by the 64-bit ones,
// which the analysis searches together with them. Any other path on the system drive stays as
// it is. False, with the reason, for a path off the system drive.
bool CoreFileRecordPath(const std::string& path, const TraceMachineFacts& facts, std::string& record,
                        std::string& problem);

// "ROOT|key path" of a traced key as a registry record names it. A key of the 32-bit half of
// 64-bit Windows is named by its shared name, without the Wow6432Node that redirection adds
// ("HKLM|SOFTWARE\Wow6432Node\Vendor" gives "HKLM|SOFTWARE\Vendor"): the analysis looks a record
// up in both views, so that name finds the key once, in the 32-bit view, and also finds the
// program's key on 32-bit Windows; the Wow6432Node name would not exist there.
std::string RegistryRecordKey(const std::string& traced_key);

// Why a text cannot be one field of a record (hdbtool's text rules, and the file system's
// replacement character for names without a code page 936 form), in UTF-8; empty when it can.
std::string FieldProblem(const std::string& cp936);

// The same for a value name, which a record puts in double quotes: a bar or a single quote is
// then part of the name, a double quote cannot be. The default value's empty name is fine.
std::string ValueNameProblem(const std::string& cp936);

// A code page 936 text for a comment line: UTF-8, control characters written as \xNN so that the
// comment stays on its line, bytes that are not code page 936 escaped the same way.
std::string CommentText(const std::string& cp936);
