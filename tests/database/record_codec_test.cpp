#include "check.h"
#include "errors.h"
#include "record_codec.h"
#include "text_rules.h"

TEST(HexToBytesReadsPairsAndAnOddLastDigit) {
    const struct {
        const char* text;
        std::string bytes;
    } cases[] = {
        {"0a1B", std::string("\x0A\x1B")},
        {"ABC", std::string("\xAB\x0C")},
        {"", std::string()},
        {"7", std::string("\x07")},
        {"00ff", std::string("\x00\xFF", 2)},
    };
    for (const auto& c : cases) {
        CONTEXT(c.text);
        CHECK_EQ(HexToBytes(c.text), c.bytes);
    }
}

TEST(HexToBytesRejectsNonHexadecimalPairs) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"0G", "'0x0G' is not a valid integer value"},
        {"AB G", "'0x G' is not a valid integer value"},
        {"ABG", "'0xG' is not a valid integer value"},
        {"zz00", "'0xzz' is not a valid integer value"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.text);
        CHECK_THROWS(EConvertError, HexToBytes(c.text), c.message);
    }
}

TEST(DecryptRecordChecksLengths) {
    const std::string block(32, '0');
    CHECK_THROWS(EReadError, DecryptRecord("", "k"), "Stream read error");
    CHECK_THROWS(EReadError, DecryptRecord("000000", "k"), "Stream read error");
    CHECK_THROWS(EAESError, DecryptRecord("00000000", "k"), "Invalid buffer size for decryption");
    CHECK_THROWS(EAESError, DecryptRecord("00000000" + block + "00", "k"), "Invalid buffer size for decryption");
    CHECK_EQ(DecryptRecord("00000000" + block, "k").size(), 16u);
    CHECK_EQ(DecryptRecord("00000000" + block + block, "k").size(), 32u);
    // A stray character is a conversion error, wherever it stands.
    CHECK_THROWS(EConvertError, DecryptRecord("00000000" + block + " ", "k"), "'0x ' is not a valid integer value");
    CHECK_THROWS(EConvertError, DecryptRecord("0x0000", "k"), "'0x0x' is not a valid integer value");
}

TEST(DecryptRecordUsesTheFileNameAsZeroPaddedKey) {
    // The standard's test vector written as a record line: the key bytes 00..0F as key text.
    std::string key_text;
    for (int i = 0; i < 16; ++i) key_text += static_cast<char>(i);
    CHECK_EQ(BytesToHex(DecryptRecord("10000000" "69C4E0D86A7B0430D8CDB78070B4C55A", key_text)),
             std::string("00112233445566778899AABBCCDDEEFF"));

    // Only the first 16 bytes of a longer key text count.
    const std::string line = EncryptRecord("KEY|x", "ABCDEFGHIJKLMNOPQRST");
    CHECK_EQ(Trimmed(DecryptRecord(line, "ABCDEFGHIJKLMNOP")), std::string("KEY|x"));
    CHECK_EQ(Trimmed(DecryptRecord(line, "ABCDEFGHIJKLMNOPZZZZ")), std::string("KEY|x"));

    // A shorter key text is followed by zero bytes, and another name cannot decode the line.
    const std::string short_key_line = EncryptRecord("KEY|y", "SID_MW_FL");
    CHECK_EQ(Trimmed(DecryptRecord(short_key_line, std::string("SID_MW_FL") + std::string(7, '\0'))),
             std::string("KEY|y"));
    CHECK(Trimmed(DecryptRecord(short_key_line, "SID_MW_FL2")) != "KEY|y");
}

TEST(RecordsRoundTripWithPaddingTrimmedAway) {
    const char* records[] = {
        "K1|\xD6\xD0\xCE\xC4|C:\\Program Files\\x.exe",  // code page 936 text
        "0123456789ABCDE",                                // 15 bytes: one block
        "0123456789ABCDEF",                               // 16 bytes: exactly one block
        "0123456789ABCDEF0",                              // 17 bytes: two blocks
    };
    for (const char* record : records) {
        CONTEXT(record);
        const std::string line = EncryptRecord(record, "SID_SW_RN.hdb");
        const std::string plain = DecryptRecord(line, "SID_SW_RN.hdb");
        CHECK_EQ(plain.size() % 16, 0u);
        CHECK_EQ(Trimmed(plain), std::string(record));
    }
}

TEST(TrimmedRemovesBytesUpToBlank) {
    CHECK_EQ(Trimmed(std::string("\0\t a b \r\n\0", 10)), std::string("a b"));
    CHECK_EQ(Trimmed("   "), std::string());
    CHECK_EQ(Trimmed("\xB0\xA1 "), std::string("\xB0\xA1"));  // bytes above 127 are text
}
