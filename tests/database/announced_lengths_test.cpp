// Lengths that packages and database files announce: a damaged or hostile one fails fast with a
// database error, before anything is allocated or written, and leaves nothing behind; files of
// honest lengths still unpack byte for byte, also across the inflater's piece boundaries.
#include <cstdint>
#include <string>

#include "category_files.h"
#include "check.h"
#include "errors.h"
#include "file_codec.h"
#include "file_system.h"
#include "fixtures.h"
#include "package_writer.h"

namespace {

std::string LittleEndian32(std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i));
    return bytes;
}

// The entry with its unpacked size announced as given instead of truly.
PackageEntry Announcing(PackageEntry entry, std::uint32_t unpacked_size) {
    entry.unpacked_size = static_cast<std::int32_t>(unpacked_size);
    return entry;
}

void CheckNothingLeftAt(const std::string& path) {
    CHECK(!FileExists(path));
    CHECK(!FileExists(path + ".part"));
}

}  // namespace

TEST(UnpackPackageRefusesEntriesThatAreNotTheirAnnouncedSize) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";
    const std::string zeros(300 * 1024, '\0');
    const PackageEntry bomb = StoredEntry("", "SID_SW_LI.hdb", zeros);
    const std::string compressed = std::to_string(bomb.data.size());

    const struct {
        const char* what;
        std::uint32_t announced;
        std::string message;
    } cases[] = {
        {"a bomb announcing 1 byte", 1, "it holds more than the 1 bytes it announces"},
        {"announcing nothing", 0, "it holds more than the 0 bytes it announces"},
        {"announcing more than it holds", 307300, "it holds 307200 bytes, fewer than the 307300 it announces"},
        {"announcing more than its data can inflate to", 8 * 1024 * 1024,
         "it announces 8388608 bytes, more than its " + compressed + " compressed bytes can inflate to"},
        {"announcing more than a file may hold", 0x80000000u,
         "it announces 2147483648 bytes, more than the 16777216 a database file may hold"},
        {"announcing a negative size", 0xFFFFFFFFu,
         "it announces 4294967295 bytes, more than the 16777216 a database file may hold"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        WriteFile(temp / "REZ.hdb3", PackageOf({Announcing(bomb, c.announced)}));
        const std::string message = "Damaged package entry \"SID_SW_LI.hdb\": " + c.message;
        CHECK_THROWS(EZlibError, UnpackPackage(temp / "REZ.hdb3", work), message.c_str());
        CheckNothingLeftAt(JoinPath(work, "SID_SW_LI.hdb"));
    }
}

TEST(UnpackPackageRefusesPackagesWithoutFiles) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";
    const std::string header = std::string("\0\x0DSID_SW_LI.hdb", 15) + LittleEndian32(5);

    WriteFile(temp / "REZ.hdb3", "");
    CHECK_THROWS(EEmptyPackage, UnpackPackage(temp / "REZ.hdb3", work), "The package holds no database files");

    // An entry header without its data: the data it announces, or an empty one.
    for (const std::uint32_t data_length : {5u, 0u}) {
        CONTEXT("data length " + std::to_string(data_length));
        WriteFile(temp / "REZ.hdb3", header + LittleEndian32(data_length));
        CHECK_THROWS(EReadError, UnpackPackage(temp / "REZ.hdb3", work), "Stream read error");
        CheckNothingLeftAt(JoinPath(work, "SID_SW_LI.hdb"));
    }
}

TEST(DatabaseFileClaimingGigabytesFailsBeforeAnythingIsAllocated) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";
    // 2 GiB announced over 2.1 MB of data: within deflate's ratio, beyond any database file. In
    // its package it takes a few KB.
    const std::string database_file = LittleEndian32(0x80000000u) + std::string(2100 * 1000, '\0');
    const std::string package = PackageOf({StoredEntry("", "SID_SW_LI.hdb", database_file)});
    CHECK(package.size() < 4096);
    WriteFile(temp / "REZ.hdb3", package);
    CHECK(UnpackPackage(temp / "REZ.hdb3", work));  // as an entry it is sound

    const char* message =
        "Damaged database file: it announces 2147483648 bytes, more than the 16777216 a database file may hold";
    CHECK_THROWS(EZlibError, DecompressHdb(JoinPath(work, "SID_SW_LI.hdb"), JoinPath(work, "SID_SW_LI.UPhdb")), message);
    CheckNothingLeftAt(JoinPath(work, "SID_SW_LI.UPhdb"));
    // The catalogue the front ends read first fails the same way.
    StringList list;
    CHECK_THROWS(EZlibError, LoadSoftwareList(work, "SW", kFilterAll, list, kFilterAll), message);
    CheckNothingLeftAt(JoinPath(work, "SID_SW_LI.UPhdb"));
}

TEST(DecompressHdbRefusesImpossibleTextLengths) {
    ScopedTempFolder temp;
    const std::string source = temp / "SID_SW_FL.hdb", target = temp / "SID_SW_FL.UPhdb";
    const std::string stream = ZlibCompress(std::string(300 * 1024, '\0'));
    const std::string compressed = std::to_string(stream.size());

    const struct {
        const char* what;
        std::string file;
        std::string message;
    } cases[] = {
        {"a bomb announcing 1 byte", LittleEndian32(1) + stream, "it holds more than the 1 bytes it announces"},
        {"announcing more than it holds", LittleEndian32(307300) + stream,
         "it holds 307200 bytes, fewer than the 307300 it announces"},
        {"announcing more than its data can inflate to", LittleEndian32(8 * 1024 * 1024) + stream,
         "it announces 8388608 bytes, more than its " + compressed + " compressed bytes can inflate to"},
        {"announcing more than a file may hold", LittleEndian32(0xFFFFFFFFu) + std::string(5 * 1000 * 1000, 'x'),
         "it announces 4294967295 bytes, more than the 16777216 a database file may hold"},
        {"storing more than a file may need", LittleEndian32(1) + std::string(17 * 1024 * 1024, 'x'),
         "it stores 17825792 compressed bytes, more than a file of at most 16777216 bytes needs"},
    };
    for (const auto& c : cases) {
        CONTEXT(c.what);
        WriteFile(target, "previous");
        WriteFile(source, c.file);
        const std::string message = "Damaged database file: " + c.message;
        CHECK_THROWS(EZlibError, DecompressHdb(source, target), message.c_str());
        CHECK_EQ(ReadFile(target), std::string("previous"));
        CHECK(!FileExists(target + ".part"));
    }
}

TEST(TheLargestTextAllowedDecompressesAndOneByteMoreIsRefused) {
    ScopedTempFolder temp;
    const std::string source = temp / "SID_SW_FL.hdb", target = temp / "SID_SW_FL.UPhdb";
    const std::size_t largest = 16 * 1024 * 1024;
    std::string file = CompressHdb(std::string(largest, '\0'));
    WriteFile(source, file);
    CHECK(DecompressHdb(source, target));
    CHECK_EQ(ReadFile(target).size(), largest);

    file.replace(0, 4, LittleEndian32(largest + 1));
    WriteFile(source, file);
    CHECK_THROWS(EZlibError, DecompressHdb(source, target),
                 "Damaged database file: it announces 16777217 bytes, more than the 16777216 a database file may hold");
}

TEST(HonestLengthsUnpackByteForByteAcrossPieceBoundaries) {
    ScopedTempFolder temp;
    const std::string work = temp / "SID_UP";
    for (const std::size_t length : {0, 1, 16383, 16384, 16385, 100000}) {
        CONTEXT(std::to_string(length) + " bytes");
        std::string text(length, '\0');
        for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>((i * 7919) % 251);

        WriteFile(temp / "REZ.hdb3", PackageOf({StoredEntry("", "SID_SW_FL.hdb", CompressHdb(text))}));
        CHECK(UnpackPackage(temp / "REZ.hdb3", work));
        CHECK_EQ(ReadFile(JoinPath(work, "SID_SW_FL.hdb")), CompressHdb(text));
        CHECK(DecompressHdb(JoinPath(work, "SID_SW_FL.hdb"), JoinPath(work, "SID_SW_FL.UPhdb")));
        CHECK_EQ(ReadFile(JoinPath(work, "SID_SW_FL.UPhdb")), text);
    }
}
