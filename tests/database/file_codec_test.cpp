#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "check.h"
#include "errors.h"
#include "file_codec.h"
#include "file_system.h"
#include "fixtures.h"
#include "package_writer.h"

TEST(UnpackPackageNeedsAPackageAndAFolder) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";
    CreateDirectories(work);
    WriteFile(JoinPath(work, "keep.hdb"), "x");
    CHECK(!UnpackPackage("", work));
    CHECK(!UnpackPackage(temp / "REZ.hdb3", ""));
    CHECK(!UnpackPackage(temp / "REZ.hdb3", work));  // missing package
    CHECK(FileExists(JoinPath(work, "keep.hdb")));   // and nothing was touched
}

TEST(UnpackPackageReplacesTheWorkingFolder) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";
    CreateDirectories(JoinPath(work, "old/nested"));
    WriteFile(JoinPath(work, "stale.hdb"), "stale");
    WriteFile(JoinPath(work, "old/nested/deep.hdb"), "deep");

    // An empty package is an error, not an empty catalogue; the stale files are gone all the same.
    WriteFile(temp / "empty.hdb3", "");
    CHECK_THROWS(EEmptyPackage, UnpackPackage(temp / "empty.hdb3", work), "The package holds no database files");
    CHECK(DirectoryExists(work));
    CHECK(!FileExists(JoinPath(work, "stale.hdb")));
    CHECK(!DirectoryExists(JoinPath(work, "old")));

    // Stored folders are created but every file lands in the folder itself; a later entry of
    // the same name wins.
    WriteFile(temp / "REZ.hdb3", PackageOf({StoredEntry("sub", "a.hdb", "first"), StoredEntry("", "b.hdb", std::string(5000, 'b')),
                                         StoredEntry("", "a.hdb", "second")}));
    CHECK(UnpackPackage(temp / "REZ.hdb3", work + kPathSeparator));
    CHECK_EQ(ReadFile(JoinPath(work, "a.hdb")), std::string("second"));
    CHECK_EQ(ReadFile(JoinPath(work, "b.hdb")), std::string(5000, 'b'));
    CHECK(DirectoryExists(JoinPath(work, "sub")));
    CHECK(!FileExists(JoinPath(JoinPath(work, "sub"), "a.hdb")));
}

TEST(UnpackPackageStopsAtATruncatedEntryWithoutHalfFiles) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";
    const std::string first = PackageOf({StoredEntry("", "a.hdb", "alpha")});
    const std::string second = PackageOf({StoredEntry("dir", "b.hdb", std::string(3000, 'z'))});
    // Cut inside every field of the second entry: folder length, folder, name, sizes, data.
    for (std::size_t cut = 1; cut < second.size(); cut += (cut < 20 ? 1 : 97)) {
        CONTEXT("cut at " + std::to_string(cut));
        WriteFile(temp / "REZ.hdb3", first + second.substr(0, cut));
        CHECK_THROWS(EReadError, UnpackPackage(temp / "REZ.hdb3", work), "Stream read error");
        CHECK_EQ(ReadFile(JoinPath(work, "a.hdb")), std::string("alpha"));
        CHECK(!FileExists(JoinPath(work, "b.hdb")));
        CHECK(!FileExists(JoinPath(work, "b.hdb.part")));
    }
}

TEST(UnpackPackageRejectsDamagedData) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";

    PackageEntry damaged = StoredEntry("", "a.hdb", std::string(2000, 'q'));
    damaged.data[damaged.data.size() / 2] ^= 0x55;
    PackageEntry cut_stream = StoredEntry("", "b.hdb", std::string(2000, 'q'));
    cut_stream.data.resize(cut_stream.data.size() / 2);
    PackageEntry not_zlib = StoredEntry("", "c.hdb", "x");
    not_zlib.data = "plain text";

    for (const PackageEntry& entry : {damaged, cut_stream, not_zlib}) {
        CONTEXT(entry.name);
        WriteFile(temp / "REZ.hdb3", PackageOf({entry}));
        CHECK_THROWS(EZlibError, UnpackPackage(temp / "REZ.hdb3", work), nullptr);
        CHECK(!FileExists(JoinPath(work, entry.name)));
    }

    // A data length below 1 or beyond the file is a read error, not an allocation.
    std::string package = PackageOf({StoredEntry("", "d.hdb", "x")});
    for (const char length_byte : {'\x00', '\xFF'}) {
        std::string bad = package;
        const std::size_t length_at = 1 + 1 + 5 + 4;
        bad[length_at] = bad[length_at + 1] = bad[length_at + 2] = bad[length_at + 3] = length_byte;
        WriteFile(temp / "REZ.hdb3", bad);
        CHECK_THROWS(EReadError, UnpackPackage(temp / "REZ.hdb3", work), "Stream read error");
    }
}

TEST(UnpackPackageRefusesNamesThatLeaveTheFolder) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";
    const struct {
        const char* folder;
        const char* name;
    } cases[] = {
        {"", ""},          {"", ".."},         {"", "."},          {"", "..\\escape.hdb"},
        {"", "../escape"}, {"", "C:escape"},   {"", "sub\\a.hdb"}, {"", "CON"},
        {"", "nul.hdb"},   {"..", "a.hdb"},    {"\\abs", "a.hdb"}, {"/abs", "a.hdb"},
        {"C:", "a.hdb"},   {"a\\..\\..", "a.hdb"}, {"x/../..", "a.hdb"}, {"bad\x01", "a.hdb"},
    };
    for (const auto& c : cases) {
        CONTEXT(std::string(c.folder) + " / " + c.name);
        WriteFile(temp / "REZ.hdb3", PackageOf({StoredEntry(c.folder, c.name, "escaped")}));
        CHECK_THROWS(EUnsafeEntryName, UnpackPackage(temp / "REZ.hdb3", work), nullptr);
        CHECK(!FileExists(temp / "escape.hdb"));
        CHECK(!FileExists(temp / "escape"));
    }
    // Nested relative folders and double-byte names whose trail byte is "\" are fine.
    WriteFile(temp / "REZ.hdb3", PackageOf({StoredEntry("a\\b\\", "\x95\\x.hdb", "ok")}));
    CHECK(UnpackPackage(temp / "REZ.hdb3", work));
    CHECK_EQ(ReadFile(JoinPath(work, "\x95\\x.hdb")), std::string("ok"));
}

TEST(DecompressHdbRoundTripsAndChecksItsLength) {
    ScopedTempFolder temp;
    const std::string source = temp / "SID_SW_LI.hdb", target = temp / "SID_SW_LI.UPhdb";
    CHECK(!DecompressHdb(source, target));  // missing source

    const std::string text = "00112233\r\nAABB\r\n";
    WriteFile(source, CompressHdb(text));
    CHECK(DecompressHdb(source, target));
    CHECK_EQ(ReadFile(target), text);

    WriteFile(source, CompressHdb(""));
    CHECK(DecompressHdb(source, target));
    CHECK_EQ(ReadFile(target), std::string());
}

TEST(DecompressHdbLeavesTheTargetAloneOnDamage) {
    ScopedTempFolder temp;
    const std::string source = temp / "x.hdb", target = temp / "x.UPhdb";
    const std::string good = CompressHdb(std::string(4000, 'k'));

    std::string longer_claim = good, shorter_claim = good, damaged = good, huge_claim = good;
    longer_claim[0] = static_cast<char>(0xA1);  // 4001 bytes announced
    shorter_claim[0] = static_cast<char>(0x9F); // 3999 bytes announced
    damaged[good.size() / 2] ^= 0x33;
    huge_claim[3] = static_cast<char>(0x7F);

    const struct {
        const char* what;
        std::string file;
    } cases[] = {
        {"longer claim", longer_claim}, {"shorter claim", shorter_claim},
        {"damaged data", damaged},      {"huge claim", huge_claim},
        {"no stream", std::string("\x05\x00\x00\x00", 4)},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        WriteFile(target, "previous");
        WriteFile(source, c.file);
        CHECK_THROWS(EZlibError, DecompressHdb(source, target), nullptr);
        CHECK_EQ(ReadFile(target), std::string("previous"));
    }
    WriteFile(source, "abc");
    CHECK_THROWS(EReadError, DecompressHdb(source, target), "Stream read error");
}

TEST(DeleteFolderTreeRemovesReadOnlyAndNestedEntries) {
    ScopedTempFolder temp;
    const std::string root = temp / "tree";
    CreateDirectories(JoinPath(root, "a/b/c"));
    WriteFile(JoinPath(root, "a/b/c/leaf.txt"), "x");
    WriteFile(JoinPath(root, "top.txt"), "y");
#ifdef _WIN32
    SetFileAttributesA(JoinPath(root, "top.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(JoinPath(root, "a\\b").c_str(), FILE_ATTRIBUTE_READONLY);
#endif
#ifndef _WIN32
    // A link to a folder outside is removed, never followed.
    CreateDirectories(temp / "outside");
    WriteFile(temp / "outside/precious.txt", "keep");
    CHECK(symlink((temp / "outside").c_str(), JoinPath(root, "a/link").c_str()) == 0);
#endif
    CHECK(DeleteFolderTree(root));
    CHECK(!DirectoryExists(root));
#ifndef _WIN32
    CHECK(FileExists(temp / "outside/precious.txt"));
#endif
}
