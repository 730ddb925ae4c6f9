// The maker's side of the update's proof of origin, with OpenSSL's libcrypto: the SHA-256 of
// files and the RSA signature (PKCS#1 v1.5 over SHA-256) that the program checks with CryptoAPI.
#pragma once

#include <memory>
#include <string>

typedef struct evp_pkey_st EVP_PKEY;

// Lower-case hex, read in blocks; throws std::runtime_error when the file cannot be read.
std::string Sha256HexOfFile(const std::string& path);

// An RSA key of 2,048 to 8,192 bits read from a PEM file: the program reads signatures of at
// most 1,024 bytes, and a shorter key is too weak to vouch for what it installs.
class ReleaseKey {
public:
    // A passphrase-protected private key asks for its passphrase on the terminal. Both throw
    // std::runtime_error naming the file when it holds no such key.
    static ReleaseKey ReadPrivate(const std::string& pem_path);
    static ReleaseKey ReadPublic(const std::string& pem_path);

    // The signature, big-endian, byte for byte what `openssl dgst -sha256 -sign` writes.
    std::string Sign(const std::string& bytes) const;
    bool Verifies(const std::string& bytes, const std::string& signature) const;

private:
    struct Free {
        void operator()(EVP_PKEY* key) const;
    };
    ReleaseKey(EVP_PKEY* key, const std::string& pem_path);

    std::unique_ptr<EVP_PKEY, Free> key_;
    std::string pem_path_;
};
