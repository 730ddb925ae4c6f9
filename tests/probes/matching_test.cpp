#include "check.h"
#include "matching.h"

namespace {

enum class Rule { kTrimmed, kUpperCased, kContains, kListedIn, kSameName, kEqualWhenUpper };

const char* RuleName(Rule rule) {
    switch (rule) {
        case Rule::kTrimmed: return "trimmed";
        case Rule::kUpperCased: return "upper-cased";
        case Rule::kContains: return "contains";
        case Rule::kListedIn: return "listed in";
        case Rule::kSameName: return "same name";
        case Rule::kEqualWhenUpper: return "equal when upper";
    }
    return "?";
}

// For the two text rules: whether the rule turns first into second.
bool Holds(Rule rule, const std::string& first, const std::string& second) {
    switch (rule) {
        case Rule::kTrimmed: return Trimmed(first) == second;
        case Rule::kUpperCased: return UpperCased(first) == second;
        case Rule::kContains: return TextContains(first, second);
        case Rule::kListedIn: return IsListedIn({"Other", first}, second);
        case Rule::kSameName: return IsSameName(first, second);
        case Rule::kEqualWhenUpper: return EqualWhenUpper(first, second);
    }
    return false;
}

}  // namespace

// Code page 936 texts: only "a" to "z" fold, so Greek and full-width letters keep their case in
// every rule but "listed in", which is the system's locale-aware comparison.
TEST(MatchingVocabulary) {
    const struct {
        Rule rule;
        std::string first, second;
        bool holds;
    } cases[] = {
        {Rule::kTrimmed, " \t\x01name with blank \r\n", "name with blank", true},
        {Rule::kTrimmed, "\xA1\xA1软件\xA1\xA1", "\xA1\xA1软件\xA1\xA1", true},  // ideographic blanks stay
        {Rule::kUpperCased, "abz{`@软件ａα", "ABZ{`@软件ａα", true},

        {Rule::kContains, "C:\\Program Files\\Foo", "program files\\FOO", true},
        {Rule::kContains, "abc", "abc", true},
        {Rule::kContains, "abc", "", false},
        {Rule::kContains, "", "", false},
        {Rule::kContains, "ab", "abc", false},
        {Rule::kContains, "D:\\软件\\Tool", "软件\\tool", true},
        {Rule::kContains, "Αβ组件", "αβ", false},
        {Rule::kContains, "ＡＢ", "ａｂ", false},

        {Rule::kListedIn, "S-1-5-21-7-1000", "s-1-5-21-7-1000", true},
        {Rule::kListedIn, "{ABCDEF01-0000-0000-0000-000000000000}", "{abcdef01-0000-0000-0000-000000000000}", true},
        {Rule::kListedIn, "Foo", "Foo ", false},
        {Rule::kListedIn, "Foo", "Fo", false},
        {Rule::kListedIn, "co-op", "coop", false},
        {Rule::kListedIn, "软件", "软件", true},
        {Rule::kListedIn, "软件", "软体", false},
        {Rule::kListedIn, "Αβ", "αΒ", true},
        {Rule::kListedIn, "ＡＢ", "ａｂ", true},

        {Rule::kSameName, "Foo.EXE", "foo.exe", true},
        {Rule::kSameName, "", "", true},
        {Rule::kSameName, "foo.exe", "foo.exe ", false},
        {Rule::kSameName, "foo", "fo", false},
        {Rule::kSameName, "工具.exe", "工具.EXE", true},
        {Rule::kSameName, "α.exe", "Α.exe", false},
        {Rule::kSameName, "ａ.exe", "Ａ.exe", false},

        {Rule::kEqualWhenUpper, " Foo\t", "FOO", true},
        {Rule::kEqualWhenUpper, "F oo", "FOO", false},
        {Rule::kEqualWhenUpper, "\r\n软件 ", "软件", true},
        {Rule::kEqualWhenUpper, "α", "Α", false},
        {Rule::kEqualWhenUpper, "", "  ", true},
    };
    for (const auto& c : cases) {
        CONTEXT(std::string(RuleName(c.rule)) + ": " + check::Quote(c.first) + ", " + check::Quote(c.second));
        CHECK_EQ(Holds(c.rule, c.first, c.second), c.holds);
    }
}

TEST(AddOnceAppendsWhatIsNotListedIn) {
    StringList list = {"Alpha"};
    CHECK(!AddOnce(list, "ALPHA"));
    CHECK(AddOnce(list, "Beta"));
    CHECK(!AddOnce(list, "beta"));
    CHECK(AddOnce(list, " Beta"));  // blanks count: nothing is trimmed here
    CHECK(AddOnce(list, "软件"));
    CHECK(!AddOnce(list, "软件"));
    CHECK_EQ(list, (StringList{"Alpha", "Beta", " Beta", "软件"}));
}
