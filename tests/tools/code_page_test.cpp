// The UTF-8 <-> code page 936 pair: exact in both directions, refusing what has no counterpart.
#include "code_page.h"

#include <string>

#include "check.h"

// Plain literals are compiled to code page 936, u8 literals stay UTF-8.
TEST(TextsConvertBothWaysExactly) {
    const struct {
        std::string utf8, cp936;
    } cases[] = {
        {"", ""},
        {"plain ASCII|\\x", "plain ASCII|\\x"},
        {u8"蔓藤搜索助手", "蔓藤搜索助手"},
        {u8"東方億 誠", "\x96\x7C\xB7\xBD\x83\x7C \xD5\x5C"},  // trail bytes 0x7C and 0x5C
        {u8"€", "\x80"},
        {u8"32位/64位", "32位/64位"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.utf8);
        std::string cp936, utf8;
        CHECK(Utf8ToCp936(c.utf8, cp936));
        CHECK_EQ(cp936, c.cp936);
        CHECK(Cp936ToUtf8(c.cp936, utf8));
        CHECK_EQ(utf8, c.utf8);
    }
}

TEST(TextsWithoutCounterpartAreRefused) {
    const char* const not_convertible_utf8[] = {
        u8"😀",           // outside code page 936
        u8"a\u00A0b",    // no-break space: no exact form
        "\xC3\x28",      // broken sequence
        "\xC0\x80",      // overlong form of NUL
        "\xED\xA0\x80",  // a surrogate
        "\xE4\xB8",      // cut short
    };
    for (const char* text : not_convertible_utf8) {
        CONTEXT(check::Quote(text));
        std::string cp936;
        CHECK(!Utf8ToCp936(text, cp936));
    }
    const char* const not_convertible_cp936[] = {"\x81", "\xFF", "a\xD6"};
    for (const char* text : not_convertible_cp936) {
        CONTEXT(check::Quote(text));
        std::string utf8;
        CHECK(!Cp936ToUtf8(text, utf8));
    }
}

TEST(UndecodableBytesAreShownEscaped) {
    CHECK_EQ(Cp936ToUtf8OrEscaped("\xD6\xD0"), std::string(u8"中"));
    CHECK_EQ(Cp936ToUtf8OrEscaped("ab\xFF\\"), std::string("ab\\xFF\\x5C"));
}
