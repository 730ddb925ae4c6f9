#include "source_tree.h"

#include <algorithm>
#include <map>

#include "category_files.h"
#include "directory_listing.h"
#include "file_system.h"

namespace {

constexpr char kSourceExtension[] = ".sig";

bool IsSourceFile(const std::string& name) {
    const std::size_t length = sizeof kSourceExtension - 1;
    return name.size() > length && name.compare(name.size() - length, length, kSourceExtension) == 0;
}

bool IsHidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

void ReadTypeFolder(const std::string& folder, const std::string& type, std::vector<ProgramSource>& programs,
                    FaultLog& faults) {
    StringList files, folders;
    if (!ListFolder(folder, files, folders)) {
        faults.Add(DisplayPath(folder), "cannot read the folder");
        return;
    }
    for (const std::string& name : folders)
        if (!IsHidden(name))
            faults.Add(DisplayPath(JoinPath(folder, name)),
                       "unexpected folder: sources lie directly in the type folder");
    for (const std::string& name : files) {
        if (!IsSourceFile(name)) continue;
        const std::string path = JoinPath(folder, name);
        std::string text;
        if (!ReadWholeFile(path, text)) {
            faults.Add(DisplayPath(path), "cannot read the file");
            continue;
        }
        ProgramSource program;
        if (ParseProgramSource(DisplayPath(path), text, type, program, faults)) programs.push_back(std::move(program));
    }
}

// Keys identify programs within a type; the same key in two types is two programs.
void CheckUniqueKeys(const std::vector<ProgramSource>& programs, FaultLog& faults) {
    std::map<std::string, const ProgramSource*> first_of;
    for (const ProgramSource& program : programs) {
        const auto inserted = first_of.emplace(program.type + "|" + program.key, &program);
        if (!inserted.second)
            faults.Add(program.key_place,
                       "key \"" + program.key + "\" is already used by " + inserted.first->second->key_place);
    }
}

}  // namespace

std::vector<ProgramSource> ReadSourceTree(const std::string& root, FaultLog& faults) {
    std::vector<ProgramSource> programs;
    StringList files, folders;
    if (!DirectoryExists(root) || !ListFolder(root, files, folders)) {
        faults.Add(DisplayPath(root), "not a readable folder");
        return programs;
    }
    for (const std::string& name : files)
        if (IsSourceFile(name))
            faults.Add(DisplayPath(JoinPath(root, name)), "a source file must lie in a type folder (MW, SW or NM)");
    for (const std::string& name : folders) {
        if (IsHidden(name)) continue;
        if (!IsSoftwareType(name)) {
            faults.Add(DisplayPath(JoinPath(root, name)), "not a software type folder (MW, SW or NM)");
            continue;
        }
        ReadTypeFolder(JoinPath(root, name), name, programs, faults);
    }
    CheckUniqueKeys(programs, faults);

    const auto type_rank = [](const std::string& type) {
        return std::find(std::begin(kSoftwareTypes), std::end(kSoftwareTypes), type) - std::begin(kSoftwareTypes);
    };
    std::stable_sort(programs.begin(), programs.end(), [&](const ProgramSource& a, const ProgramSource& b) {
        return type_rank(a.type) != type_rank(b.type) ? type_rank(a.type) < type_rank(b.type) : a.key < b.key;
    });
    if (programs.empty() && faults.Empty()) faults.Add(DisplayPath(root), "no program sources (<type>/<name>.sig)");
    return programs;
}
