#include <windows.h>

#include <vector>

#include "check.h"
#include "fixtures.h"
#include "long_path.h"
#include "module_cache.h"
#include "registry_access.h"
#include "registry_delete_functions.h"
#include "registry_fixture.h"
#include "timer_resolution.h"

namespace {

std::string ShortPathOf(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer) : std::string();
}

// Folders nested below parent, each with a long name, created through the short path of the one
// above so that the whole long path may exceed MAX_PATH. Removed deepest first, through their
// short paths, which the ANSI calls can still reach.
class NestedLongFolders {
public:
    NestedLongFolders(const std::string& parent, const std::string& name, int depth) {
        std::string short_parent = ShortPathOf(parent);
        long_path_ = parent;
        for (int level = 0; level < depth && !short_parent.empty(); ++level) {
            const std::string folder = short_parent + "\\" + name;
            if (!CreateDirectoryA(folder.c_str(), nullptr)) break;
            long_path_ += "\\" + name;
            short_parent = ShortPathOf(folder);
            short_paths_.push_back(short_parent);
        }
    }
    ~NestedLongFolders() {
        for (auto it = short_paths_.rbegin(); it != short_paths_.rend(); ++it) RemoveDirectoryA(it->c_str());
    }
    NestedLongFolders(const NestedLongFolders&) = delete;
    NestedLongFolders& operator=(const NestedLongFolders&) = delete;

    std::size_t Depth() const { return short_paths_.size(); }
    const std::string& LongPath() const { return long_path_; }
    std::string ShortPath() const { return short_paths_.empty() ? std::string() : short_paths_.back(); }

private:
    std::string long_path_;
    std::vector<std::string> short_paths_;
};

DWORD CountSubKeysOf(HKEY root, const std::string& path) {
    RegistryKey key;
    if (OpenBaseKey(key, root, path, RegistryView::kDefault) != ERROR_SUCCESS) return 0;
    return CountSubKeys(key);
}

DWORD CountValuesOf(HKEY root, const std::string& path) {
    RegistryKey key;
    if (OpenBaseKey(key, root, path, RegistryView::kDefault) != ERROR_SUCCESS) return 0;
    return CountValues(key);
}

}  // namespace

TEST(ModuleCacheLoadsOnceAndFindsExports) {
    const FARPROC first = GetModuleProc("kernel32.dll", "GetLongPathNameA");
    CHECK(first != nullptr);
    CHECK(GetModuleProc("kernel32.dll", "GetLongPathNameA") == first);
    CHECK(first == GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetLongPathNameA"));

    // A module the program does not link is loaded on the first request and kept.
    const FARPROC version_size = GetModuleProc("version.dll", "GetFileVersionInfoSizeA");
    CHECK(version_size != nullptr);
    CHECK(GetModuleHandleA("version.dll") != nullptr);
    CHECK(GetModuleProc("version.dll", "GetFileVersionInfoSizeA") == version_size);

    CHECK(GetModuleProc("kernel32.dll", "KestruneNoSuchFunction") == nullptr);
    CHECK(GetModuleProc("kestrune-no-such-module.dll", "GetLongPathNameA") == nullptr);
    CHECK(GetModuleProc("kestrune-no-such-module.dll", "GetLongPathNameA") == nullptr);
}

TEST(GetLongPathExpandsShortNames) {
    ScopedTempFolder temp;
    const std::string long_name = "Kestrune 长文件夹名称 with a long name";
    const std::string long_path = temp / long_name;
    CHECK(CreateDirectoryA(long_path.c_str(), nullptr));
    const std::string short_path = ShortPathOf(long_path);
    CONTEXT(short_path);
    CHECK(!short_path.empty() && short_path != long_path);
    CHECK_EQ(GetLongPath(short_path), long_path);
    CHECK_EQ(GetLongPath(long_path), long_path);

    const std::string missing[] = {temp / "Kestrune no such folder", temp / "NOSUCH~1\\x", "",
                                   "C:\\Kestrune no such folder\\x"};
    for (const std::string& path : missing) {
        CONTEXT(check::Quote(path));
        CHECK_EQ(GetLongPath(path), std::string());
    }
}

// Long forms of 260 bytes or more come back whole. Double-byte names make one here with fewer
// than 260 characters: Wine's GetLongPathNameA fails outright beyond 260 characters.
TEST(GetLongPathReturnsLongFormsBeyondMaxPathWhole) {
    ScopedTempFolder temp;
    std::string name;
    for (int i = 0; i < 30; ++i) name += "嵌";
    NestedLongFolders nested(temp.Path(), name, 4);
    CHECK_EQ(nested.Depth(), 4u);
    CONTEXT(nested.ShortPath());
    CHECK(nested.ShortPath().size() < MAX_PATH);
    CHECK(nested.LongPath().size() >= MAX_PATH);
    CHECK_EQ(GetLongPath(nested.ShortPath()), nested.LongPath());
}

TEST(DynRegDeleteTreeRemovesARealTree) {
    ScopedTestKey test(HKEY_CURRENT_USER, "Software");
    for (const char* key : {"Tree", "Tree\\A", "Tree\\A\\B", "Tree\\A\\B\\C", "Tree\\D"})
        CHECK_EQ(test.SetString(key, "Value", key), ERROR_SUCCESS);
    CHECK_EQ(test.SetString("Tree", "", "default"), ERROR_SUCCESS);

    // Without a sub-key name: everything inside the opened key goes, the key stays.
    {
        RegistryKey tree;
        CHECK_EQ(OpenBaseKey(tree, HKEY_CURRENT_USER, test / "Tree", RegistryView::kDefault), ERROR_SUCCESS);
        CHECK_EQ(DynRegDeleteTree(tree.Get(), nullptr), ERROR_SUCCESS);
    }
    CHECK(test.KeyExists("Tree"));
    CHECK_EQ(CountSubKeysOf(HKEY_CURRENT_USER, test / "Tree"), 0u);
    CHECK_EQ(CountValuesOf(HKEY_CURRENT_USER, test / "Tree"), 0u);

    // With a sub-key name: the key goes too.
    CHECK_EQ(test.SetString("Tree\\A\\B", "Value", "again"), ERROR_SUCCESS);
    CHECK_EQ(test.SetString("Sibling", "Value", "stays"), ERROR_SUCCESS);
    CHECK_EQ(DynRegDeleteTree(HKEY_CURRENT_USER, (test / "Tree").c_str()), ERROR_SUCCESS);
    CHECK(!test.KeyExists("Tree"));
    CHECK(test.KeyExists("Sibling"));

    // The system's own result comes back when there is nothing to delete.
    CHECK_EQ(DynRegDeleteTree(HKEY_CURRENT_USER, (test / "Tree").c_str()), ERROR_FILE_NOT_FOUND);
}

TEST(DynRegDeleteKeyExRemovesARealKey) {
    ScopedTestKey user(HKEY_CURRENT_USER, "Software");
    ScopedTestKey machine(HKEY_LOCAL_MACHINE, "SOFTWARE");
    const struct {
        const ScopedTestKey& test;
        REGSAM access;
    } cases[] = {
        {user, FullAccessMask(RegistryView::kDefault)},
        {machine, FullAccessMask(RegistryView::kDefault)},
        {machine, FullAccessMask(RegistryView::k64Bit)},  // the 64-bit view changes nothing on 32-bit Windows
    };
    for (const auto& c : cases) {
        CONTEXT(c.test.Path() + " access " + std::to_string(c.access));
        CHECK_EQ(c.test.SetString("Leaf", "Value", "leaf"), ERROR_SUCCESS);
        CHECK_EQ(c.test.SetString("Other", "Value", "stays"), ERROR_SUCCESS);
        CHECK_EQ(DynRegDeleteKeyEx(c.test.Root(), (c.test / "Leaf").c_str(), c.access, 0), ERROR_SUCCESS);
        CHECK(!c.test.KeyExists("Leaf"));
        CHECK(c.test.KeyExists("Other"));
        CHECK_EQ(DynRegDeleteKeyEx(c.test.Root(), (c.test / "Leaf").c_str(), c.access, 0), ERROR_FILE_NOT_FOUND);
    }
}

TEST(TimerResolutionIsRaisedWhileHeld) {
    TimerResolution resolution;
    CHECK(resolution.IsRaised());
}
