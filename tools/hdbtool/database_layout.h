// The database files that the programs' records make: for each software type with programs,
// the MAPPED file, the catalogue (LI) and one file per category in use, each program's records
// on consecutive lines, programs in the order given.
#pragma once

#include <string>
#include <vector>

#include "fault_log.h"
#include "signature_source.h"

struct DatabaseFile {
    std::string name;                 // "SID_SW_FL.hdb", also the file's record key
    StringList records;               // plain text, code page 936, in file order
    std::vector<std::string> places;  // where each record comes from, for messages
};

std::vector<DatabaseFile> LayOutDatabase(const std::vector<ProgramSource>& programs);

// Faults for every record that another program's lookups would take (see key_collisions.h).
void CheckKeyCollisions(const std::vector<ProgramSource>& programs, const std::vector<DatabaseFile>& files,
                        FaultLog& faults);

// The package: one entry per file, every record enciphered under its file's name, each file
// compressed. Same files, same bytes.
std::string PackDatabase(const std::vector<DatabaseFile>& files);
