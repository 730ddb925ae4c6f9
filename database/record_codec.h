// Record lines of the database files: hexadecimal text of a 4-byte length field followed by
// the record's plain text enciphered with AES-128 (ECB) under the file name's key.
#pragma once

#include <cstdint>
#include <string>

// Two hexadecimal digits per byte; an odd last digit makes a byte of its own.
// Raises EConvertError on a pair that is not hexadecimal.
std::string HexToBytes(const std::string& text);
std::string BytesToHex(const std::string& bytes);

// The plain text of a record line, padding included. Raises EConvertError, EReadError
// (fewer than 4 bytes) or EAESError (ciphertext not a positive multiple of 16 bytes).
std::string DecryptRecord(const std::string& line, const std::string& key_text);

// The inverse, for the database maker: pads with zero bytes and writes the length field.
std::string EncryptRecord(const std::string& plain_text, const std::string& key_text);

