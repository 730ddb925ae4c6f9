#include "component_swap.h"

#include <windows.h>

namespace update {

namespace {

const char kKeptSuffix[] = ".qvbak";

struct Swap {
    std::string name;
    std::string target;
    std::string kept;  // the replaced file while the swap lasts; "" when there was none
};

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ErrorNumber() { return " (error " + std::to_string(GetLastError()) + ")"; }

void PutBack(const std::vector<Swap>& swaps, const std::function<void(const std::string&)>& note) {
    for (auto swap = swaps.rbegin(); swap != swaps.rend(); ++swap) {
        DeleteFileA(swap->target.c_str());
        if (!swap->kept.empty() && !MoveFileExA(swap->kept.c_str(), swap->target.c_str(), MOVEFILE_REPLACE_EXISTING))
            note("cannot put back " + swap->target + " from " + swap->kept + ErrorNumber());
        else
            note("put back " + swap->target);
    }
}

}  // namespace

bool SwapComponents(const std::string& folder, const std::string& program_folder,
                    const std::vector<std::string>& names, const std::function<void(const std::string&)>& note) {
    std::vector<Swap> swaps;
    for (const std::string& name : names) {
        const std::string source = folder + name;
        Swap swap{name, program_folder + name, ""};
        std::string failure;
        if (!Exists(source)) {
            failure = "the new " + name + " is not in " + folder;
        } else if (Exists(swap.target)) {
            swap.kept = swap.target + kKeptSuffix;
            SetFileAttributesA(swap.target.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!MoveFileExA(swap.target.c_str(), swap.kept.c_str(), MOVEFILE_REPLACE_EXISTING)) {
                failure = "cannot set " + swap.target + " aside" + ErrorNumber();
                swap.kept.clear();
            }
        }
        if (failure.empty()) {
            swaps.push_back(swap);
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
    for (const Swap& swap : swaps) {
        if (!swap.kept.empty()) DeleteFileA(swap.kept.c_str());
        DeleteFileA((folder + swap.name).c_str());
    }
    return true;
}

}  // namespace update
