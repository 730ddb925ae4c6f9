// The programs of a package as its catalogue and MAPPED files describe them: for each type, the
// catalogue's keys in order and, per program and category, the file its MAPPED line names.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "record_layouts.h"

class ProgramIndex {
public:
    // A program of the catalogue; place is its catalogue line, for messages.
    void AddProgram(const std::string& type, const std::string& key, const std::string& place);
    bool HasProgram(const std::string& type, const std::string& key) const;
    // The catalogue's keys, in catalogue order.
    StringList Programs(const std::string& type) const;
    std::string PlaceOf(const std::string& type, const std::string& key) const;

    void SetFile(const std::string& type, const std::string& key, const CategoryLayout& category,
                 const std::string& file_name);
    // The file the program's MAPPED line names for the category; empty when none.
    std::string FileOf(const std::string& type, const std::string& key, const CategoryLayout& category) const;
    // True when some MAPPED line of the type names the file.
    bool IsNamed(const std::string& type, const std::string& file_name) const;

private:
    struct Program {
        bool listed = false;
        std::string place;
        std::map<std::string, std::string> files;  // category code -> file name
    };
    const Program* Find(const std::string& type, const std::string& key) const;

    std::map<std::string, std::map<std::string, Program>> programs_;  // type -> key -> program
    std::map<std::string, StringList> catalogue_order_;
    std::map<std::string, std::set<std::string>> named_files_;
};
