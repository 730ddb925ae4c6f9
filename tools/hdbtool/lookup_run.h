// One of the program's own lookups, run on an unpacked package: GetCategoryFile for the
// category, then LoadCategoryRecords for the key, exactly as an analysis step reads records.
#pragma once

#include <string>

#include "record_layouts.h"

struct LookupResult {
    std::string file_name;  // the category file the MAPPED line gave; empty when none
    StringList records;     // what LoadCategoryRecords returned
    std::string fault;      // a decoding error the lookup raised (UTF-8), empty when none
};

LookupResult RunLookup(const std::string& work_folder, const std::string& type, const std::string& key,
                       const CategoryLayout& category);
