#include "signature_check.h"

#include <algorithm>

#include "win32/handles.h"

// XP SP3's RSA and AES provider has SHA-256; the headers show it only for later targets.
#ifndef CALG_SHA_256
#define CALG_SHA_256 0x0000800c
#endif

namespace update {

namespace {

constexpr DWORD kBlockSize = 4096;
// The signature of an RSA key of 8,192 bits; a longer file holds no signature.
constexpr size_t kLongestSignature = 1024;

std::string Hex(const unsigned char* bytes, DWORD size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

// Hands the file to take block by block until take returns false or the file ends; false when
// the file cannot be opened or read.
template <typename Take>
bool ReadInBlocks(const std::string& path, Take take) {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsOpen()) return false;
    unsigned char block[kBlockSize];
    DWORD read = 0;
    while (ReadFile(file.Get(), block, sizeof block, &read, nullptr)) {
        if (read == 0 || !take(block, read)) return true;
    }
    return false;
}

std::string WithSystemError(const std::string& text) {
    return text + " (error " + std::to_string(GetLastError()) + ")";
}

// At most kLongestSignature + 1 bytes of the signature file: enough to see that it is too long.
bool ReadSignature(const std::string& path, std::vector<unsigned char>* signature) {
    return ReadInBlocks(path, [&](const unsigned char* data, DWORD size) {
        signature->insert(signature->end(), data, data + size);
        return signature->size() <= kLongestSignature;
    });
}

}  // namespace

Sha256Hasher::Sha256Hasher() {
    if (!provider_.IsOpen() || !CryptCreateHash(provider_.Get(), CALG_SHA_256, 0, 0, hash_.Receive())) failed_ = true;
}

void Sha256Hasher::Add(const void* data, DWORD size) {
    if (!failed_ && !CryptHashData(hash_.Get(), static_cast<const BYTE*>(data), size, 0)) failed_ = true;
}

std::string Sha256Hasher::HexDigest() {
    unsigned char digest[32];
    DWORD size = sizeof digest;
    if (failed_ || !CryptGetHashParam(hash_.Get(), HP_HASHVAL, digest, &size, 0)) return "";
    return Hex(digest, size);
}

std::string Sha256OfFile(const std::string& path) {
    Sha256Hasher hasher;
    const bool read = ReadInBlocks(path, [&](const unsigned char* data, DWORD size) {
        hasher.Add(data, size);
        return true;
    });
    return read ? hasher.HexDigest() : "";
}

bool VerifyFileSignature(const std::string& file_path, const std::string& signature_path,
                         const std::vector<unsigned char>& public_key_der, std::string* failure) {
    const auto fail = [&](const std::string& reason) {
        if (failure) *failure = reason;
        return false;
    };
    std::vector<unsigned char> signature;
    if (!ReadSignature(signature_path, &signature))
        return fail(WithSystemError("cannot read the signature " + signature_path));
    if (signature.empty()) return fail("the signature " + signature_path + " is empty");
    if (signature.size() > kLongestSignature)
        return fail("the signature " + signature_path + " is longer than any signature");

    CryptoProvider provider;
    if (!provider.IsOpen()) return fail(WithSystemError("no RSA and AES cryptographic provider"));
    LocalMemory<CERT_PUBLIC_KEY_INFO> key_info;
    DWORD key_info_size = 0;
    if (public_key_der.empty() ||
        !CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, public_key_der.data(),
                             static_cast<DWORD>(public_key_der.size()), CRYPT_DECODE_ALLOC_FLAG, nullptr,
                             key_info.Receive(), &key_info_size))
        return fail(WithSystemError("the public key is no DER SubjectPublicKeyInfo"));
    CryptoKey key;
    if (!CryptImportPublicKeyInfo(provider.Get(), X509_ASN_ENCODING, key_info.Get(), key.Receive()))
        return fail(WithSystemError("the public key is no RSA key this system can use"));
    DWORD key_bits = 0, key_bits_size = sizeof key_bits;
    if (CryptGetKeyParam(key.Get(), KP_KEYLEN, reinterpret_cast<BYTE*>(&key_bits), &key_bits_size, 0) &&
        signature.size() != key_bits / 8)
        return fail("the signature has " + std::to_string(signature.size()) + " bytes, a signature of the " +
                    std::to_string(key_bits) + "-bit key has " + std::to_string(key_bits / 8));

    CryptoHash hash;
    if (!CryptCreateHash(provider.Get(), CALG_SHA_256, 0, 0, hash.Receive()))
        return fail(WithSystemError("no SHA-256"));
    bool hashed = true;
    const bool read = ReadInBlocks(file_path, [&](const unsigned char* data, DWORD size) {
        hashed = CryptHashData(hash.Get(), data, size, 0) != FALSE;
        return hashed;
    });
    if (!read) return fail(WithSystemError("cannot read the signed file " + file_path));
    if (!hashed) return fail(WithSystemError("cannot hash the signed file " + file_path));
    // CryptoAPI takes the signature's bytes in little-endian order.
    std::reverse(signature.begin(), signature.end());
    const DWORD signature_size = static_cast<DWORD>(signature.size());
    if (!CryptVerifySignatureA(hash.Get(), signature.data(), signature_size, key.Get(), nullptr, 0))
        return fail("the signature does not match " + file_path + " and the public key");
    return true;
}

}  // namespace update
