#include <cstdio>

#include "commands.h"
#include "database_layout.h"
#include "file_system.h"
#include "package_verifier.h"
#include "source_tree.h"
#include "temporary_folder.h"

namespace {

void WriteWholeFile(const std::string& path, const std::string& contents) {
    AtomicFileWriter writer(path);
    writer.Write(contents.data(), contents.size());
    writer.Commit();
}

// The package as made, checked as any other package would be before it replaces the old one.
bool VerifyCandidate(const std::string& package, FaultLog& faults) {
    TemporaryFolder scratch;
    const std::string candidate = JoinPath(scratch.Path(), "candidate.hdb3");
    WriteWholeFile(candidate, package);
    VerifyPackage(candidate, faults);
    return faults.Empty();
}

}  // namespace

int RunBuild(const std::string& source_root, const std::string& package_path) {
    FaultLog faults;
    const std::vector<ProgramSource> programs = ReadSourceTree(source_root, faults);
    const std::vector<DatabaseFile> files = LayOutDatabase(programs);
    CheckKeyCollisions(programs, files, faults);
    if (!faults.Empty()) {
        faults.Print(stderr);
        std::fprintf(stderr, "hdbtool: %zu fault(s) in the sources; %s not written\n", faults.Count(),
                     DisplayPath(package_path).c_str());
        return 1;
    }

    const std::string package = PackDatabase(files);
    if (!VerifyCandidate(package, faults)) {
        faults.Print(stderr);
        std::fprintf(stderr, "hdbtool: the package made from these sources fails verification; %s not written\n",
                     DisplayPath(package_path).c_str());
        return 1;
    }
    faults.Print(stderr);  // the notes on the package, if any
    WriteWholeFile(package_path, package);
    std::printf("%s: %zu programs, %zu files\n", DisplayPath(package_path).c_str(), programs.size(), files.size());
    return 0;
}
