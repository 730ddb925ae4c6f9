#include "check.h"
#include "file_system.h"
#include "fixtures.h"

TEST(PathHelpersFindSeparators) {
    const char sep = kPathSeparator;
    const std::string s(1, sep);
    CHECK_EQ(IncludeTrailingSeparator("a"), "a" + s);
    CHECK_EQ(IncludeTrailingSeparator("a" + s), "a" + s);
    CHECK_EQ(FileNameOf("x" + s + "y" + s + "name.hdb"), std::string("name.hdb"));
    CHECK_EQ(FileNameOf("name.hdb"), std::string("name.hdb"));
    CHECK_EQ(WithoutTrailingSeparators("a" + s + s), std::string("a"));
#ifdef _WIN32
    // 誠 is D5 5C in code page 936: its second byte is a backslash but not a separator.
    const std::string sincere = "\xD5\x5C";
    CHECK_EQ(IncludeTrailingSeparator("C:\\x\\" + sincere), "C:\\x\\" + sincere + "\\");
    CHECK_EQ(FileNameOf("C:\\x\\" + sincere), sincere);
    CHECK_EQ(FileNameOf("C:\\x\\a" + sincere + "b"), "a" + sincere + "b");
    CHECK_EQ(WithoutTrailingSeparators("C:\\" + sincere + "\\"), "C:\\" + sincere);
    CHECK(!EndsWithSeparator("C:\\" + sincere));
#endif
}

TEST(FoldersWithDoubleByteNamesAreCreatedAndDeleted) {
    ScopedTempFolder temp;
    const std::string name = "\xD5\x5C";  // 誠
    const std::string nested = JoinPath(JoinPath(temp.Path(), name), "Foo");
    CHECK(CreateDirectories(nested));
    WriteFile(JoinPath(nested, "a.txt"), "x");
    CHECK(DeleteFolderTree(JoinPath(temp.Path(), name)));
    CHECK(!DirectoryExists(JoinPath(temp.Path(), name)));
}
