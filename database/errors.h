// Errors the database layer raises. Their texts are the ones users and callers see.
#pragma once

#include <stdexcept>
#include <string>

// Base of every error raised while reading the signature database.
class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Data ended before a length it announced: "Stream read error".
class EReadError : public EDatabaseError {
public:
    EReadError() : EDatabaseError("Stream read error") {}
};

// A hexadecimal pair that is not one: "'0xZZ' is not a valid integer value".
class EConvertError : public EDatabaseError {
public:
    explicit EConvertError(const std::string& digits)
        : EDatabaseError("'0x" + digits + "' is not a valid integer value") {}
};

// Ciphertext that is not a positive multiple of the block size.
class EAESError : public EDatabaseError {
public:
    EAESError() : EDatabaseError("Invalid buffer size for decryption") {}
};

// Damaged compressed data; the text is zlib's own where it gives one.
class EZlibError : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// An output file that could not be created or written.
class EFileCreateError : public EDatabaseError {
public:
    explicit EFileCreateError(const std::string& path)
        : EDatabaseError("Cannot create file \"" + path + "\"") {}
};

// A file that exists but cannot be opened for reading.
class EFileOpenError : public EDatabaseError {
public:
    explicit EFileOpenError(const std::string& path)
        : EDatabaseError("Cannot open file \"" + path + "\"") {}
};

// A package entry whose name would place a file or folder outside the working folder
// (empty, "..", a drive, a separator in a file name, a device name).
class EUnsafeEntryName : public EDatabaseError {
public:
    explicit EUnsafeEntryName(const std::string& name)
        : EDatabaseError("Unsafe package entry name \"" + name + "\": it must stay inside the working folder") {}
};

// A package without a single database file: unpacking it would leave the program an empty
// catalogue that looks like a working database.
class EEmptyPackage : public EDatabaseError {
public:
    EEmptyPackage() : EDatabaseError("The package holds no database files") {}
};
