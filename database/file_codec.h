// Unpacking the database package and decompressing database files (".hdb": a 4-byte
// little-endian text length followed by one zlib stream) into their text form.
#pragma once

#include <string>

// Unpacks every entry into folder (which is first removed and created anew); every file lands
// directly in folder, stored folders are only created. False for an empty argument or a missing
// package. Raises EReadError, EZlibError, EFileCreateError or EUnsafeEntryName on a damaged
// package; the entry at fault is not written, entries before it stay.
bool UnpackPackage(const std::string& package_path, const std::string& folder);

// Decompresses one database file into target_path. False when the source is missing. Raises
// EReadError (shorter than 4 bytes) or EZlibError (damaged, or not exactly the announced length);
// the target is then not written.
bool DecompressHdb(const std::string& source_path, const std::string& target_path);

