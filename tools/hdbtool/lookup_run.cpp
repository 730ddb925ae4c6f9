#include "lookup_run.h"

#include "category_files.h"
#include "code_page.h"
#include "errors.h"
#include "file_system.h"

LookupResult RunLookup(const std::string& work_folder, const std::string& type, const std::string& key,
                       const CategoryLayout& category) {
    LookupResult result;
    try {
        const std::string path = GetCategoryFile(work_folder, key, type, category.name_template);
        result.file_name = FileNameOf(path);
        if (!path.empty()) LoadCategoryRecords(key, path, result.records);
    } catch (const EDatabaseError& error) {
        result.fault = Cp936ToUtf8OrEscaped(error.what());
    }
    return result;
}
