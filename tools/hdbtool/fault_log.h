// The faults hdbtool finds in a source tree or a package, each with the place it was found
// ("file:line" or "file"). Every text here is UTF-8, as hdbtool prints it.
//
// Besides plain faults there are two kinds of remarks on records that would aim the clean-up at
// something of Windows or of another program: a warning ("warning: place: message") names a
// target that must never be taken and counts as a fault, so a package holding it fails
// verification and is not built; a note ("note: place: message") names a target worth a second
// look that may still be right, and is printed without counting.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class FaultLog {
public:
    void Add(const std::string& place, const std::string& message);
    void Warn(const std::string& place, const std::string& message);
    void Note(const std::string& place, const std::string& message);
    // Faults and warnings; notes do not count.
    bool Empty() const { return fault_count_ == 0; }
    std::size_t Count() const { return fault_count_; }
    // Every line, notes included, in the order found.
    const std::vector<std::string>& Lines() const { return lines_; }
    // One line per fault, warning or note, in the order found.
    void Print(std::FILE* out) const;

private:
    std::vector<std::string> lines_;
    std::size_t fault_count_ = 0;
};

// "file:line".
std::string Place(const std::string& file, std::size_t line);

// A path of the running system (code page 936 on Windows) in UTF-8.
std::string DisplayPath(const std::string& native_path);

// A code page 936 text in UTF-8, quoted, for messages.
std::string Quoted(const std::string& cp936);
