// The readable source of one program's signatures (UTF-8, one file per program):
//
//   # comment
//   KEY: SW-EXAMPLE
//   LI: 示例程序|Photo Tools|1.0|5.1|6.1|32位
//   FL: 示例程序
//   RN: HKLM|SOFTWARE\Example
//
// The software type comes from the folder the file lies in. Every record becomes the key, a
// bar and the text after the category code, converted to code page 936.
#pragma once

#include <string>
#include <vector>

#include "fault_log.h"
#include "record_layouts.h"

struct SourceRecord {
    const CategoryLayout* category = nullptr;
    std::string text;   // code page 936, key included: "SW-EXAMPLE|..."
    std::string place;  // "file:line", for messages
};

struct ProgramSource {
    std::string type;
    std::string key;
    std::string key_place;
    std::vector<SourceRecord> records;  // in source order
};

// Parses one source file. Every fault found goes to the log, with its file and line; the
// result is true when there was none.
bool ParseProgramSource(const std::string& display_name, const std::string& utf8_text, const std::string& type,
                        ProgramSource& program, FaultLog& faults);
