// Unpacking the database package and decompressing database files (".hdb": a 4-byte
// little-endian text length followed by one zlib stream) into their text form.
#pragma once

#include <string>

// Unpacks every entry into folder (which is first removed and created anew); every file lands
// directly in folder, stored folders are only created. Each file is inflated piece by piece and
// must be exactly its announced size. False for an empty argument or a missing package. Raises
// EEmptyPackage when the package holds no entry, and EReadError, EZlibError (a length beyond
// length_limits.h, or data that is not the announced size), EFileCreateError or EUnsafeEntryName
// on a damaged package; the entry at fault is not written, entries before it stay.
bool UnpackPackage(const std::string& package_path, const std::string& folder);

// Decompresses one database file into target_path, piece by piece. False when the source is
// missing. Raises EReadError (shorter than 4 bytes) or EZlibError (damaged, a length beyond
// length_limits.h, or not exactly the announced length); the target is then not written.
bool DecompressHdb(const std::string& source_path, const std::string& target_path);
