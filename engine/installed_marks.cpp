// Which programs of a listed catalogue this machine has registered as installed.
#include "category_files.h"
#include "category_record_reader.h"
#include "installed_software.h"
#include "machine_views.h"
#include "text_rules.h"
#include "tqx.h"
#include "user_sids.h"

namespace {

// The display names of the registrations the install-path discovery reads, in every view,
// upper-cased for the match. A registration whose folder is gone still names an installed program.
StringList RegisteredDisplayNames(RegistryView machine_view) {
    StringList display_names;
    for (const RegistryView view : SearchViews(machine_view)) {
        StringList user_sids, install_locations;
        EnumUserSids(user_sids, view);
        ScanInstallerUserData(user_sids, display_names, install_locations, view);
        ScanUninstallKeys(display_names, install_locations, view);
        ScanUserUninstallKeys(user_sids, display_names, install_locations, view);
    }
    for (std::string& name : display_names) name = UpperCased(name);
    return display_names;
}

// The install-path discovery's match (TextContains): a record's name text (field 1) contains a
// display name, both upper-cased.
bool NamesARegistration(const StringList& identification, const StringList& upper_display_names) {
    StringList fields;
    for (const std::string& record : identification) {
        SplitByBar(record, fields);
        if (fields.size() < 2) continue;
        const std::string name_text = UpperCased(fields[1]);
        for (const std::string& display_name : upper_display_names)
            if (ContainsExact(name_text, display_name)) return true;
    }
    return false;
}

}  // namespace

std::vector<bool> TQX::InstalledMarks(const std::string& type, RegistryView view) const {
    const StringList* cache = SoftwareListOf(type);
    if (!cache || cache->empty()) return {};
    std::vector<bool> marks(cache->size(), false);
    const StringList display_names = RegisteredDisplayNames(view);
    if (display_names.empty()) return marks;

    StringList keys(cache->size()), fields;
    for (std::size_t line = 0; line < cache->size(); ++line)
        if (SplitByBar((*cache)[line], fields)) keys[line] = fields[0];
    // A program whose records cannot be read stays unmarked; its analysis reports the damage.
    const std::vector<StringList> identification =
        CategoryRecordReader(WorkDir, type).RecordsOfKeys(keys, category::kInstallNames);
    for (std::size_t line = 0; line < cache->size(); ++line)
        marks[line] = NamesARegistration(identification[line], display_names);
    return marks;
}
