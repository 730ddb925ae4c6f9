// The public key that must have signed the update's control file, built into the program
// (DER SubjectPublicKeyInfo). The build chooses the key: the maker's for what ships, the test
// key for the tests' own builds.
#pragma once

namespace update {

extern const unsigned char kUpdatePublicKey[];
extern const unsigned kUpdatePublicKeySize;

}  // namespace update
