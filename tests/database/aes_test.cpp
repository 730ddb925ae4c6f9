#include "aes_cipher.h"
#include "check.h"
#include "record_codec.h"

namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t length) {
    return BytesToHex(std::string(reinterpret_cast<const char*>(bytes), length));
}

// The standard's own examples: Appendix B and Appendix C.1 of FIPS-197.
struct KnownAnswer {
    const char* key;
    const char* plain;
    const char* cipher;
};
const KnownAnswer kKnownAnswers[] = {
    {"2B7E151628AED2A6ABF7158809CF4F3C", "3243F6A8885A308D313198A2E0370734", "3925841D02DC09FBDC118597196A0B32"},
    {"000102030405060708090A0B0C0D0E0F", "00112233445566778899AABBCCDDEEFF", "69C4E0D86A7B0430D8CDB78070B4C55A"},
};

}  // namespace

TEST(AesMatchesTheStandardsTestVectors) {
    for (const KnownAnswer& vector : kKnownAnswers) {
        CONTEXT(vector.key);
        const std::string key = HexToBytes(vector.key);
        const auto* key_bytes = reinterpret_cast<const std::uint8_t*>(key.data());
        const std::string plain = HexToBytes(vector.plain), cipher = HexToBytes(vector.cipher);
        std::uint8_t block[16];

        AESCipher encryptor;
        encryptor.SetEncryptionKey(key_bytes);
        encryptor.EncryptBlock(reinterpret_cast<const std::uint8_t*>(plain.data()), block);
        CHECK_EQ(Hex(block, 16), std::string(vector.cipher));

        AESCipher decryptor;
        decryptor.SetDecryptionKey(key_bytes);
        decryptor.DecryptBlock(reinterpret_cast<const std::uint8_t*>(cipher.data()), block);
        CHECK_EQ(Hex(block, 16), std::string(vector.plain));
    }
}

TEST(AesDecryptionInvertsEncryptionInPlace) {
    const std::uint8_t key[16] = {'S', 'I', 'D', '_', 'M', 'W', '_', 'F', 'L', '.', 'h', 'd', 'b'};
    AESCipher encryptor, decryptor;
    encryptor.SetEncryptionKey(key);
    decryptor.SetDecryptionKey(key);
    for (int seed = 0; seed < 64; ++seed) {
        std::uint8_t block[16], original[16];
        for (int i = 0; i < 16; ++i) original[i] = block[i] = static_cast<std::uint8_t>(seed * 37 + i * 11);
        encryptor.EncryptBlock(block, block);
        decryptor.DecryptBlock(block, block);
        CHECK_EQ(Hex(block, 16), Hex(original, 16));
    }
}
