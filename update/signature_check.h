// Proof of origin for what the update downloads, with the platform's own cryptography
// (CryptoAPI's RSA and AES provider, present from Windows XP SP3 on): SHA-256 of files and the
// RSA signature (PKCS#1 v1.5 over SHA-256) of the control file.
#pragma once

#include <windows.h>
#include <wincrypt.h>

#include <string>
#include <vector>

namespace update {

// SHA-256 of bytes added piece by piece.
class Sha256Hasher {
public:
    Sha256Hasher();
    ~Sha256Hasher();
    Sha256Hasher(const Sha256Hasher&) = delete;
    Sha256Hasher& operator=(const Sha256Hasher&) = delete;

    bool Ready() const { return hash_ != 0; }
    void Add(const void* data, DWORD size);
    // Lower-case hex; "" when the provider is missing or failed.
    std::string HexDigest();

private:
    HCRYPTPROV provider_ = 0;
    HCRYPTHASH hash_ = 0;
    bool failed_ = false;
};

// "" when the file cannot be read.
std::string Sha256OfFile(const std::string& path);
// The signature file holds the signature as OpenSSL writes it (big-endian); public_key_der is a
// DER SubjectPublicKeyInfo. False with the reason in failure.
bool VerifyFileSignature(const std::string& file_path, const std::string& signature_path,
                         const std::vector<unsigned char>& public_key_der, std::string* failure);

}  // namespace update
