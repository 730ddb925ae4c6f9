#include "component_swap.h"

#include <windows.h>

#include <set>

#include "cp936_text.h"

namespace update {

namespace {

const char kKeptSuffix[] = ".qvbak";

struct Swap {
    std::string target;
    std::string kept;  // the replaced file while the swap lasts; "" when there was none
};

DWORD AttributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }
bool Exists(const std::string& path) { return AttributesOf(path) != INVALID_FILE_ATTRIBUTES; }
bool IsFolder(const std::string& path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A read-only file is deleted all the same: the new copy of a read-only download is read-only.
bool DeleteFileAlways(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path.c_str()) != 0;
}

std::string ErrorNumber() { return " (error " + std::to_string(GetLastError()) + ")"; }

void PutBack(const std::vector<Swap>& swaps, const SwapNote& note) {
    for (auto swap = swaps.rbegin(); swap != swaps.rend(); ++swap) {
        if (Exists(swap->target) && !DeleteFileAlways(swap->target))
            note("cannot remove the new " + swap->target + ErrorNumber());
        if (swap->kept.empty())
            note("removed the new " + swap->target);
        else if (MoveFileExA(swap->kept.c_str(), swap->target.c_str(), MOVEFILE_REPLACE_EXISTING))
            note("put back " + swap->target);
        else
            note("cannot put back " + swap->target + ": the old file stays as " + swap->kept + ErrorNumber());
    }
}

// Sets the file at swap.target aside as NAME.qvbak, when there is one, so that the new file can
// take its place. Returns the reason when it cannot; nothing has changed then.
std::string SetAside(const std::string& source, Swap& swap) {
    if (!Exists(source) || IsFolder(source)) return "the new file " + source + " is missing";
    if (IsFolder(swap.target)) return swap.target + " is a folder";
    if (!Exists(swap.target)) return "";
    const std::string kept = swap.target + kKeptSuffix;
    if (!MoveFileExA(swap.target.c_str(), kept.c_str(), MOVEFILE_REPLACE_EXISTING))
        return "cannot set " + swap.target + " aside" + ErrorNumber();
    swap.kept = kept;
    return "";
}

}  // namespace

bool SwapComponents(const std::string& folder, const std::string& program_folder,
                    const std::vector<std::string>& names, const SwapNote& note) {
    std::vector<Swap> swaps;
    std::set<std::string> seen;  // a name twice would set the new file aside over the old one
    for (const std::string& name : names) {
        if (!seen.insert(UpperAscii(name)).second) continue;
        const std::string source = folder + name;
        Swap swap{program_folder + name, ""};
        std::string failure = SetAside(source, swap);
        if (failure.empty()) {
            swaps.push_back(swap);  // from here on the target is undone on failure
            if (!CopyFileA(source.c_str(), swap.target.c_str(), FALSE))
                failure = "cannot copy " + source + " to " + swap.target + ErrorNumber();
        }
        if (!failure.empty()) {
            note(failure + "; the old files are put back");
            PutBack(swaps, note);
            return false;
        }
        note("replaced " + swap.target);
    }
    for (const Swap& swap : swaps)
        if (!swap.kept.empty() && !DeleteFileAlways(swap.kept)) note("cannot remove " + swap.kept + ErrorNumber());
    return true;
}

}  // namespace update
