#include "check.h"
#include "text_rules.h"

// Only single-byte letters fold. The trail byte of a code page 936 character (0x40 to 0xFE) is
// often a letter: folding it would turn one character into another (\xB0\x61 into \xB0\x41).
TEST(UpperCasedFoldsOnlySingleByteLetters) {
    const struct {
        std::string text, upper;
    } cases[] = {
        {"", ""},
        {"az{`@[AZ09", "AZ{`@[AZ09"},
        {"Program Files (x86)\\qm.exe", "PROGRAM FILES (X86)\\QM.EXE"},
        {"\xB0\x61", "\xB0\x61"},                                // stays itself
        {"\xB0\x41", "\xB0\x41"},                                // and its neighbour stays apart
        {"qm\xB0\x61z", "QM\xB0\x61Z"},                          // between letters
        {"\xB0\x61\xB0\x7A" "abc", "\xB0\x61\xB0\x7A" "ABC"},    // trail bytes 'a' and 'z', then letters
        {"\x81\x81" "a", "\x81\x81" "A"},                        // a trail byte in the lead range ends the pair
        {"\x80" "a\xFF" "b", "\x80" "A\xFF" "B"},                // 0x80 and 0xFF lead nothing
        {"abc\xB0", "ABC\xB0"},                                  // a lead byte with nothing after it
    };
    for (const auto& c : cases) {
        CONTEXT(check::Quote(c.text));
        CHECK_EQ(UpperCased(c.text), c.upper);
    }
    CHECK(UpperCased("Soft\xB0\x61") != UpperCased("SOFT\xB0\x41"));
}
