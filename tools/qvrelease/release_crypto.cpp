#include "release_crypto.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace {

constexpr int kWeakestKeyBits = 2048;
constexpr int kLongestKeyBits = 8192;

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct FreeContext {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using ContextPointer = std::unique_ptr<EVP_MD_CTX, FreeContext>;

// OpenSSL's reason for the last failure, emptying its error queue.
std::string OpenSslReason() {
    const unsigned long error = ERR_peek_last_error();
    const char* reason = error ? ERR_reason_error_string(error) : nullptr;
    ERR_clear_error();
    return reason ? std::string(" (") + reason + ")" : "";
}

const unsigned char* Bytes(const std::string& text) { return reinterpret_cast<const unsigned char*>(text.data()); }

}  // namespace

std::string Sha256HexOfFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    ContextPointer context(EVP_MD_CTX_new());
    if (!file || !context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("cannot read " + path);
    char block[1 << 16];
    while (file.read(block, sizeof block) || file.gcount() > 0)
        EVP_DigestUpdate(context.get(), block, static_cast<size_t>(file.gcount()));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (file.bad() || EVP_DigestFinal_ex(context.get(), digest, &size) != 1)
        throw std::runtime_error("cannot read " + path);
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 15];
    }
    return hex;
}

void ReleaseKey::Free::operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }

ReleaseKey::ReleaseKey(EVP_PKEY* key, const std::string& pem_path) : key_(key), pem_path_(pem_path) {
    if (EVP_PKEY_base_id(key) != EVP_PKEY_RSA) throw std::runtime_error(pem_path + " holds no RSA key");
    const int bits = EVP_PKEY_bits(key);
    if (bits < kWeakestKeyBits || bits > kLongestKeyBits)
        throw std::runtime_error(pem_path + " holds an RSA key of " + std::to_string(bits) +
                                 " bits; the update takes 2048 to 8192 bits");
}

ReleaseKey ReleaseKey::ReadPrivate(const std::string& pem_path) {
    std::unique_ptr<std::FILE, CloseFile> file(std::fopen(pem_path.c_str(), "rb"));
    if (!file) throw std::runtime_error("cannot open the key " + pem_path);
    EVP_PKEY* key = PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr);
    if (!key) throw std::runtime_error("no private key in " + pem_path + OpenSslReason());
    return ReleaseKey(key, pem_path);
}

ReleaseKey ReleaseKey::ReadPublic(const std::string& pem_path) {
    std::unique_ptr<std::FILE, CloseFile> file(std::fopen(pem_path.c_str(), "rb"));
    if (!file) throw std::runtime_error("cannot open the key " + pem_path);
    EVP_PKEY* key = PEM_read_PUBKEY(file.get(), nullptr, nullptr, nullptr);
    if (!key) throw std::runtime_error("no public key (BEGIN PUBLIC KEY) in " + pem_path + OpenSslReason());
    return ReleaseKey(key, pem_path);
}

std::string ReleaseKey::Sign(const std::string& bytes) const {
    ContextPointer context(EVP_MD_CTX_new());
    size_t size = 0;
    if (!context || EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key_.get()) != 1 ||
        EVP_DigestSign(context.get(), nullptr, &size, Bytes(bytes), bytes.size()) != 1)
        throw std::runtime_error("cannot sign with " + pem_path_ + OpenSslReason());
    std::string signature(size, '\0');
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(&signature[0]), &size, Bytes(bytes),
                       bytes.size()) != 1)
        throw std::runtime_error("cannot sign with " + pem_path_ + OpenSslReason());
    signature.resize(size);
    return signature;
}

bool ReleaseKey::Verifies(const std::string& bytes, const std::string& signature) const {
    ContextPointer context(EVP_MD_CTX_new());
    const bool verified =
        context && EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key_.get()) == 1 &&
        EVP_DigestVerify(context.get(), Bytes(signature), signature.size(), Bytes(bytes), bytes.size()) == 1;
    ERR_clear_error();  // a mismatch leaves its reason queued
    return verified;
}
