// The faults hdbtool finds in a source tree or a package, each with the place it was found
// ("file:line" or "file"). Every text here is UTF-8, as hdbtool prints it.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class FaultLog {
public:
    void Add(const std::string& place, const std::string& message);
    bool Empty() const { return lines_.empty(); }
    std::size_t Count() const { return lines_.size(); }
    const std::vector<std::string>& Lines() const { return lines_; }
    // One line per fault, "place: message", in the order found.
    void Print(std::FILE* out) const;

private:
    std::vector<std::string> lines_;
};

// "file:line".
std::string Place(const std::string& file, std::size_t line);

// A path of the running system (code page 936 on Windows) in UTF-8.
std::string DisplayPath(const std::string& native_path);

// A code page 936 text in UTF-8, quoted, for messages.
std::string Quoted(const std::string& cp936);
