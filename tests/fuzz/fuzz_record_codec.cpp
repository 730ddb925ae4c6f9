// Fuzzes the record line decoder. The input is a key (the database file's name), a line break,
// and a record line. Every line decodes or raises a database error; a decoded record is whole
// blocks; and what the maker enciphers deciphers back to itself.
#include <cstdint>
#include <string>

#include "aes_cipher.h"
#include "errors.h"
#include "fuzz_scratch.h"
#include "record_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\n');
    const std::string key = cut == std::string::npos ? std::string() : input.substr(0, cut);
    const std::string line = cut == std::string::npos ? input : input.substr(cut + 1);

    try {
        const std::string bytes = HexToBytes(line);
        FuzzExpect(bytes.size() == (line.size() + 1) / 2, "two digits make one byte");
    } catch (const EDatabaseError&) {
    }
    try {
        const std::string plain = DecryptRecord(line, key);
        FuzzExpect(!plain.empty() && plain.size() % AESCipher::kBlockLength == 0, "a record is whole blocks");
        FuzzExpect(plain.size() == (line.size() + 1) / 2 - 4, "a record is the line after its length field");
    } catch (const EDatabaseError&) {
    }
    const std::string round_trip = DecryptRecord(EncryptRecord(line, key), key);
    FuzzExpect(round_trip.compare(0, line.size(), line) == 0, "a record deciphers to what was enciphered");
    return 0;
}
