// The public key built into a program by kestrune_embed_update_key is the DER
// SubjectPublicKeyInfo of the PEM it was given, byte for byte (as `openssl pkey -outform DER`
// writes it and CryptoAPI decodes it).
#include <string>

#include "check.h"
#include "fixtures.h"
#include "update_public_key.h"

TEST(embedded_key_is_the_der_form_of_the_pem) {
    const std::string embedded(reinterpret_cast<const char*>(update::kUpdatePublicKey), update::kUpdatePublicKeySize);
    CHECK_EQ(embedded, ReadFile(TEST_PUBLIC_KEY_DER));
}
