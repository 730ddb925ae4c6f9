// Proof of origin for what the update downloads, with the platform's own cryptography
// (CryptoAPI's RSA and AES provider, present from Windows XP SP3 on): SHA-256 of files and the
// detached RSA signature (PKCS#1 v1.5 over SHA-256) of a file, as OpenSSL makes it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "crypto_handles.h"

namespace update {

// SHA-256 of bytes added piece by piece.
class Sha256Hasher {
public:
    Sha256Hasher();

    void Add(const void* data, DWORD size);
    // Lower-case hex; "" when the provider is missing or hashing failed.
    std::string HexDigest();

private:
    CryptoProvider provider_;
    CryptoHash hash_;
    bool failed_ = false;
};

// Lower-case hex, read in blocks; "" when the file cannot be read.
std::string Sha256OfFile(const std::string& path);

// True when the signature file holds the signature of the file's raw bytes by the private half
// of public_key_der. The signature file is as "openssl dgst -sha256 -sign key.pem" writes it
// (big-endian); public_key_der is a DER SubjectPublicKeyInfo. False with the reason in failure.
bool VerifyFileSignature(const std::string& file_path, const std::string& signature_path,
                         const std::vector<unsigned char>& public_key_der, std::string* failure);

}  // namespace update
