// The directory walks over real folder trees on drive C:, with hidden folders, double-byte
// names whose trail byte is "\", and a link that leads back up the tree.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "check.h"
#include "directory_walk.h"
#include "matching.h"
#include "scan_info.h"
#include "scratch_folder.h"
#include "win32/handles.h"

namespace {

// "誠" is the double-byte character D5 5C in code page 936: its trail byte is a backslash.
const std::string kTrailBackslashName = "誠";

StringList Sorted(StringList list) {
    std::sort(list.begin(), list.end());
    return list;
}

// Every path in full, below the scratch folder.
StringList PathsBelow(const ScratchFolder& folder, const StringList& sub_paths) {
    StringList paths;
    for (const std::string& sub_path : sub_paths) paths.push_back(folder / sub_path);
    return paths;
}

void SetHidden(const std::string& path) {
    CHECK(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

// A link named Loop in folder leading back to the scratch folder's root; false (with a note)
// where this system can make none.
bool MakeLoop(ScratchFolder& scratch, const std::string& folder) {
    if (scratch.MakeDirectoryLink(folder + "\\Loop", scratch.Path())) return true;
    std::printf("note: no directory link can be made here; the loop case is not run\n");
    return false;
}

bool AnyPassesThrough(const StringList& paths, const std::string& part) {
    return std::any_of(paths.begin(), paths.end(),
                       [&](const std::string& path) { return path.find(part) != std::string::npos; });
}

// The walk as it was before folders were judged by their own listing: every subfolder's name
// compared, then each known file name asked of the system. The new walk must give exactly this,
// in this order.
void ReferenceWalk(const std::string& directory, const StringList& directory_names, const StringList& file_names,
                   StringList& output) {
    const std::string folder = directory + "\\";
    WIN32_FIND_DATAA entry;
    FindHandle search((folder + "*.*").c_str(), entry);
    for (bool more = search.IsOpen(); more; more = search.Next(entry)) {
        const std::string name = entry.cFileName;
        if (name == "." || name == ".." || !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        const std::string path = folder + name;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || TextContains(path, ":\\Windows")) continue;
        if (IsNamedDirectory(path, directory_names) || DirectoryHoldsKnownFile(path, file_names, true))
            AddOnce(output, path);
        else
            ReferenceWalk(path, directory_names, file_names, output);
    }
}

// Every way the walk may run: the results never depend on it.
std::vector<std::pair<std::string, WalkOptions>> WalkVariants() {
    std::vector<std::pair<std::string, WalkOptions>> variants;
    for (const SearchMethod search : {SearchMethod::kPlain, SearchMethod::kQuickest})
        for (const unsigned threads : {1u, 2u, 4u, 0u}) {
            WalkOptions options;
            options.search = search;
            options.threads = threads;
            variants.push_back({(search == SearchMethod::kPlain ? "FindFirstFileA, " : "quick search, ") +
                                    std::to_string(threads) + " threads",
                                options});
        }
    return variants;
}

// Walks folder every way, checks each result against the reference walk (order included) and
// returns the reference's.
StringList WalkEveryWay(const std::string& folder, const StringList& directory_names, const StringList& file_names,
                        const StringList& prefilled = {}) {
    StringList expected = prefilled;
    ReferenceWalk(folder, directory_names, file_names, expected);
    for (const auto& variant : WalkVariants()) {
        CONTEXT(variant.first);
        StringList found = prefilled;
        WalkForProgramDirectories(folder, directory_names, file_names, found, variant.second);
        CHECK_EQ(found, expected);
    }
    return expected;
}

}  // namespace

TEST(ProgramDirectoriesAreFoundByNameOrKnownFileOnce) {
    ScratchFolder scratch("C:\\", "KestruneWalkTest");
    scratch.MakeFolders({
        "P\\Foo\\Bar\\Foo",          // reported; what lies inside it is not searched
        "P\\Foo2", "P\\foo bar",     // a part of the name is no match
        "P\\Deep\\Er\\FOO",          // any letter case; also holds the known file: reported once
        "P\\Holder\\Sub",            // holds the known file directly
        "P\\Above\\Sub",             // the known file is one level further down: Above is not reported
        "P\\Fake\\app.exe",          // a folder by the file's name holds no file
        "P\\Windows.old\\Foo",       // only a Windows folder at a drive root is passed over
        "P\\Hidden\\Foo",            // hidden and system folders are walked too
        "P\\Sid Meier's\\Foo",       // an apostrophe in a folder above is no quote
        "P\\" + kTrailBackslashName + "\\Foo",
    });
    scratch.MakeFiles({"P\\Deep\\Er\\FOO\\app.exe", "P\\Holder\\APP.EXE", "P\\Above\\Sub\\app.exe"});
    SetHidden(scratch / "P\\Hidden");
    const bool looped = MakeLoop(scratch, "P");

    StringList found = {"left over"};
    FindProgramDirectories(scratch.Path(),
                           {"KEY|Foo", "KEY", "KEY| ", "KEY|Missing"},  // records without a name are passed over
                           {"KEY|app.exe", "KEY"}, found);
    CHECK_EQ(Sorted(found), Sorted(PathsBelow(scratch, {
                                "P\\Foo", "P\\Deep\\Er\\FOO", "P\\Holder", "P\\Above\\Sub", "P\\Windows.old\\Foo",
                                "P\\Hidden\\Foo", "P\\Sid Meier's\\Foo", "P\\" + kTrailBackslashName + "\\Foo"})));
    if (looped) CHECK(!AnyPassesThrough(found, "\\Loop"));
    CHECK(StartsWith(ScanInfoText::Get(), scratch.Path() + "\\"));

    // A match ends the descent, so each folder is reported before anything below it could be.
    StringList walked;
    WalkForProgramDirectories(scratch / "P\\Foo\\", {"Foo"}, {}, walked);
    CHECK_EQ(walked, PathsBelow(scratch, {"P\\Foo\\Bar\\Foo"}));
    // The walk adds to what the list holds, once.
    WalkForProgramDirectories(scratch / "P\\Foo", {"Foo"}, {}, walked);
    CHECK_EQ(walked.size(), 1u);
}

TEST(ListingWalkFindsWhatTheNameLookupsFoundInTheSameOrder) {
    // 乤 is 81 61 in code page 936 and 丄 is 81 41: the trail bytes of a double-byte character
    // never fold, so neither name matches the other. 誠 is D5 5C: its trail byte is "\".
    struct TreeCase {
        const char* row;
        const char* scratch_name;
        StringList folders, files;
        std::vector<std::pair<std::string, std::string>> links;  // link, target (below the scratch folder)
        StringList directory_names, file_names;
        StringList expected;  // below the scratch folder, in any order
    };
    const TreeCase cases[] = {
        {"letter cases and double-byte names", "KestruneWalkNames",
         {"a\\FOO", "a\\乤", "a\\誠", "a\\Sub\\foo\\Deeper", "b\\Holder", "b\\GbkHolder", "b\\TrailHolder", "c\\Other",
          "c\\乤 folder"},
         {"b\\Holder\\App.EXE", "b\\GbkHolder\\乤.exe", "b\\TrailHolder\\誠.exe", "c\\Other\\丄.exe",
          "c\\Other\\app.exe.bak", "c\\乤 folder\\readme.txt"},
         {},
         {"foo", "丄", " 誠 "},
         {"app.exe", "乤.exe", "誠.EXE"},
         {"a\\FOO", "a\\誠", "a\\Sub\\foo", "b\\Holder", "b\\GbkHolder", "b\\TrailHolder"}},
        {"links, folders named like files, matches not entered", "KestruneWalkLinks",
         {"Foo\\Bar\\Foo", "Holder\\Foo", "Fake\\app.exe", "Target\\Inner", "d", "e", "Plain\\Deep\\Deeper"},
         {"Holder\\app.exe", "Target\\Inner\\app.exe", "Plain\\Deep\\Deeper\\notes.txt"},
         {{"d\\Foo", "Target"}, {"e\\Linked", "Holder"}, {"Plain\\Loop", ""}},
         {"Foo"},
         {"app.exe"},
         {"Foo", "Holder", "Target\\Inner"}},
        {"a Windows folder at a drive root", "Windows.KestruneWalk",
         {"Foo", "Sub\\Holder"},
         {"Sub\\Holder\\app.exe"},
         {},
         {"Foo"},
         {"app.exe"},
         {}},
    };
    for (const TreeCase& c : cases) {
        CONTEXT(c.row);
        ScratchFolder scratch("C:\\", c.scratch_name);
        scratch.MakeFolders(c.folders);
        scratch.MakeFiles(c.files);
        bool linked = true;
        for (const auto& link : c.links)
            linked = scratch.MakeDirectoryLink(link.first, link.second.empty() ? scratch.Path() : scratch / link.second) &&
                     linked;
        if (!linked) std::printf("note: no directory link can be made here; the links are plain folders\n");
        const StringList found = WalkEveryWay(scratch.Path(), c.directory_names, c.file_names);
        CHECK_EQ(Sorted(found), Sorted(PathsBelow(scratch, c.expected)));
    }
}

TEST(ThreadedWalksPutHandedOverSubtreesBackInOrder) {
    // Wide and deep enough that idle threads are handed subtrees at every level, with matches by
    // name and by file everywhere, so that any result out of place shows.
    ScratchFolder scratch("C:\\", "KestruneWalkWide");
    StringList folders, files;
    for (int top = 0; top < 6; ++top)
        for (int middle = 0; middle < 6; ++middle) {
            const std::string folder = "T" + std::to_string(top) + "\\M" + std::to_string(middle);
            for (int leaf = 0; leaf < 5; ++leaf) folders.push_back(folder + "\\L" + std::to_string(leaf) + "\\Inner");
            if ((top + middle) % 3 == 0) files.push_back(folder + "\\L1\\tool.exe");
            if ((top * middle) % 4 == 1) files.push_back(folder + "\\TOOL.EXE");
        }
    scratch.MakeFolders(folders);
    scratch.MakeFiles(files);
    const StringList directory_names = {"L3", "inner"};
    StringList found;
    for (int repeat = 0; repeat < 3; ++repeat) found = WalkEveryWay(scratch.Path(), directory_names, {"tool.exe"});
    CHECK(found.size() > 100u);
    CHECK(StartsWith(ScanInfoText::Get(), scratch.Path() + "\\"));

    // Added once: a path the list already holds, in any letter case, is not added again.
    const StringList prefilled = {"left over", UpperCased(found.front())};
    const StringList added = WalkEveryWay(scratch.Path(), directory_names, {"tool.exe"}, prefilled);
    CHECK_EQ(added.size(), found.size() + 1);
}

TEST(WindowsFoldersAtADriveRootAreNeverEntered) {
    // Named like a top-level Windows folder in another letter case: the walk may start inside
    // it, but nothing below it is tested or reported.
    ScratchFolder windows_like("C:\\", "wINDOWS.KestruneTest");
    windows_like.MakeFolders({"Foo", "Sub\\Foo"});
    windows_like.MakeFiles({"Sub\\app.exe"});
    StringList found;
    WalkForProgramDirectories(windows_like.Path(), {"Foo"}, {"app.exe"}, found);
    CHECK(found.empty());

    struct HoldsCase {
        std::string path;
        bool guard_windows;
        bool holds;
    };
    const HoldsCase cases[] = {
        {windows_like / "Sub", true, false},
        {windows_like / "Sub", false, true},
        {" " + (windows_like / "Sub") + " ", true, false},  // the guard looks at the trimmed path
        {windows_like / "Sub\\", false, true},
        {windows_like.Path(), false, false},  // Sub\app.exe is not directly inside
        {windows_like / "Sub\\app.exe", false, false},
        {"", false, false},
    };
    for (const HoldsCase& c : cases) {
        CONTEXT(c.path + (c.guard_windows ? " (guarded)" : ""));
        CHECK_EQ(DirectoryHoldsKnownFile(c.path, {"none.exe", "app.exe"}, c.guard_windows), c.holds);
    }
}

TEST(DriveRootsHoldNothingWhenGuarded) {
    const std::string file_name = "KestruneRootFile-" + std::to_string(GetCurrentProcessId()) + ".exe";
    const std::string file_path = "C:\\" + file_name;
    {
        KernelHandle file(CreateFileA(file_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        CHECK(file.IsOpen());
    }
    for (const char* root : {"C:\\", "C:"}) {
        CONTEXT(root);
        CHECK(!DirectoryHoldsKnownFile(root, {file_name}, true));
        CHECK(DirectoryHoldsKnownFile(root, {file_name}, false));
    }
    DeleteFileA(file_path.c_str());
}

TEST(IsNamedDirectoryTakesTheWholeLastName) {
    struct NameCase {
        std::string path;
        bool named;
    };
    const NameCase cases[] = {
        {"C:\\A\\Foo", true},
        {"C:\\A\\FOO", true},
        {"C:\\A\\Foo\\", true},
        {"C:\\A/Foo", true},  // "/" separates names too, as everywhere on Windows
        {"Foo", true},
        {"C:\\A\\Foo2", false},
        {"C:\\A\\foo bar", false},
        {"C:\\Foo\\A", false},
        {"C:\\Sid Meier's\\Foo", true},
        {"C:\\" + kTrailBackslashName + "\\Foo", true},
        {"C:\\A\\" + kTrailBackslashName, true},
        {"C:\\A\\" + kTrailBackslashName + "\\", true},
        {"", false},
        {"\\\\", false},
    };
    for (const NameCase& c : cases) {
        CONTEXT(c.path);
        CHECK_EQ(IsNamedDirectory(c.path, {"Missing", " foo ", kTrailBackslashName}), c.named);
    }
    CHECK(!IsNamedDirectory("C:\\A\\Foo", {}));
}

TEST(FilesAreFoundByTheirWholeExtensionAtAnyDepth) {
    ScratchFolder scratch("C:\\", "KestruneLinkSearch");
    const std::string trail = kTrailBackslashName;
    scratch.MakeFolders({"Users\\Sub\\Deeper", "Users\\folder.lnk", "Users\\Hidden", "Users\\" + trail});
    scratch.MakeFiles({
        "Users\\A.LNK", "Users\\b.lnk", "Users\\c.lnk.bak", "Users\\lnk", "Users\\.lnk", "Users\\d.lnkx",
        "Users\\Sub\\Deeper\\e.Lnk", "Users\\folder.lnk\\f.lnk", "Users\\Hidden\\g.lnk", "Users\\" + trail + "\\h.lnk",
    });
    SetHidden(scratch / "Users\\Hidden");
    SetHidden(scratch / "Users\\Hidden\\g.lnk");
    const bool looped = MakeLoop(scratch, "Users");

    StringList found = {scratch / "Users\\b.lnk"};  // already listed: not added again
    FindFilesByExtension(scratch / "Users", ".lnk", found);
    CHECK_EQ(Sorted(found), Sorted(PathsBelow(scratch, {
                                "Users\\A.LNK", "Users\\b.lnk", "Users\\.lnk", "Users\\Sub\\Deeper\\e.Lnk",
                                "Users\\folder.lnk\\f.lnk", "Users\\Hidden\\g.lnk", "Users\\" + trail + "\\h.lnk"})));
    if (looped) CHECK(!AnyPassesThrough(found, "\\Loop"));
    CHECK(StartsWith(ScanInfoText::Get(), scratch / "Users\\"));

    StringList none;
    FindFilesByExtension(scratch / "Missing", ".lnk", none);
    FindFilesByExtension("", ".lnk", none);
    CHECK(none.empty());
}
