#include "check.h"
#include "splitters.h"

namespace {

struct SplitCase {
    std::string text;
    StringList fields;
};

void CheckSplits(bool (*split)(const std::string&, StringList&), const std::vector<SplitCase>& cases) {
    for (const SplitCase& c : cases) {
        CONTEXT(check::Quote(c.text));
        StringList fields = {"left over"};
        CHECK_EQ(split(c.text, fields), !c.fields.empty());
        CHECK_EQ(fields, c.fields);
    }
}

}  // namespace

TEST(SplitByBarFollowsTheOneSplittingRule) {
    CheckSplits(SplitByBar, {
        {"", {}},
        {"|||", {}},
        {"a||b|", {"a", "b"}},
        {"|x", {"x"}},
        {" a | b ", {" a ", " b "}},
        {"a|\"x|y\"|b", {"a", "\"x|y\"", "b"}},
        {"a|'it''s|x'", {"a", "'it''s|x'"}},
        {"\"a'b|c\"d|e", {"\"a'b|c\"d", "e"}},
        {"a\r\nb|c\nd", {"a", "b", "c", "d"}},
        {"\"open|to end", {"\"open|to end"}},
        {"HKLM|SOFTWARE\\A||B", {"HKLM", "SOFTWARE\\A", "B"}},
        {"HKLM|SOFTWARE\\A|", {"HKLM", "SOFTWARE\\A"}},
        {"HKLM|SOFTWARE\\A|\"\"", {"HKLM", "SOFTWARE\\A", "\"\""}},
        // A double-byte character whose trail byte is "|" never splits.
        {"K|\x81|A|x", {"K", "\x81|A", "x"}},
        {"\x81\"|x", {"\x81\"", "x"}},  // nor is its trail byte a quote
    });
}

TEST(SplitByBackslashFollowsTheSameRule) {
    CheckSplits(SplitByBackslash, {
        {"S-1-5-21\\Software\\X", {"S-1-5-21", "Software", "X"}},
        {"Software\\\\X\\", {"Software", "X"}},
        {"\\\\", {}},
        // The trail byte of many double-byte characters is "\": such a character stays whole.
        {"Soft\\\x95\\\\Key", {"Soft", "\x95\\", "Key"}},
        {"A\\\"b\\c\"\\d", {"A", "\"b\\c\"", "d"}},
    });
}
