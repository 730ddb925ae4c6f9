#include "record_codec.h"

#include <algorithm>
#include <cstring>

#include "aes_cipher.h"
#include "errors.h"

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decodes the hexadecimal text into out, which holds (length + 1) / 2 bytes.
void DecodeHex(const char* text, std::size_t length, std::uint8_t* out) {
    for (std::size_t i = 0; i < length; i += 2) {
        const std::size_t digits = (i + 1 < length) ? 2 : 1;
        int value = 0;
        for (std::size_t k = 0; k < digits; ++k) {
            const int digit = HexDigitValue(text[i + k]);
            if (digit < 0) throw EConvertError(std::string(text + i, digits));
            value = value * 16 + digit;
        }
        *out++ = static_cast<std::uint8_t>(value);
    }
}

// The first 16 bytes of the key text, zero-padded.
void MakeKey(const std::string& key_text, std::uint8_t key[AESCipher::kKeyLength]) {
    std::memset(key, 0, AESCipher::kKeyLength);
    std::memcpy(key, key_text.data(), std::min(key_text.size(), AESCipher::kKeyLength));
}

constexpr std::size_t kLengthFieldLength = 4;

}  // namespace

std::string HexToBytes(const std::string& text) {
    std::string bytes((text.size() + 1) / 2, '\0');
    DecodeHex(text.data(), text.size(), reinterpret_cast<std::uint8_t*>(&bytes[0]));
    return bytes;
}

std::string BytesToHex(const std::string& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text;
}

std::string DecryptRecord(const std::string& line, const std::string& key_text) {
    // Every pair is checked before the length tests, as the whole line is converted first.
    const std::size_t byte_count = (line.size() + 1) / 2;
    if (byte_count < kLengthFieldLength) {
        std::uint8_t scratch[kLengthFieldLength];
        DecodeHex(line.data(), line.size(), scratch);
        throw EReadError();
    }
    std::uint8_t length_field[kLengthFieldLength];
    DecodeHex(line.data(), 2 * kLengthFieldLength, length_field);

    // The ciphertext is decoded straight into the result and deciphered in place.
    std::string plain(byte_count - kLengthFieldLength, '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(&plain[0]);
    DecodeHex(line.data() + 2 * kLengthFieldLength, line.size() - 2 * kLengthFieldLength, data);
    if (plain.empty() || plain.size() % AESCipher::kBlockLength != 0) throw EAESError();

    std::uint8_t key[AESCipher::kKeyLength];
    MakeKey(key_text, key);
    AESCipher cipher;
    cipher.SetDecryptionKey(key);
    for (std::size_t offset = 0; offset < plain.size(); offset += AESCipher::kBlockLength)
        cipher.DecryptBlock(data + offset, data + offset);
    return plain;
}

std::string EncryptRecord(const std::string& plain_text, const std::string& key_text) {
    const std::size_t blocks =
        std::max<std::size_t>(1, (plain_text.size() + AESCipher::kBlockLength - 1) / AESCipher::kBlockLength);
    std::string buffer(kLengthFieldLength + blocks * AESCipher::kBlockLength, '\0');
    const auto length = static_cast<std::uint32_t>(plain_text.size());
    for (std::size_t i = 0; i < kLengthFieldLength; ++i) buffer[i] = static_cast<char>(length >> (8 * i));
    std::memcpy(&buffer[kLengthFieldLength], plain_text.data(), plain_text.size());

    std::uint8_t key[AESCipher::kKeyLength];
    MakeKey(key_text, key);
    AESCipher cipher;
    cipher.SetEncryptionKey(key);
    auto* data = reinterpret_cast<std::uint8_t*>(&buffer[kLengthFieldLength]);
    for (std::size_t offset = 0; offset < blocks * AESCipher::kBlockLength; offset += AESCipher::kBlockLength)
        cipher.EncryptBlock(data + offset, data + offset);
    return BytesToHex(buffer);
}
