#include <cstdio>

#include "commands.h"
#include "package_verifier.h"

int RunVerify(const std::string& package_path) {
    FaultLog faults;
    const PackageSummary summary = VerifyPackage(package_path, faults);
    const std::string shown = DisplayPath(package_path);
    faults.Print(stderr);  // faults, warnings and notes
    if (!faults.Empty()) {
        std::fprintf(stderr, "%s: %zu fault(s)\n", shown.c_str(), faults.Count());
        return 1;
    }
    std::printf("OK: %s: %zu files, %zu programs, %zu records\n", shown.c_str(), summary.files, summary.programs,
                summary.records);
    return 0;
}
