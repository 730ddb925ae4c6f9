#include "signature_check.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "win32/handles.h"

// XP SP3's RSA and AES provider has SHA-256; the headers show it only for later targets.
#ifndef CALG_SHA_256
#define CALG_SHA_256 0x0000800c
#endif

namespace update {

namespace {

constexpr size_t kBlock = 4096;
// A signature of a 2048- or 4096-bit key; anything longer is not one.
constexpr std::streamsize kLongestSignature = 1024;

HCRYPTPROV AcquireProvider() {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) return 0;
    return provider;
}

std::string Hex(const unsigned char* bytes, DWORD size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    for (DWORD i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

// Feeds the whole file to add; false when it cannot be read.
template <typename Add>
bool ReadInBlocks(const std::string& path, Add add) {
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsOpen()) return false;
    char block[kBlock];
    DWORD read = 0;
    while (ReadFile(file.Get(), block, sizeof block, &read, nullptr)) {
        if (read == 0) return true;
        add(block, read);
    }
    return false;
}

std::string SystemErrorText(const char* what) { return std::string(what) + " (error " + std::to_string(GetLastError()) + ")"; }

}  // namespace

Sha256Hasher::Sha256Hasher() : provider_(AcquireProvider()) {
    if (provider_ && !CryptCreateHash(provider_, CALG_SHA_256, 0, 0, &hash_)) hash_ = 0;
}

Sha256Hasher::~Sha256Hasher() {
    if (hash_) CryptDestroyHash(hash_);
    if (provider_) CryptReleaseContext(provider_, 0);
}

void Sha256Hasher::Add(const void* data, DWORD size) {
    if (hash_ && !CryptHashData(hash_, static_cast<const BYTE*>(data), size, 0)) failed_ = true;
}

std::string Sha256Hasher::HexDigest() {
    unsigned char digest[32];
    DWORD size = sizeof digest;
    if (!hash_ || failed_ || !CryptGetHashParam(hash_, HP_HASHVAL, digest, &size, 0)) return "";
    return Hex(digest, size);
}

std::string Sha256OfFile(const std::string& path) {
    Sha256Hasher hasher;
    if (!ReadInBlocks(path, [&](const char* data, DWORD size) { hasher.Add(data, size); })) return "";
    return hasher.HexDigest();
}

bool VerifyFileSignature(const std::string& file_path, const std::string& signature_path,
                         const std::vector<unsigned char>& public_key_der, std::string* failure) {
    std::string why;
    const auto fail = [&](const std::string& reason) {
        if (failure) *failure = reason;
        return false;
    };
    std::ifstream signature_file(signature_path, std::ios::binary);
    std::vector<unsigned char> signature(static_cast<size_t>(kLongestSignature) + 1);
    signature_file.read(reinterpret_cast<char*>(signature.data()), kLongestSignature + 1);
    signature.resize(static_cast<size_t>(signature_file.gcount()));
    if (signature.empty() || signature.size() > static_cast<size_t>(kLongestSignature))
        return fail("the signature file is empty or too long");

    const HCRYPTPROV provider = AcquireProvider();
    if (!provider) return fail(SystemErrorText("no RSA and AES cryptographic provider"));
    CERT_PUBLIC_KEY_INFO* info = nullptr;
    DWORD info_size = 0;
    HCRYPTKEY key = 0;
    HCRYPTHASH hash = 0;
    bool verified = false;
    if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_PUBLIC_KEY_INFO, public_key_der.data(),
                             static_cast<DWORD>(public_key_der.size()), CRYPT_DECODE_ALLOC_FLAG, nullptr, &info,
                             &info_size)) {
        why = SystemErrorText("the built-in public key cannot be read");
    } else if (!CryptImportPublicKeyInfo(provider, X509_ASN_ENCODING, info, &key)) {
        why = SystemErrorText("the built-in public key cannot be imported");
    } else if (!CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash)) {
        why = SystemErrorText("no SHA-256");
    } else if (!ReadInBlocks(file_path, [&](const char* data, DWORD size) {
                   CryptHashData(hash, reinterpret_cast<const BYTE*>(data), size, 0);
               })) {
        why = "the signed file cannot be read";
    } else {
        // CryptoAPI takes the signature's bytes in little-endian order.
        std::reverse(signature.begin(), signature.end());
        verified = CryptVerifySignatureA(hash, signature.data(), static_cast<DWORD>(signature.size()), key, nullptr, 0);
        if (!verified) why = "the signature does not match the file and the built-in key";
    }
    if (hash) CryptDestroyHash(hash);
    if (key) CryptDestroyKey(key);
    if (info) LocalFree(info);
    CryptReleaseContext(provider, 0);
    return verified || fail(why);
}

}  // namespace update
