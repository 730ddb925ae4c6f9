// An engine over a small signature database written straight into its working folder, with every
// slot recording what it receives and on which thread.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "fixtures.h"
#include "tqx.h"

// What the slots received, by slot name ("software", "path", "process", ...), in order.
struct SlotLog {
    std::map<std::string, StringList> texts;
    std::map<std::string, DWORD> threads;  // the thread of the last call of each slot
};
SlotLog& Slots();

class EngineFixture {
public:
    EngineFixture();
    ~EngineFixture();

    // Writes a database file of type SW into the working folder, enciphered under its name.
    void WriteFile(const std::string& name, const StringList& records);
    // The catalogue, MAPPED and category files of one program with key SWK (row 0).
    void WriteProgram(const std::map<std::string, StringList>& records_by_category);
    void ConnectAllSlots();

    ScopedTempFolder app, temp;
    TQX engine;
};
