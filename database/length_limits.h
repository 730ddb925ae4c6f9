// Limits on the lengths a package entry or a database file announces. Every length field is
// checked against them before anything is allocated or written, so a damaged or hostile package
// can neither exhaust memory nor fill the disk.
#pragma once

#include <cstdint>
#include <string>

// The most a database file's text or a package entry may unpack to. The shipped files are a few
// KB and a full database's largest category file a few MB: 16 MiB leaves room to grow, yet bounds
// what one length field can make the program allocate or write, and what a text costs once it
// is split into lines (a string per line) stays within a 32-bit process's reach.
constexpr std::uint64_t kMaxUnpackedLength = 16u * 1024 * 1024;

// Deflate emits at most 258 bytes per 2 bits (a 1-bit length code and a 1-bit distance code),
// so no zlib stream inflates to more than 1032 times its own length.
constexpr std::uint64_t kMaxInflationFactor = 1032;

// The most compressed bytes an entry or a database file may store: what deflate makes of the
// largest text allowed (stored blocks add a few bytes per 16 KB).
std::uint64_t MaxCompressedLength();

// Raises EZlibError, its text beginning with `damaged` ("Damaged database file"), when
// `announced` bytes cannot come out of `compressed_length` bytes of one zlib stream, or either
// is beyond the limits above.
void CheckAnnouncedLength(const std::string& damaged, std::uint64_t announced, std::uint64_t compressed_length);
