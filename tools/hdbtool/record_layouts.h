// The categories of the signature database and what their records must hold for the program to
// read them: enough non-empty fields, and field texts of the form the analysis steps expect.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "splitters.h"

constexpr const char* kSoftwareTypes[] = {"MW", "SW", "NM"};

struct CategoryLayout {
    const char* code;           // as in source files and file names: "FL"
    const char* name_template;  // "SID_XX_FL"
    std::size_t field_count;    // fields the layout names, key included
    const char* fields;         // what they are, for messages
};

const CategoryLayout& MappedLayout();
const CategoryLayout& CatalogueLayout();
// The categories a program's MAPPED line names a file for, in the order hdbtool writes them.
const std::vector<CategoryLayout>& RecordCategories();
// The catalogue or a record category by its code; nullptr for any other text (MAPPED included,
// which hdbtool makes itself).
const CategoryLayout* FindSourceCategory(const std::string& code);

// The database file name of a fixed file or a category file hdbtool writes: "SID_SW_FL.hdb".
std::string DatabaseFileName(const CategoryLayout& layout, const std::string& type);

// Empty when the record's fields (split with SplitByBar, code page 936) fit the layout;
// otherwise what is wrong, in UTF-8.
std::string LayoutFault(const CategoryLayout& layout, const StringList& fields);
