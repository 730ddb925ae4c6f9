#include "aes_cipher.h"

#include <array>

namespace {

using Byte = std::uint8_t;
using Word = std::uint32_t;

constexpr Byte Times2(Byte a) { return static_cast<Byte>((a << 1) ^ ((a & 0x80) ? 0x1B : 0)); }

constexpr Byte Multiply(Byte a, Byte b) {
    Byte product = 0;
    for (; b; b >>= 1, a = Times2(a))
        if (b & 1) product ^= a;
    return product;
}

constexpr Byte RotateLeft(Byte b, int n) { return static_cast<Byte>((b << n) | (b >> (8 - n))); }
constexpr Word RotateRight(Word w, int n) { return n == 0 ? w : (w >> n) | (w << (32 - n)); }

// The S-box and all lookup tables are computed at compile time from the field arithmetic,
// so no hand-copied table can hold a typo.
struct Tables {
    std::array<Byte, 256> sbox{}, inverse_sbox{};
    std::array<Word, 256> encrypt[4]{}, decrypt[4]{};
};

constexpr Tables MakeTables() {
    Tables t;
    for (int x = 0; x < 256; ++x) {
        Byte inverse = 0;
        for (int y = 1; y < 256 && x; ++y)
            if (Multiply(static_cast<Byte>(x), static_cast<Byte>(y)) == 1) inverse = static_cast<Byte>(y);
        const Byte s = inverse ^ RotateLeft(inverse, 1) ^ RotateLeft(inverse, 2) ^ RotateLeft(inverse, 3) ^
                       RotateLeft(inverse, 4) ^ 0x63;
        t.sbox[x] = s;
        t.inverse_sbox[s] = static_cast<Byte>(x);
    }
    for (int x = 0; x < 256; ++x) {
        const Byte s = t.sbox[x], i = t.inverse_sbox[x];
        const Word e = Word(Multiply(s, 2)) << 24 | Word(s) << 16 | Word(s) << 8 | Multiply(s, 3);
        const Word d = Word(Multiply(i, 14)) << 24 | Word(Multiply(i, 9)) << 16 | Word(Multiply(i, 13)) << 8 |
                       Multiply(i, 11);
        for (int r = 0; r < 4; ++r) {
            t.encrypt[r][x] = RotateRight(e, 8 * r);
            t.decrypt[r][x] = RotateRight(d, 8 * r);
        }
    }
    return t;
}

constexpr Tables kTables = MakeTables();
const auto& Te = kTables.encrypt;
const auto& Td = kTables.decrypt;
const auto& kSbox = kTables.sbox;
const auto& kInverseSbox = kTables.inverse_sbox;

Word LoadWord(const Byte* p) { return Word(p[0]) << 24 | Word(p[1]) << 16 | Word(p[2]) << 8 | p[3]; }

void StoreWord(Word w, Byte* p) {
    p[0] = Byte(w >> 24);
    p[1] = Byte(w >> 16);
    p[2] = Byte(w >> 8);
    p[3] = Byte(w);
}

Word SubstituteWord(const std::array<Byte, 256>& box, Word a, Word b, Word c, Word d) {
    return Word(box[a >> 24]) << 24 | Word(box[(b >> 16) & 0xFF]) << 16 | Word(box[(c >> 8) & 0xFF]) << 8 |
           box[d & 0xFF];
}

}  // namespace

void AESCipher::SetEncryptionKey(const Byte key[kKeyLength]) {
    static constexpr Word kRoundConstants[kRounds] = {0x01000000, 0x02000000, 0x04000000, 0x08000000,
                                                      0x10000000, 0x20000000, 0x40000000, 0x80000000,
                                                      0x1B000000, 0x36000000};
    Word* rk = round_keys_;
    for (int i = 0; i < 4; ++i) rk[i] = LoadWord(key + 4 * i);
    for (int round = 0; round < kRounds; ++round, rk += 4) {
        const Word last = rk[3];
        rk[4] = rk[0] ^ SubstituteWord(kSbox, last << 8 | last >> 24, last << 8, last << 8, last >> 24) ^
                kRoundConstants[round];
        rk[5] = rk[1] ^ rk[4];
        rk[6] = rk[2] ^ rk[5];
        rk[7] = rk[3] ^ rk[6];
    }
}

void AESCipher::SetDecryptionKey(const Byte key[kKeyLength]) {
    SetEncryptionKey(key);
    // The equivalent inverse cipher: round keys in reverse order, the inner ones
    // passed through InvMixColumns so decryption can use the same table shape.
    for (int i = 0, j = 4 * kRounds; i < j; i += 4, j -= 4)
        for (int k = 0; k < 4; ++k) {
            const Word swap = round_keys_[i + k];
            round_keys_[i + k] = round_keys_[j + k];
            round_keys_[j + k] = swap;
        }
    for (int i = 4; i < 4 * kRounds; ++i) {
        const Word w = round_keys_[i];
        round_keys_[i] = Td[0][kSbox[w >> 24]] ^ Td[1][kSbox[(w >> 16) & 0xFF]] ^
                         Td[2][kSbox[(w >> 8) & 0xFF]] ^ Td[3][kSbox[w & 0xFF]];
    }
}

void AESCipher::EncryptBlock(const Byte in[kBlockLength], Byte out[kBlockLength]) const {
    const Word* rk = round_keys_;
    Word s0 = LoadWord(in) ^ rk[0], s1 = LoadWord(in + 4) ^ rk[1];
    Word s2 = LoadWord(in + 8) ^ rk[2], s3 = LoadWord(in + 12) ^ rk[3];
    for (int round = 1; round < kRounds; ++round) {
        rk += 4;
        const Word t0 = Te[0][s0 >> 24] ^ Te[1][(s1 >> 16) & 0xFF] ^ Te[2][(s2 >> 8) & 0xFF] ^ Te[3][s3 & 0xFF] ^ rk[0];
        const Word t1 = Te[0][s1 >> 24] ^ Te[1][(s2 >> 16) & 0xFF] ^ Te[2][(s3 >> 8) & 0xFF] ^ Te[3][s0 & 0xFF] ^ rk[1];
        const Word t2 = Te[0][s2 >> 24] ^ Te[1][(s3 >> 16) & 0xFF] ^ Te[2][(s0 >> 8) & 0xFF] ^ Te[3][s1 & 0xFF] ^ rk[2];
        const Word t3 = Te[0][s3 >> 24] ^ Te[1][(s0 >> 16) & 0xFF] ^ Te[2][(s1 >> 8) & 0xFF] ^ Te[3][s2 & 0xFF] ^ rk[3];
        s0 = t0, s1 = t1, s2 = t2, s3 = t3;
    }
    rk += 4;
    StoreWord(SubstituteWord(kSbox, s0, s1, s2, s3) ^ rk[0], out);
    StoreWord(SubstituteWord(kSbox, s1, s2, s3, s0) ^ rk[1], out + 4);
    StoreWord(SubstituteWord(kSbox, s2, s3, s0, s1) ^ rk[2], out + 8);
    StoreWord(SubstituteWord(kSbox, s3, s0, s1, s2) ^ rk[3], out + 12);
}

void AESCipher::DecryptBlock(const Byte in[kBlockLength], Byte out[kBlockLength]) const {
    const Word* rk = round_keys_;
    Word s0 = LoadWord(in) ^ rk[0], s1 = LoadWord(in + 4) ^ rk[1];
    Word s2 = LoadWord(in + 8) ^ rk[2], s3 = LoadWord(in + 12) ^ rk[3];
    for (int round = 1; round < kRounds; ++round) {
        rk += 4;
        const Word t0 = Td[0][s0 >> 24] ^ Td[1][(s3 >> 16) & 0xFF] ^ Td[2][(s2 >> 8) & 0xFF] ^ Td[3][s1 & 0xFF] ^ rk[0];
        const Word t1 = Td[0][s1 >> 24] ^ Td[1][(s0 >> 16) & 0xFF] ^ Td[2][(s3 >> 8) & 0xFF] ^ Td[3][s2 & 0xFF] ^ rk[1];
        const Word t2 = Td[0][s2 >> 24] ^ Td[1][(s1 >> 16) & 0xFF] ^ Td[2][(s0 >> 8) & 0xFF] ^ Td[3][s3 & 0xFF] ^ rk[2];
        const Word t3 = Td[0][s3 >> 24] ^ Td[1][(s2 >> 16) & 0xFF] ^ Td[2][(s1 >> 8) & 0xFF] ^ Td[3][s0 & 0xFF] ^ rk[3];
        s0 = t0, s1 = t1, s2 = t2, s3 = t3;
    }
    rk += 4;
    StoreWord(SubstituteWord(kInverseSbox, s0, s3, s2, s1) ^ rk[0], out);
    StoreWord(SubstituteWord(kInverseSbox, s1, s0, s3, s2) ^ rk[1], out + 4);
    StoreWord(SubstituteWord(kInverseSbox, s2, s1, s0, s3) ^ rk[2], out + 8);
    StoreWord(SubstituteWord(kInverseSbox, s3, s2, s1, s0) ^ rk[3], out + 12);
}
