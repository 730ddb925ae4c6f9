// SHA-256 and RSA signatures with Wine's CryptoAPI, against what OpenSSL made at build time:
// signed.bin (10,007 bytes), its signature by the test key, its digest, the test key's public
// half and another key's, in DER.
#include <windows.h>

#include "check.h"
#include "signature_check.h"
#include "transport_fixture.h"

using update::Sha256OfFile;
using update::VerifyFileSignature;

namespace {

std::vector<unsigned char> Bytes(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

std::string Signatures(const std::string& name) { return TestDataPath("signatures\\" + name); }

}  // namespace

TEST(Sha256OfFileMatchesKnownDigests) {
    ScratchTemporaryFolder scratch;
    WriteFile(scratch / "empty", "");
    WriteFile(scratch / "abc", "abc");
    // "openssl dgst -sha256 -r" writes the digest, a blank and the file's name.
    const std::string openssl_digest = ReadFile(Signatures("signed.sha256")).substr(0, 64);
    struct Case {
        std::string path;
        std::string digest;
    };
    const Case cases[] = {
        {scratch / "empty", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {scratch / "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {Signatures("signed.bin"), openssl_digest},  // several blocks and a part
        {scratch / "missing", ""},
        {scratch.Folder(), ""},  // a folder
    };
    for (const Case& row : cases) {
        CONTEXT(row.path);
        CHECK_EQ(Sha256OfFile(row.path), row.digest);
    }
}

TEST(SignatureVerification) {
    ScratchTemporaryFolder scratch;
    const std::string file = Signatures("signed.bin");
    const std::string signature = Signatures("signed.sig");
    const std::string contents = ReadFile(file);
    const std::string good_signature = ReadFile(signature);
    const std::vector<unsigned char> key = Bytes(ReadFile(Signatures("key.der")));
    const std::vector<unsigned char> other_key = Bytes(ReadFile(Signatures("other_key.der")));
    CHECK_EQ(good_signature.size(), size_t(256));

    std::string tampered = contents;
    tampered[5000] ^= 1;
    WriteFile(scratch / "tampered.bin", tampered);
    WriteFile(scratch / "longer.bin", contents + "\n");
    std::string flipped_signature = good_signature;
    flipped_signature[100] ^= 0x40;
    WriteFile(scratch / "flipped.sig", flipped_signature);
    WriteFile(scratch / "truncated.sig", good_signature.substr(0, 255));
    WriteFile(scratch / "garbage.sig", Pattern(256, 9));
    WriteFile(scratch / "empty.sig", "");
    WriteFile(scratch / "long.sig", Pattern(2000, 3));
    const std::vector<unsigned char> broken_key(key.begin(), key.begin() + 40);

    struct Case {
        const char* name;
        std::string file, signature;
        std::vector<unsigned char> key;
        const char* failure;  // nullptr : verified; else what the reason says
    };
    const Case cases[] = {
        {"good", file, signature, key, nullptr},
        {"one bit of the file changed", scratch / "tampered.bin", signature, key, "does not match"},
        {"a byte appended to the file", scratch / "longer.bin", signature, key, "does not match"},
        {"signed by another key", file, signature, other_key, "does not match"},
        {"one bit of the signature changed", file, scratch / "flipped.sig", key, "does not match"},
        {"truncated signature", file, scratch / "truncated.sig", key,
         "the signature has 255 bytes, a signature of the 2048-bit key has 256"},
        {"garbage signature", file, scratch / "garbage.sig", key, "does not match"},
        {"empty signature", file, scratch / "empty.sig", key, "is empty"},
        {"overlong signature", file, scratch / "long.sig", key, "is longer than any signature"},
        {"no signature file", file, scratch / "missing.sig", key, "cannot read the signature "},
        {"no signed file", scratch / "missing.bin", signature, key, "cannot read the signed file "},
        {"broken key", file, signature, broken_key, "the public key is no DER SubjectPublicKeyInfo"},
        {"no key", file, signature, {}, "the public key is no DER SubjectPublicKeyInfo"},
    };
    for (const Case& row : cases) {
        CONTEXT(row.name);
        std::string failure = "untouched";
        const bool verified = VerifyFileSignature(row.file, row.signature, row.key, &failure);
        CHECK_EQ(verified, row.failure == nullptr);
        if (row.failure) {
            CONTEXT(failure);
            CHECK(failure.find(row.failure) != std::string::npos);
        } else {
            CHECK_EQ(failure, std::string("untouched"));
        }
    }
    // The reason is optional.
    CHECK(!VerifyFileSignature(scratch / "tampered.bin", signature, key, nullptr));
}
