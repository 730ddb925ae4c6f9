// Owners of CryptoAPI handles (provider, hash, key) and of memory CryptoAPI allocated with
// LocalAlloc: each is released when it goes out of scope. Zero counts as empty.
#pragma once

#include <windows.h>
#include <wincrypt.h>

namespace update {

// A provider context without key containers, enough for hashing and verifying.
class CryptoProvider {
public:
    CryptoProvider() {
        if (!CryptAcquireContextA(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT)) provider_ = 0;
    }
    ~CryptoProvider() {
        if (provider_) CryptReleaseContext(provider_, 0);
    }
    CryptoProvider(const CryptoProvider&) = delete;
    CryptoProvider& operator=(const CryptoProvider&) = delete;

    bool IsOpen() const { return provider_ != 0; }
    HCRYPTPROV Get() const { return provider_; }

private:
    HCRYPTPROV provider_ = 0;
};

class CryptoHash {
public:
    CryptoHash() = default;
    ~CryptoHash() {
        if (hash_) CryptDestroyHash(hash_);
    }
    CryptoHash(const CryptoHash&) = delete;
    CryptoHash& operator=(const CryptoHash&) = delete;

    // The out parameter of CryptCreateHash.
    HCRYPTHASH* Receive() { return &hash_; }
    bool IsOpen() const { return hash_ != 0; }
    HCRYPTHASH Get() const { return hash_; }

private:
    HCRYPTHASH hash_ = 0;
};

class CryptoKey {
public:
    CryptoKey() = default;
    ~CryptoKey() {
        if (key_) CryptDestroyKey(key_);
    }
    CryptoKey(const CryptoKey&) = delete;
    CryptoKey& operator=(const CryptoKey&) = delete;

    // The out parameter of CryptImportPublicKeyInfo.
    HCRYPTKEY* Receive() { return &key_; }
    HCRYPTKEY Get() const { return key_; }

private:
    HCRYPTKEY key_ = 0;
};

// A structure CryptoAPI allocated for the caller (CRYPT_DECODE_ALLOC_FLAG), freed with LocalFree.
template <typename Structure>
class LocalMemory {
public:
    LocalMemory() = default;
    ~LocalMemory() {
        if (pointer_) LocalFree(pointer_);
    }
    LocalMemory(const LocalMemory&) = delete;
    LocalMemory& operator=(const LocalMemory&) = delete;

    // The out parameter of CryptDecodeObjectEx.
    Structure** Receive() { return &pointer_; }
    Structure* Get() const { return pointer_; }

private:
    Structure* pointer_ = nullptr;
};

}  // namespace update
