// The machine the whole-analysis benchmark runs on, set up once in its own Wine prefix: the
// programs of bench_world on disk (folder trees below both Program Files folders, ProgramData
// and the profile), their registry keys, uninstall registrations and COM classes in both views
// (imported from one .reg file with regedit), shortcuts, the chosen program's driver service and
// running process, and the 10,000-program signature package built by hdbtool. Everything lies on
// C:. A marker written last makes a complete set-up reusable.
#pragma once

#include <string>

namespace bench_world {

extern const char kBenchFolder[];  // C:\KestruneBench
extern const char kPackage[];      // the signature package

// The set-up's marker exists: its text says what was set up.
bool MachineIsSetUp(std::string& summary);

// Sets the machine up; hdbtool is the Windows hdbtool.exe that builds the package. Prints each
// phase with its time; false (with the phase that failed on standard error) when one fails.
// Needs COM initialised on the calling thread.
bool SetUpMachine(const std::string& hdbtool, std::string& summary);

// The chosen program's process, started from its install folder; runs until ended.
std::string ChosenProcessPath();

}  // namespace bench_world
