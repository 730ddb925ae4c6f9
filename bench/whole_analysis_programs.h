// The made-up software world of the whole-analysis benchmark: 10,000 programs of the signature
// database, the ones that are on the machine and where, and the one program whose analysis is
// timed. Everything follows from the program's number, so every run sees the same world.
#pragma once

#include <string>
#include <vector>

namespace bench_world {

constexpr int kProgramCount = 10000;
// The timed program: installed with a trace of every kind the analysis looks for.
constexpr int kChosenProgram = 6000;
// Programs registered as installed in Windows' uninstall keys, each with a folder on disk.
constexpr int kRegisteredCount = 2000;
// COM classes in the 64-bit and the 32-bit registry view, the chosen program's among them.
constexpr int kClasses64 = 6000, kClasses32 = 4000;
// Interfaces whose proxy is one of the classes, per view.
constexpr int kInterfaces64 = 1500, kInterfaces32 = 1000;

enum class Placement { kNotInstalled, kProgramFiles, kProgramFilesX86 };

struct Program {
    int number = 0;
    std::string key;          // SW-B06000
    std::string vendor;       // folder name below Program Files
    std::string product;      // folder name below the vendor's
    std::string name;         // display name: vendor and product
    std::string sub_type;     // one of the catalogue's sub-types
    std::string exe;          // the main process, in the product folder
    std::string helper_exe;   // a second process name
    std::vector<std::string> modules;  // COM servers (file names) in the product folder
    std::string driver;       // a driver file name, or empty
    bool registered = false;  // has an uninstall registration
    bool user_registration = false;  // in HKCU rather than HKLM
    Placement placement = Placement::kNotInstalled;

    // C:\Program Files[ (x86)]\<vendor>\<product>; empty when not installed.
    std::string InstallFolder() const;
    // The .sig source text (UTF-8) of the program.
    std::string SignatureSource() const;
};

Program ProgramAt(int number);

// Text helpers shared by the set-up.
std::string Utf8FromAnsi(const std::string& ansi);

}  // namespace bench_world
