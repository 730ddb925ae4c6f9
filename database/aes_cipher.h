// AES-128 block cipher (FIPS-197), table-driven. The records of the signature database
// are enciphered block by block with it; the maker's tool also enciphers.
#pragma once

#include <cstddef>
#include <cstdint>

class AESCipher {
public:
    static constexpr std::size_t kBlockLength = 16;
    static constexpr std::size_t kKeyLength = 16;

    // Expands the key once; the cipher can then process any number of blocks.
    void SetEncryptionKey(const std::uint8_t key[kKeyLength]);
    void SetDecryptionKey(const std::uint8_t key[kKeyLength]);

    // in and out may be the same block.
    void EncryptBlock(const std::uint8_t in[kBlockLength], std::uint8_t out[kBlockLength]) const;
    void DecryptBlock(const std::uint8_t in[kBlockLength], std::uint8_t out[kBlockLength]) const;

private:
    static constexpr int kRounds = 10;
    std::uint32_t round_keys_[4 * (kRounds + 1)] = {};
};
