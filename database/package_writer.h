// The database maker's side of the formats: compression and package writing. Only the
// maker's tool links this; the program itself only inflates.
#pragma once

#include <string>

#include "package_reader.h"

// One zlib stream of data at the best compression.
std::string ZlibCompress(const std::string& data);

// The database file form of a text: its length, then its zlib stream.
std::string CompressHdb(const std::string& text);

// Appends one entry in package form.
void AppendPackageEntry(std::string& package, const PackageEntry& entry);

// Appends the entry that stores contents under name, in the package's own folder.
void AppendStoredFile(std::string& package, const std::string& name, const std::string& contents);
