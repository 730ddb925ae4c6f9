// Records that would aim the clean-up at something Windows, the user's profile or another program
// needs. The program refuses such targets when it cleans, so a record naming one is a mistake of
// the database: it is reported as a warning, which fails verification. A core file directly in a
// folder of Windows (System32 ...) is only noted: rogue programs do put their own files there.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "fault_log.h"
#include "record_layouts.h"

class DangerousRecordCheck {
public:
    explicit DangerousRecordCheck(FaultLog& faults) : faults_(faults) {}

    // One record of a type's category file whose fields (key first) fit the category's layout;
    // place is "file:line". Records of every type go through one check, so that a process two
    // programs share is found across types.
    void Check(const std::string& type, const CategoryLayout& category, const std::string& place,
               const StringList& fields);

private:
    void CheckProcess(const std::string& type, const std::string& place, const StringList& fields);
    void CheckCoreFile(const std::string& place, const StringList& fields);
    void CheckRegistryKey(const std::string& place, const StringList& fields);

    struct ProcessOwner {
        std::string program;  // type and key
        std::string key;
        std::string place;
    };

    FaultLog& faults_;
    std::map<std::string, ProcessOwner> process_owners_;             // upper-cased name -> first program
    std::set<std::pair<std::string, std::string>> reported_sharing_;  // upper-cased name, program
};
